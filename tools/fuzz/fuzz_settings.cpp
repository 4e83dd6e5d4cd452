// Fuzz target: the settings as read from a settings file that anyone with the folder may
// have edited. The input holds the three values, cut at NUL bytes; what is read, written
// back and read again must be what was read, and a stored value reads as a text that is
// stored again in a form that holds no line break and reads back the same.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "app/settings_value.h"
#include "fuzz_check.h"

using mv::fuzz::Check;

namespace {

constexpr char kDocuments[] = "C:\\Users\\me\\Documents";

class Values final : public mv::SettingsFile {
 public:
  std::string Read(const std::string& key) const override {
    const auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
  }
  void Write(const std::string& key, const std::string& text) override { values[key] = text; }
  std::map<std::string, std::string> values;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  Values file;
  for (const char* key : {mv::kSnapshotDirKey, mv::kAutorunKey, mv::kShowInTrayKey}) {
    if (rest.empty()) break;
    const std::size_t cut = rest.find('\0');
    file.values[key] = std::string(rest.substr(0, cut));
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
  }
  const mv::Settings first = mv::LoadSettings(file, kDocuments);
  Check(!first.snapshotsDirectory.empty());
  Values written;
  mv::SaveSettings(written, first);
  const mv::Settings second = mv::LoadSettings(written, kDocuments);
  Check(second.snapshotsDirectory == first.snapshotsDirectory);
  Check(second.autorun == first.autorun && second.showInTray == first.showInTray);

  std::string text;
  if (mv::DecodeSettingsValue(file.values[mv::kSnapshotDirKey], text)) {
    for (const bool ansiHoldsText : {false, true}) {
      const std::string stored = mv::EncodeSettingsValue(text, ansiHoldsText);
      Check(stored.find_first_of("\r\n") == std::string::npos);
      std::string again;
      Check(mv::DecodeSettingsValue(stored, again) && again == text);
    }
  }
  return 0;
}
