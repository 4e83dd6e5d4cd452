// One logon of Samba's client library: a context with the credentials (or none: guest), the
// servers' port, and the connections it keeps to them. The library is not thread safe, so
// every call into it, on any session, holds the one process-wide lock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

#include "platform/io_error.h"
#include "platform/smb/smb_credentials.h"
#include "platform/smb/smb_library.h"

namespace mv::smb {

class SmbSession {
 public:
  // credentials null: a guest (anonymous) logon; else they go to the servers of scope, and
  // every other server gets a guest logon. port 0: the library's choice.
  SmbSession(std::unique_ptr<SmbCredentials> credentials, std::uint16_t port,
             CredentialScope scope = {});
  ~SmbSession();
  SmbSession(const SmbSession&) = delete;
  SmbSession& operator=(const SmbSession&) = delete;

  // Held around every use of the context (and of anything it returned).
  static std::unique_lock<std::mutex> Lock();

  // The context, made on first use; null when the library could not start. Hold Lock().
  SMBCCTX* Context();

  // Whether the library has connected this session to the share of shareUrl (smb://C/S)
  // since the session began: the computer accepted the logon and granted the share, whatever
  // became of the request that connected. Hold Lock().
  bool Connected(const std::string& shareUrl) const { return connected_.count(shareUrl) != 0; }

  // Wipes the password and closes the context with its connections; the session is over
  // (Context() answers null from now on).
  void ForgetCredentials();

 private:
  static int RecordConnection(SMBCCTX* context, SMBCSRV* server, const char* serverName,
                              const char* share, const char* workgroup, const char* username);
  static void SupplyCredentials(SMBCCTX* context, const char* server, const char* share,
                                char* workgroup, int workgroupLength, char* username,
                                int usernameLength, char* password, int passwordLength);

  std::unique_ptr<SmbCredentials> credentials_;
  std::uint16_t port_;
  CredentialScope scope_;
  SMBCCTX* context_ = nullptr;
  bool failed_ = false;
  smbc_add_cached_srv_fn addToCache_ = nullptr;  // the library's own
  std::set<std::string> connected_;              // smb://C/S of every share connected
};

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
