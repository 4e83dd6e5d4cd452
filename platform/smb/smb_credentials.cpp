// Reading authentication files, without ever echoing what they hold.
#include "platform/smb/smb_credentials.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/text_lines.h"

namespace mv::smb {
namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// The file's bytes into text, sized once so that no copy of them is left in freed memory.
bool ReadWhole(int fd, std::string& text, std::string& error) {
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    error = "is not a file that can be read";
    return false;
  }
  if (static_cast<std::uint64_t>(status.st_size) > kMaxAuthFileBytes) {
    error = "is larger than " + std::to_string(kMaxAuthFileBytes) + " bytes";
    return false;
  }
  text.resize(static_cast<std::size_t>(status.st_size));
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t got = read(fd, text.data() + done, text.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  text.resize(done);  // a file that shrank meanwhile: what was read
  return true;
}

}  // namespace

void Wipe(std::string& secret) {
  explicit_bzero(secret.data(), secret.size());
  secret.clear();
}

bool CredentialScope::Covers(std::string_view server) const {
  if (browsedToo) return true;
  for (const std::string& named : servers) {
    if (EqualsIgnoringCase(named, server)) return true;
  }
  return false;
}

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
    Wipe(*field);  // a second line for the key: the first value goes
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
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = "cannot read the authentication file " + path;
    return false;
  }
  std::string text;
  const bool read = ReadWhole(fd, text, error);
  close(fd);
  const bool parsed = read && ParseAuthText(text, credentials, error);
  Wipe(text);
  if (!parsed) error = "the authentication file " + path + ": " + error;
  return parsed;
}

}  // namespace mv::smb
