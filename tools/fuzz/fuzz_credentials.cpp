// Fuzz target: the authentication file (--auth-file). Whatever it holds, a reason given for
// refusing it is one of the fixed texts, so it never quotes the file (nor the password), and
// accepted credentials name a user.
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
    // The reason is one of the fixed texts, the first with a line number. (A password may
    // well be a piece of a fixed text, so looking for it in the reason proves nothing.)
    constexpr std::string_view kLinePrefix = "line ";
    constexpr std::string_view kLineSuffix = ": expected username=, password= or domain=";
    if (error != "no username= line") {
      const std::string_view reason(error);
      Check(reason.size() > kLinePrefix.size() + kLineSuffix.size() &&
            reason.substr(0, kLinePrefix.size()) == kLinePrefix &&
            reason.substr(reason.size() - kLineSuffix.size()) == kLineSuffix);
      const std::string_view number = reason.substr(
          kLinePrefix.size(), reason.size() - kLinePrefix.size() - kLineSuffix.size());
      Check(number.find_first_not_of("0123456789") == std::string_view::npos);
    }
  }
  return 0;
}
