// The credentials of an authentication file in smbclient's format:
//
//   username = NAME
//   password = SECRET
//   domain   = WORKGROUP
//
// One key a line (case ignored; "workgroup" stands for "domain", and a user name
// "DOMAIN\user" names the domain too), blanks around "=" ignored, the value running to the end of
// the line (inner blanks belong to it); "#" and ";" begin a comment line. The password is wiped
// from memory when the credentials go.
#pragma once

#include <string>
#include <string_view>

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

// Fills credentials from the text of an authentication file. False, with the reason in
// error (which never quotes a value), for a line it cannot read or without a user name.
bool ParseAuthText(std::string_view text, SmbCredentials& credentials, std::string& error);

// Reads and parses the file at path; error names the file.
bool ReadAuthFile(const std::string& path, SmbCredentials& credentials, std::string& error);

}  // namespace mv::smb
