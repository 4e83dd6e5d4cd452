// The settings as read from and written to the settings file, the first-run marker and the
// crash message text.
#include <gtest/gtest.h>

#include <map>

#include "core/crash_message.h"
#include "core/first_run.h"
#include "core/settings.h"

namespace mv {
namespace {

class MemorySettingsFile final : public SettingsFile {
 public:
  std::string Read(const std::string& key) const override {
    return values.count(key) != 0 ? values.at(key) : std::string();
  }
  void Write(const std::string& key, const std::string& text) override { values[key] = text; }
  std::map<std::string, std::string> values;
};

TEST(Settings, ReadWithDefaultsAndWrittenBackAsZeroOrOne) {
  const std::string longDirectory = "D:\\" + std::string(1000, 'x');
  const std::map<std::string, std::string> cases[][2] = {
      {{{"snapshot_dir", ""}, {"showintray", " 12abc"}},
       {{"snapshot_dir", "C:\\Docs\\Mirrorvault"}, {"autorun", "0"}, {"showintray", "1"}}},
      {{{"snapshot_dir", longDirectory}, {"autorun", "-1"}, {"showintray", "yes"}},
       {{"snapshot_dir", longDirectory}, {"autorun", "1"}, {"showintray", "0"}}},
  };
  for (const auto& [file, saved] : cases) {
    MemorySettingsFile in;
    in.values = file;
    MemorySettingsFile out;
    SaveSettings(out, LoadSettings(in, "C:\\Docs"));
    EXPECT_EQ(out.values, saved);
  }
}

TEST(FirstRun, OnlyTheMarkerOneEndsIt) {
  for (const char* marker : {"", "0", "yes", "1 "}) EXPECT_TRUE(IsFirstRun(marker)) << marker;
  EXPECT_FALSE(IsFirstRun("1"));
}

TEST(CrashMessage, HexadecimalWithoutLeadingZerosWhateverTheWidth) {
  EXPECT_STREQ(CrashMessage(0xC0000005u, 0x401A2Cu, 0x24u).data(),
               "Code: C0000005\nAddress: 401A2C\nAccess violation address: 24");
  EXPECT_STREQ(CrashMessage(0u, UINT64_MAX, UINT64_MAX).data(),
               "Code: 0\nAddress: FFFFFFFFFFFFFFFF\nAccess violation address: FFFFFFFFFFFFFFFF");
}

}  // namespace
}  // namespace mv
