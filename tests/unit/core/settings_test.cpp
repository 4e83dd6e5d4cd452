// The settings as read from and written to the settings file, and the crash message text.
#include <gtest/gtest.h>

#include <map>

#include "core/crash_message.h"
#include "core/settings.h"

namespace mv {
namespace {

class MemorySettingsFile final : public SettingsFile {
 public:
  std::string Read(const std::string& key) const override {
    const auto found = values.find(key);
    return found == values.end() ? std::string() : found->second;
  }
  void Write(const std::string& key, const std::string& text) override { values[key] = text; }
  std::map<std::string, std::string> values;
};

TEST(Settings, ReadWithDefaultsAndWrittenBackAsZeroOrOne) {
  const std::string docs = "C:\\Users\\ann\\Documents";
  const std::string longDirectory = "D:\\" + std::string(1000, 'x');
  struct Case {
    std::map<std::string, std::string> file;
    std::map<std::string, std::string> saved;
  };
  const Case cases[] = {
      {{}, {{"snapshot_dir", docs + "\\Mirrorvault"}, {"autorun", "0"}, {"showintray", "0"}}},
      {{{"snapshot_dir", ""}, {"autorun", "5"}, {"showintray", " 12abc"}},
       {{"snapshot_dir", docs + "\\Mirrorvault"}, {"autorun", "1"}, {"showintray", "1"}}},
      {{{"snapshot_dir", longDirectory}, {"autorun", "yes"}, {"showintray", "-1"}},
       {{"snapshot_dir", longDirectory}, {"autorun", "0"}, {"showintray", "1"}}},
  };
  for (const Case& c : cases) {
    MemorySettingsFile in;
    in.values = c.file;
    MemorySettingsFile out;
    SaveSettings(out, LoadSettings(in, docs));
    EXPECT_EQ(out.values, c.saved);
  }
}

TEST(CrashMessage, HexadecimalWithoutLeadingZerosWhateverTheWidth) {
  EXPECT_STREQ(CrashMessage(0xC0000005u, 0x401A2Cu, 0x24u).data(),
               "Code: C0000005\nAddress: 401A2C\nAccess violation address: 24");
  EXPECT_STREQ(CrashMessage(0u, UINT64_MAX, UINT64_MAX).data(),
               "Code: 0\nAddress: FFFFFFFFFFFFFFFF\nAccess violation address: FFFFFFFFFFFFFFFF");
}

}  // namespace
}  // namespace mv
