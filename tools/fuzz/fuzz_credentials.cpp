// Fuzz target: the authentication file (--auth-file). Whatever it holds, a reason given for
// refusing it never quotes the password, and accepted credentials name a user.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/smb/smb_credentials.h"

using mv::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  mv::smb::SmbCredentials credentials;
  std::string error;
  if (mv::smb::ParseAuthText(text, credentials, error)) {
    Check(!credentials.username.empty());
  } else {
    // The reason is one of a few fixed texts with a line number.
    Check(error.size() < 80);
    if (credentials.password.size() >= 8)
      Check(error.find(credentials.password) == std::string::npos);
  }
  return 0;
}
