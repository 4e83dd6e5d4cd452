// The thread functions handed to Samba's utility library: its mutexes and thread-local keys
// as POSIX ones. The table's layout is the library's, unchanged since it was introduced.
#include "platform/smb/smb_threads.h"

#include <dlfcn.h>
#include <pthread.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

namespace mv::smb {
namespace {

struct ThreadFunctions {
  int (*createMutex)(const char* name, void** mutex, const char* location);
  void (*destroyMutex)(void* mutex, const char* location);
  int (*lockMutex)(void* mutex, int lockType, const char* location);
  int (*createKey)(const char* name, void** key, const char* location);
  void (*destroyKey)(void** key, const char* location);
  int (*setValue)(void* key, const void* value, const char* location);
  void* (*getValue)(void* key, const char* location);
};
constexpr int kUnlock = 2;

using SetFunctions = int (*)(const ThreadFunctions*);
using TallocFree = int (*)(void*, const char*);

// The record of a thread's stack of scratch memory, as the utility library allocates it
// (with calloc; the array with talloc).
struct ScratchStack {
  int depth;
  int capacity;
  void** frames;
};
constexpr char kScratchStackKey[] = "talloc_stackframe";
TallocFree gTallocFree = nullptr;

// A thread that ends with its scratch stack empty leaves nothing behind.
void FreeScratchStack(void* value) {
  auto* stack = static_cast<ScratchStack*>(value);
  if (stack == nullptr || stack->depth != 0) return;
  if (stack->frames != nullptr) gTallocFree(stack->frames, __FILE__);
  std::free(stack);
}

int CreateMutex(const char*, void** mutex, const char*) {
  auto* made = new (std::nothrow) pthread_mutex_t;
  if (made == nullptr) return ENOMEM;
  pthread_mutex_init(made, nullptr);
  *mutex = made;
  return 0;
}

void DestroyMutex(void* mutex, const char*) {
  auto* held = static_cast<pthread_mutex_t*>(mutex);
  pthread_mutex_destroy(held);
  delete held;
}

int LockMutex(void* mutex, int lockType, const char*) {
  auto* held = static_cast<pthread_mutex_t*>(mutex);
  return lockType == kUnlock ? pthread_mutex_unlock(held) : pthread_mutex_lock(held);
}

int CreateKey(const char* name, void** key, const char*) {
  auto* made = new (std::nothrow) pthread_key_t;
  if (made == nullptr) return ENOMEM;
  const bool scratch = name != nullptr && std::strcmp(name, kScratchStackKey) == 0;
  const int error =
      pthread_key_create(made, scratch && gTallocFree != nullptr ? FreeScratchStack : nullptr);
  if (error != 0) {
    delete made;
    return error;
  }
  *key = made;
  return 0;
}

void DestroyKey(void** key, const char*) {
  auto* made = static_cast<pthread_key_t*>(*key);
  pthread_key_delete(*made);
  delete made;
  *key = nullptr;
}

// The library asks for its value before it has made the key: there is none yet.
int SetValue(void* key, const void* value, const char*) {
  return key != nullptr ? pthread_setspecific(*static_cast<pthread_key_t*>(key), value) : EINVAL;
}

void* GetValue(void* key, const char*) {
  return key != nullptr ? pthread_getspecific(*static_cast<pthread_key_t*>(key)) : nullptr;
}

constexpr ThreadFunctions kPosixThreads{CreateMutex, DestroyMutex, LockMutex, CreateKey,
                                        DestroyKey,  SetValue,     GetValue};

}  // namespace

bool InstallSmbThreads(void* handle) {
  const auto set = reinterpret_cast<SetFunctions>(dlsym(handle, "smb_thread_set_functions"));
  auto* const* given = static_cast<const ThreadFunctions* const*>(dlsym(handle, "global_tfp"));
  if (set == nullptr || given == nullptr || *given != nullptr) return false;
  gTallocFree = reinterpret_cast<TallocFree>(dlsym(handle, "_talloc_free"));
  return set(&kPosixThreads) == 0;
}

}  // namespace mv::smb
