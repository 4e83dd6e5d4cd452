// Reading authentication files, without ever echoing what they hold.
#include "platform/smb/smb_credentials.h"

#include <fstream>
#include <iterator>

#include "platform/text_lines.h"

namespace mv::smb {
namespace {

void Wipe(std::string& secret) {
  volatile char* bytes = secret.data();
  for (std::size_t i = 0; i < secret.size(); ++i) bytes[i] = '\0';
  secret.clear();
}

}  // namespace

SmbCredentials::~SmbCredentials() {
  Wipe(password);
}

bool ParseAuthText(std::string_view text, SmbCredentials& credentials, std::string& error) {
  TextLines lines(text);
  std::string_view line;
  while (lines.Next(line)) {
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    const std::size_t equals = line.find('=');
    std::string key(TrimBlanks(line.substr(0, equals)));
    for (char& c : key) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    std::string* field = nullptr;
    if (key == "username") field = &credentials.username;
    if (key == "password") field = &credentials.password;
    if (key == "domain" || key == "workgroup") field = &credentials.domain;
    if (equals == std::string_view::npos || field == nullptr) {
      error =
          "line " + std::to_string(lines.number()) + ": expected username=, password= or domain=";
      return false;
    }
    field->assign(TrimBlanks(line.substr(equals + 1)));
  }
  // As smbclient reads it, "DOMAIN\user" names the domain too.
  const std::size_t slash = credentials.username.find_first_of("\\/");
  if (slash != std::string::npos) {
    credentials.domain = credentials.username.substr(0, slash);
    credentials.username.erase(0, slash + 1);
  }
  if (credentials.username.empty()) {
    error = "no username= line";
    return false;
  }
  return true;
}

bool ReadAuthFile(const std::string& path, SmbCredentials& credentials, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read the authentication file " + path;
    return false;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const bool parsed = ParseAuthText(text, credentials, error);
  Wipe(text);
  if (!parsed) error = "the authentication file " + path + ": " + error;
  return parsed;
}

}  // namespace mv::smb
