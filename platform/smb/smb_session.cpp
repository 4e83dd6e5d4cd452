// The library contexts of a session: made lazily under the exclusive lock, silent (their
// log would mix with the program's output and could show names of the logon), and given
// the credentials only through the library's callback.
#include "platform/smb/smb_session.h"

#include <cerrno>
#include <cstdio>
#include <shared_mutex>

#include "platform/posix/posix_shared.h"

// What the sanitizers of the test builds would report of the library itself: it allocates
// the name of its log file once, with its first context, and keeps it to the end of the
// process (only the library allocates through talloc); it makes a mutex through the thread
// functions with every context and never destroys it; and its database layer's signal
// handler leaves errno changed.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libtalloc.so\nleak:libsmbclient.so\n";
}
extern "C" __attribute__((used)) const char* __lsan_default_options() {
  return "print_suppressions=0";
}
extern "C" __attribute__((used)) const char* __tsan_default_suppressions() {
  return "signal:libtdb.so\n";
}

namespace mv::smb {
namespace {

LibraryLock& TheLibraryLock() {
  static LibraryLock lock;
  return lock;
}

// "smb://C/S/a/b" -> "smb://C/S".
std::string ShareUrlOf(const std::string& url) {
  constexpr std::size_t kServerAt = 6;  // after "smb://"
  const std::size_t shareAt = url.find('/', kServerAt);
  if (shareAt == std::string::npos) return url;
  return url.substr(0, url.find('/', shareAt + 1));
}

void DropLog(void*, int, const char*) {}

// Copies text into one of the library's fixed fields, cut to fit.
void Fill(char* field, int length, const std::string& text) {
  if (field == nullptr || length <= 0) return;
  std::snprintf(field, static_cast<std::size_t>(length), "%s", text.c_str());
}

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

}  // namespace

void LibraryLock::lock() {
  std::unique_lock lock(mutex_);
  ++waiting_;
  changed_.wait(lock, [this] { return !held_ && sharing_ == 0; });
  --waiting_;
  held_ = true;
}

void LibraryLock::unlock() {
  {
    std::lock_guard lock(mutex_);
    held_ = false;
  }
  changed_.notify_all();
}

void LibraryLock::lock_shared() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !held_ && waiting_ == 0; });
  ++sharing_;
}

void LibraryLock::unlock_shared() {
  bool last = false;
  {
    std::lock_guard lock(mutex_);
    last = --sharing_ == 0;
  }
  if (last) changed_.notify_all();
}

SmbSession::SmbSession(std::unique_ptr<SmbCredentials> credentials, std::uint16_t port,
                       CredentialScope scope)
    : credentials_(std::move(credentials)), port_(port), scope_(std::move(scope)) {
  slots_.push_back(std::make_unique<Slot>());
  first_ = slots_.back().get();
  first_->session = this;
}

SmbSession::~SmbSession() {
  ForgetCredentials();
}

void SmbSession::ForgetCredentials() {
  auto lock = Lock();
  std::lock_guard pool(poolMutex_);
  for (const std::unique_ptr<Slot>& slot : slots_) {
    if (slot->context != nullptr) Smb().smbc_free_context(slot->context, 1);
    slot->context = nullptr;
    slot->connected.clear();
  }
  failed_ = true;
  credentials_.reset();  // wipes the password
}

std::unique_lock<LibraryLock> SmbSession::Lock() {
  return std::unique_lock(TheLibraryLock());
}

SMBCCTX* SmbSession::Context() {
  return ContextOf(*first_);
}

bool SmbSession::Overlapping() const {
  return SmbCallsMayOverlap();
}

bool SmbSession::Connected(const std::string& shareUrl) {
  std::lock_guard pool(poolMutex_);
  return connected_.count(shareUrl) != 0;
}

SMBCCTX* SmbSession::ContextOf(Slot& slot) {
  if (slot.context != nullptr || failed_) return slot.context;
  const SmbLibrary& smb = Smb();
  SMBCCTX* context = smb.smbc_new_context();
  if (context == nullptr) {
    failed_ = true;
    return nullptr;
  }
  smb.smbc_setDebug(context, 0);
  smb.smbc_setLogCallback(context, nullptr, DropLog);
  smb.smbc_setOptionUserData(context, &slot);
  smb.smbc_setFunctionAuthDataWithContext(context, SupplyCredentials);
  // Refused credentials must fail, not fall back to an anonymous logon that would capture
  // less than the user asked for.
  smb.smbc_setOptionNoAutoAnonymousLogin(context, credentials_ != nullptr);
  if (port_ != 0) smb.smbc_setPort(context, port_);
  // Every new connection passes through the cache of connections: noted there, it tells a
  // granted logon from a refused one, and which contexts may read a share without logging on.
  slot.addToCache = smb.smbc_getFunctionAddCachedServer(context);
  smb.smbc_setFunctionAddCachedServer(context, RecordConnection);
  slot.checkServer = smb.smbc_getFunctionCheckServer(context);
  smb.smbc_setFunctionCheckServer(context, CheckServer);
  if (smb.smbc_init_context(context) == nullptr) {
    smb.smbc_free_context(context, 1);
    failed_ = true;
    return nullptr;
  }
  slot.context = context;
  return context;
}

SmbSession::Slot& SmbSession::Borrow(const std::string& shareUrl) {
  std::unique_lock pool(poolMutex_);
  for (;;) {
    Slot* chosen = nullptr;
    for (const std::unique_ptr<Slot>& slot : slots_) {
      if (slot->busy) continue;
      if (slot->connected.count(shareUrl) != 0) {
        chosen = slot.get();
        break;
      }
      if (chosen == nullptr) chosen = slot.get();
    }
    if (chosen == nullptr && slots_.size() < kMaxSmbContexts) {
      slots_.push_back(std::make_unique<Slot>());
      chosen = slots_.back().get();
      chosen->session = this;
    }
    if (chosen != nullptr) {
      chosen->busy = true;
      return *chosen;
    }
    returned_.wait(pool);
  }
}

void SmbSession::GiveBack(Slot& slot) {
  {
    std::lock_guard pool(poolMutex_);
    slot.busy = false;
  }
  returned_.notify_one();
}

IoError SmbSession::Read(const std::string& url, bool mayOverlap,
                         const std::function<int(SMBCCTX*)>& read) {
  const auto outcome = [](int error) { return error == 0 ? IoError::kNone : FromSmbErrno(error); };
  if (!mayOverlap || !Overlapping()) {
    auto lock = Lock();
    SMBCCTX* context = Context();
    return context != nullptr ? outcome(read(context)) : IoError::kOther;
  }
  const std::string shareUrl = ShareUrlOf(url);
  Slot& slot = Borrow(shareUrl);
  const std::unique_ptr<Slot, std::function<void(Slot*)>> giveBack(
      &slot, [this](Slot* borrowed) { GiveBack(*borrowed); });
  {
    std::shared_lock lock(TheLibraryLock());
    if (slot.context != nullptr && slot.connected.count(shareUrl) != 0) {
      slot.overlapping = true;
      slot.stale = false;
      const int error = read(slot.context);
      slot.overlapping = false;
      // A connection found dead is made anew under the exclusive lock, as a new one is.
      if (error == 0 || !slot.stale) return outcome(error);
    }
  }
  auto lock = Lock();
  SMBCCTX* context = ContextOf(slot);
  return context != nullptr ? outcome(read(context)) : IoError::kOther;
}

int SmbSession::RecordConnection(SMBCCTX* context, SMBCSRV* server, const char* serverName,
                                 const char* share, const char* workgroup, const char* username) {
  auto* slot = static_cast<Slot*>(Smb().smbc_getOptionUserData(context));
  const std::string shareUrl = SmbUrl(serverName).Append(share).text();
  {
    std::lock_guard pool(slot->session->poolMutex_);
    slot->connected.insert(shareUrl);
    slot->session->connected_.insert(shareUrl);
  }
  return slot->addToCache(context, server, serverName, share, workgroup, username);
}

int SmbSession::CheckServer(SMBCCTX* context, SMBCSRV* server) {
  auto* slot = static_cast<Slot*>(Smb().smbc_getOptionUserData(context));
  const int dead = slot->checkServer(context, server);
  if (dead == 0 || !slot->overlapping) return dead;
  // Connecting anew touches what every context shares: this read fails on the dead
  // connection, and Read makes it again under the exclusive lock.
  slot->stale = true;
  return 0;
}

void SmbSession::SupplyCredentials(SMBCCTX* context, const char* server, const char*,
                                   char* workgroup, int workgroupLength, char* username,
                                   int usernameLength, char* password, int passwordLength) {
  const auto* slot = static_cast<const Slot*>(Smb().smbc_getOptionUserData(context));
  const SmbSession* session = slot != nullptr ? slot->session : nullptr;
  const SmbCredentials* credentials = session != nullptr ? session->credentials_.get() : nullptr;
  if (credentials == nullptr || server == nullptr || !session->scope_.Covers(server)) {
    // Empty user and password: the anonymous logon that servers map to their guest.
    Fill(username, usernameLength, "");
    Fill(password, passwordLength, "");
    return;
  }
  if (!credentials->domain.empty()) Fill(workgroup, workgroupLength, credentials->domain);
  Fill(username, usernameLength, credentials->username);
  Fill(password, passwordLength, credentials->password);
}

IoError FromSmbErrno(int error) {
  switch (error) {
    case ECONNREFUSED:
    case EHOSTUNREACH:
    case EHOSTDOWN:
    case ENETUNREACH:
    case ETIMEDOUT:
      return IoError::kNotFound;
    default:
      return posix::FromErrno(error);
  }
}

SmbUrl::SmbUrl(std::string_view server) : text_("smb://") {
  AppendEncoded(server);
}

SmbUrl& SmbUrl::Append(std::string_view piece) {
  text_ += '/';
  AppendEncoded(piece);
  return *this;
}

void SmbUrl::AppendEncoded(std::string_view piece) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const char c : piece) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUnreserved(byte)) {
      text_ += c;
    } else {
      text_ += '%';
      text_ += kHex[byte >> 4];
      text_ += kHex[byte & 0x0F];
    }
  }
}

}  // namespace mv::smb
