// How settings values stand in config.ini: as they are where the ANSI code page holds them,
// and in the "utf-8:" form, which no value can break out of, for the rest.
#include <gtest/gtest.h>

#include "app/settings_value.h"

namespace mv {
namespace {

TEST(SettingsValue, AnsiTextStaysAndTheRestReadsBackWithoutBreakingItsLine) {
  EXPECT_EQ(EncodeSettingsValue("C:\\Users\\J\xC3\xBCrgen", true), "C:\\Users\\J\xC3\xBCrgen");
  EXPECT_EQ(EncodeSettingsValue("C:\\\xD0\x90%", false), "utf-8:C:\\%D0%90%25");
  const char* const texts[] = {"utf-8:x", "C:\\a\r\n[main]\nautorun=1", "tab\there", "\x7F"};
  for (const char* text : texts) {
    const std::string stored = EncodeSettingsValue(text, true);
    EXPECT_EQ(stored.find_first_of("\r\n\t\x7F"), std::string::npos) << stored;
    std::string read = "x";
    // What was read back with a control character is refused, never taken.
    EXPECT_EQ(DecodeSettingsValue(stored, read), std::string_view(text) == "utf-8:x") << stored;
    EXPECT_EQ(read, std::string_view(text) == "utf-8:x" ? text : "");
  }
  std::string read;
  EXPECT_TRUE(DecodeSettingsValue("utf-8:50%", read));  // a '%' not written here: itself
  EXPECT_EQ(read, "50%");
  EXPECT_FALSE(DecodeSettingsValue("utf-8:C:\\x%0D%0Aautorun=1", read));
}

}  // namespace
}  // namespace mv
