// The crash message: see crash_message.h.
#include "app/crash_message.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace mv {
namespace {

// Appends text or an upper-case hexadecimal number at out[used], never past the last byte.
class FixedText {
 public:
  explicit FixedText(std::array<char, kCrashMessageCapacity>& out) : out_(out) {}
  void Append(const char* text) {
    const std::size_t length = std::min(std::strlen(text), out_.size() - 1 - used_);
    std::memcpy(out_.data() + used_, text, length);
    used_ += length;
  }
  void AppendHex(std::uint64_t value) {
    char digits[17] = {};
    const auto end = std::to_chars(digits, digits + 16, value, 16).ptr;
    for (char* c = digits; c != end; ++c) {
      if (*c >= 'a' && *c <= 'f') *c = static_cast<char>(*c - 'a' + 'A');
    }
    Append(digits);
  }

 private:
  std::array<char, kCrashMessageCapacity>& out_;
  std::size_t used_ = 0;
};

}  // namespace

std::array<char, kCrashMessageCapacity> CrashMessage(std::uint32_t code, std::uint64_t address,
                                                     std::uint64_t accessAddress) {
  std::array<char, kCrashMessageCapacity> out{};
  FixedText text(out);
  text.Append("Code: ");
  text.AppendHex(code);
  text.Append("\nAddress: ");
  text.AppendHex(address);
  text.Append("\nAccess violation address: ");
  text.AppendHex(accessAddress);
  return out;
}

}  // namespace mv
