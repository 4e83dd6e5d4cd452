// Loading Samba's client library at run time and finding its entry points.
#include "platform/smb/smb_library.h"

#include <dlfcn.h>

#include "platform/smb/smb_threads.h"

namespace mv::smb {
namespace {

// What dlerror says of the last failure, or fallback when it says nothing.
std::string LoaderError(const char* fallback) {
  const char* text = dlerror();
  return text != nullptr ? text : fallback;
}

template <typename Function>
bool Find(void* handle, const char* name, Function& function, std::string& missing) {
  function = reinterpret_cast<Function>(dlsym(handle, name));
  if (function == nullptr && missing.empty()) missing = name;
  return function != nullptr;
}

struct Loaded {
  SmbLibrary library;
  bool ok = false;
  bool threaded = false;
  std::string error;
};

const Loaded& TheLibrary() {
  static const Loaded loaded = [] {
    Loaded result;
    result.ok = OpenSmbLibrary(kSmbLibraryFile, result.library, result.error);
    if (result.ok) {
      // The handle of the library just loaded, kept like the first.
      void* handle = dlopen(kSmbLibraryFile, RTLD_NOW | RTLD_NOLOAD | RTLD_LOCAL);
      result.threaded = handle != nullptr && InstallSmbThreads(handle);
    }
    return result;
  }();
  return loaded;
}

}  // namespace

bool OpenSmbLibrary(const char* file, SmbLibrary& library, std::string& error) {
  const std::string named = std::string("Samba's client library ") + file;
  // Never closed: the library keeps state of its own to the end of the process.
  void* handle = dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    error = named + " cannot be loaded (" + LoaderError("not found") +
            "); SMB needs it installed (Debian: the libsmbclient package)";
    return false;
  }
  std::string missing;
  bool found = true;
#define MV_SMB_FIND(name) found = Find(handle, #name, library.name, missing) && found;
  MV_SMB_ENTRY_POINTS(MV_SMB_FIND)
#undef MV_SMB_FIND
  if (!found) {
    dlclose(handle);
    library = SmbLibrary{};
    error = named + " lacks " + missing + " (a version too old for this program)";
    return false;
  }
  return true;
}

bool LoadSmbLibrary(std::string& error) {
  const Loaded& loaded = TheLibrary();
  if (!loaded.ok) error = loaded.error;
  return loaded.ok;
}

bool SmbCallsMayOverlap() {
  return TheLibrary().threaded;
}

const SmbLibrary& Smb() {
  return TheLibrary().library;
}

}  // namespace mv::smb
