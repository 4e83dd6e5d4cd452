// One logon of Samba's client library: contexts with the credentials (or none: guest), the
// servers' port, and the connections each keeps to them. What all contexts share (the
// library's configuration, name cache and logons) is touched only under the exclusive
// lock; a listing over a connection its context already has runs under the shared lock,
// each context on one thread at a time, so listings of many threads go to the servers at
// once. Where the library could not be made safe for threads every call is exclusive.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/io_error.h"
#include "platform/smb/smb_credentials.h"
#include "platform/smb/smb_library.h"

namespace mv::smb {

// A lock held shared or exclusive; a thread waiting to hold it exclusive holds off those that
// come after it for a shared hold, so a steady stream of listings cannot starve a logon.
class LibraryLock {
 public:
  void lock();
  void unlock();
  void lock_shared();
  void unlock_shared();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int sharing_ = 0;
  int waiting_ = 0;  // threads waiting to hold it exclusive
  bool held_ = false;
};

class SmbSession {
 public:
  // credentials null: a guest (anonymous) logon; else they go to the servers of scope, and
  // every other server gets a guest logon. port 0: the library's choice.
  SmbSession(std::unique_ptr<SmbCredentials> credentials, std::uint16_t port,
             CredentialScope scope = {});
  ~SmbSession();
  SmbSession(const SmbSession&) = delete;
  SmbSession& operator=(const SmbSession&) = delete;

  // Held exclusive around every use of the library but Read.
  static std::unique_lock<LibraryLock> Lock();

  // The first context, made on first use; null when the library could not start or the
  // session is over. Hold Lock().
  SMBCCTX* Context();

  // Runs read (a listing of url, smb://C/S/...) on a context no other thread uses meanwhile:
  // under the shared lock when that context is already connected to the share and
  // mayOverlap, else under the exclusive lock (which connects it). read answers 0 or the
  // errno of its failure, and starts afresh when called again. kOther without a context.
  IoError Read(const std::string& url, bool mayOverlap, const std::function<int(SMBCCTX*)>& read);

  // Whether Read may overlap with other reads (the library was made safe for threads).
  bool Overlapping() const;

  // Whether the library has connected this session to the share of shareUrl (smb://C/S)
  // since the session began: the computer accepted the logon and granted the share, whatever
  // became of the request that connected. Hold Lock().
  bool Connected(const std::string& shareUrl);

  // Wipes the password and closes the contexts with their connections; the session is over
  // (Context() answers null from now on).
  void ForgetCredentials();

 private:
  // One context of the pool and the shares it has connected to.
  struct Slot {
    SmbSession* session = nullptr;
    SMBCCTX* context = nullptr;
    bool busy = false;                // a thread has it for a read
    bool overlapping = false;         // that read runs under the shared lock
    bool stale = false;               // the library found a connection of it dead meanwhile
    std::set<std::string> connected;  // smb://C/S; changed under the exclusive lock
    smbc_add_cached_srv_fn addToCache = nullptr;  // the library's own
    smbc_check_server_fn checkServer = nullptr;   // the library's own
  };
  SMBCCTX* ContextOf(Slot& slot);  // made on first use; hold Lock()
  Slot& Borrow(const std::string& shareUrl);
  void GiveBack(Slot& slot);

  static int RecordConnection(SMBCCTX* context, SMBCSRV* server, const char* serverName,
                              const char* share, const char* workgroup, const char* username);
  static int CheckServer(SMBCCTX* context, SMBCSRV* server);
  static void SupplyCredentials(SMBCCTX* context, const char* server, const char* share,
                                char* workgroup, int workgroupLength, char* username,
                                int usernameLength, char* password, int passwordLength);

  std::unique_ptr<SmbCredentials> credentials_;
  std::uint16_t port_;
  CredentialScope scope_;
  bool failed_ = false;
  std::set<std::string> connected_;  // smb://C/S of every share any context connected to

  std::mutex poolMutex_;  // guards busy, the sets of shares connected and the list of slots
  std::condition_variable returned_;
  std::vector<std::unique_ptr<Slot>> slots_;
  Slot* first_ = nullptr;  // Context()'s
};

// How many contexts a session keeps for reads at once: the listing threads of one share's
// walk and its writer each get one, with as many again for a second computer's walk. Each
// context holds a connection of its own to every share it lists, so more would multiply
// the logons a server sees; further reads wait for a free context.
inline constexpr std::size_t kMaxSmbContexts = 18;

// The library's errno in the platform's vocabulary: a computer that cannot be reached is
// not found, as Windows has it ("the network path was not found").
IoError FromSmbErrno(int error);

// "smb://" + server, then each further piece as a path component; every byte but letters,
// digits and "-._~" is percent-encoded, since the library reads "?", "%", "@", ";" and ":"
// in a URL as syntax. Pieces are UTF-8.
class SmbUrl {
 public:
  explicit SmbUrl(std::string_view server);
  SmbUrl& Append(std::string_view piece);
  const std::string& text() const { return text_; }

 private:
  void AppendEncoded(std::string_view piece);
  std::string text_;
};

}  // namespace mv::smb
