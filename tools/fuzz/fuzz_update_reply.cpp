// Fuzz target: the update server's reply, which whoever answers for the server writes. The
// question is asked exactly when the reply starts with a number above this version, once.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/update_check.h"
#include "fuzz_check.h"

using mv::fuzz::Check;

namespace {

class CountedNotices final : public mv::NoticePort {
 public:
  mv::MessageAnswer ShowMessage(const std::string&, mv::MessageKind) override {
    ++shown;
    return mv::MessageAnswer::kYes;
  }
  void SetStatusText(int, const std::string&) override {}
  int shown = 0;
};

class CountedShell final : public mv::ShellPort {
 public:
  void Open(const std::string&) override { ++opened; }
  void Explore(const std::string&) override {}
  void ShowProperties(const std::string&) override {}
  int opened = 0;
};

// Leading blanks, an optional "+", then digits whose value exceeds 1 (any number of them).
bool NamesANewerVersion(std::string_view reply) {
  std::size_t at = 0;
  while (at < reply.size() && (reply[at] == ' ' || (reply[at] >= '\t' && reply[at] <= '\r'))) ++at;
  if (at < reply.size() && reply[at] == '+') ++at;
  while (at < reply.size() && reply[at] == '0') ++at;
  std::size_t digits = 0;
  while (at + digits < reply.size() && reply[at + digits] >= '0' && reply[at + digits] <= '9') {
    ++digits;
  }
  return digits > 1 || (digits == 1 && reply[at] > '0' + mv::kOwnVersion);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  CountedNotices notices;
  CountedShell shell;
  mv::UpdateCheck(
      "http://updates.example", [&](const std::string&, std::size_t) { return reply; }, notices,
      shell);
  const bool newer = NamesANewerVersion(std::string_view(reply).substr(0, mv::kUpdateReplyLimit));
  Check(notices.shown == (newer ? 1 : 0));
  Check(shell.opened == notices.shown);
  return 0;
}
