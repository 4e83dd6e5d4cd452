// Paths start-up derives for the main window: its folder and the help file.
#include <gtest/gtest.h>

#include "core/app_paths.h"

namespace mv {
namespace {

TEST(AppPaths, StartUpPathsAndTheRunCommand) {
  EXPECT_EQ(HelpFilePathFor("C:\\Tools\\app.exe"), "C:\\Tools\\help.chm");
  EXPECT_EQ(HelpFilePathFor("\\\\PC\\Apps\\Mirrorvault.exe"), "\\\\PC\\Apps\\help.chm");
  EXPECT_EQ(HelpFilePathFor("app.exe"), "help.chm");
  EXPECT_EQ(HelpFilePathFor("\\app.exe"), "help.chm");  // a backslash in first place does not count
  EXPECT_EQ(AppFolderIn("C:\\Users\\ann\\Documents"), "C:\\Users\\ann\\Documents\\Mirrorvault");
  EXPECT_EQ(ConfigFilePathIn(""), "\\Mirrorvault\\config.ini");  // no documents folder
  // Quoted, so that a path with blanks starts this program and not "C:\Program".
  EXPECT_EQ(AutorunCommandFor("C:\\Program Files\\Mirrorvault\\Mirrorvault.exe"),
            "\"C:\\Program Files\\Mirrorvault\\Mirrorvault.exe\"");
}

}  // namespace
}  // namespace mv
