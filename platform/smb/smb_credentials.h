// The credentials of an authentication file in smbclient's format:
//
//   username = NAME
//   password = SECRET
//   domain   = WORKGROUP
//
// One key a line (case ignored; "workgroup" stands for "domain", and a user name
// "DOMAIN\user" names the domain too), blanks around "=" ignored, the value running to the end of
// the line (inner blanks belong to it); "#" and ";" begin a comment line. The password is wiped
// from memory when the credentials go, and no copy of it is left behind unwiped on the way in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mv::smb {

struct SmbCredentials {
  SmbCredentials() = default;
  SmbCredentials(const SmbCredentials&) = delete;
  SmbCredentials& operator=(const SmbCredentials&) = delete;
  ~SmbCredentials();

  std::string username;
  std::string password;
  std::string domain;
};

// The file is read whole up to this size; a larger one is refused as no authentication file.
inline constexpr std::size_t kMaxAuthFileBytes = 64 * 1024;

// Which servers the credentials go to: those the user named. A name from a browse list is
// whatever a machine on the network announced, so it gets them only when browsedToo.
struct CredentialScope {
  std::vector<std::string> servers;  // UTF-8, as the URLs name them; case ignored
  bool browsedToo = false;
  bool Covers(std::string_view server) const;
};

// Overwrites the bytes of secret with zeros in a way the compiler keeps, then empties it.
void Wipe(std::string& secret);

// Fills credentials from the text of an authentication file. False, with the reason in
// error (which never quotes a value), for a line it cannot read or without a user name.
bool ParseAuthText(std::string_view text, SmbCredentials& credentials, std::string& error);

// Reads and parses the file at path; error names the file.
bool ReadAuthFile(const std::string& path, SmbCredentials& credentials, std::string& error);

}  // namespace mv::smb
