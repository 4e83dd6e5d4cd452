// Paths start-up derives for the main window: its folder and the help file.
#include <gtest/gtest.h>

#include "app/app_paths.h"

namespace mv {
namespace {

TEST(AppPaths, HelpFileBesideTheExecutable) {
  EXPECT_EQ(HelpFilePathFor("C:\\Tools\\app.exe"), "C:\\Tools\\help.chm");
  EXPECT_EQ(HelpFilePathFor("\\\\PC\\Apps\\Mirrorvault.exe"), "\\\\PC\\Apps\\help.chm");
  EXPECT_EQ(HelpFilePathFor("app.exe"), "help.chm");
  EXPECT_EQ(HelpFilePathFor("\\app.exe"), "help.chm");  // a backslash in first place does not count
  EXPECT_EQ(AppFolderIn("C:\\Users\\ann\\Documents"), "C:\\Users\\ann\\Documents\\Mirrorvault");
}

}  // namespace
}  // namespace mv
