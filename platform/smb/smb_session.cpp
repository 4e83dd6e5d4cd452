// The library context of a session: made lazily under the process-wide lock, silent (its
// log would mix with the program's output and could show names of the logon), and given
// the credentials only through the library's callback.
#include "platform/smb/smb_session.h"

#include <cerrno>
#include <cstdio>

#include "platform/posix/posix_shared.h"

// What the sanitizers of the test builds would report of the library itself: it allocates
// the name of its log file once, with its first context, and keeps it to the end of the
// process (only the library allocates through talloc); and its database layer's signal
// handler leaves errno changed.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libtalloc.so\n";
}
extern "C" __attribute__((used)) const char* __lsan_default_options() {
  return "print_suppressions=0";
}
extern "C" __attribute__((used)) const char* __tsan_default_suppressions() {
  return "signal:libtdb.so\n";
}

namespace mv::smb {
namespace {

std::mutex& LibraryMutex() {
  static std::mutex mutex;
  return mutex;
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

SmbSession::SmbSession(std::unique_ptr<SmbCredentials> credentials, std::uint16_t port,
                       CredentialScope scope)
    : credentials_(std::move(credentials)), port_(port), scope_(std::move(scope)) {}

SmbSession::~SmbSession() {
  ForgetCredentials();
}

void SmbSession::ForgetCredentials() {
  auto lock = Lock();
  if (context_ != nullptr) Smb().smbc_free_context(context_, 1);
  context_ = nullptr;
  failed_ = true;
  credentials_.reset();  // wipes the password
}

std::unique_lock<std::mutex> SmbSession::Lock() {
  return std::unique_lock(LibraryMutex());
}

SMBCCTX* SmbSession::Context() {
  if (context_ != nullptr || failed_) return context_;
  const SmbLibrary& smb = Smb();
  SMBCCTX* context = smb.smbc_new_context();
  if (context == nullptr) {
    failed_ = true;
    return nullptr;
  }
  smb.smbc_setDebug(context, 0);
  smb.smbc_setLogCallback(context, nullptr, DropLog);
  smb.smbc_setOptionUserData(context, this);
  smb.smbc_setFunctionAuthDataWithContext(context, SupplyCredentials);
  // Refused credentials must fail, not fall back to an anonymous logon that would capture
  // less than the user asked for.
  smb.smbc_setOptionNoAutoAnonymousLogin(context, credentials_ != nullptr);
  if (port_ != 0) smb.smbc_setPort(context, port_);
  // Every new connection passes through the cache of connections: noted there, it tells a
  // granted logon from a refused one.
  addToCache_ = smb.smbc_getFunctionAddCachedServer(context);
  smb.smbc_setFunctionAddCachedServer(context, RecordConnection);
  if (smb.smbc_init_context(context) == nullptr) {
    smb.smbc_free_context(context, 1);
    failed_ = true;
    return nullptr;
  }
  context_ = context;
  return context_;
}

int SmbSession::RecordConnection(SMBCCTX* context, SMBCSRV* server, const char* serverName,
                                 const char* share, const char* workgroup, const char* username) {
  auto* session = static_cast<SmbSession*>(Smb().smbc_getOptionUserData(context));
  session->connected_.insert(SmbUrl(serverName).Append(share).text());
  return session->addToCache_(context, server, serverName, share, workgroup, username);
}

void SmbSession::SupplyCredentials(SMBCCTX* context, const char* server, const char*,
                                   char* workgroup, int workgroupLength, char* username,
                                   int usernameLength, char* password, int passwordLength) {
  const auto* session = static_cast<const SmbSession*>(Smb().smbc_getOptionUserData(context));
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
