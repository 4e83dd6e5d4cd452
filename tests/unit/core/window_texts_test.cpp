// Texts the main window shows or opens: the detail part and the start-up paths.
#include <gtest/gtest.h>

#include "core/app_paths.h"
#include "core/row_details.h"

namespace mv {
namespace {

TEST(RowDetails, NamesEachCellThatIsNotEmpty) {
  EXPECT_EQ(RowDetailsText("README", "txt", "1024", "1.15.2010"),
            "README Type: txt Size: 1024 Created: 1.15.2010");
  EXPECT_EQ(RowDetailsText("Sub", "<DIR>", "", "3.2.2009"), "Sub Type: <DIR> Created: 3.2.2009");
  EXPECT_EQ(RowDetailsText("Makefile", "", "77", "6.3.2009"),
            "Makefile Size: 77 Created: 6.3.2009");
  EXPECT_EQ(RowDetailsText("Docs", "<SHARE>", "", ""), "Docs Type: <SHARE>");
  EXPECT_EQ(SnapshotCreatedText("05.12.2026 09:04:05"), "Snapshot Created: 05.12.2026 09:04:05");
  EXPECT_EQ(SnapshotCreatedText(""), "Snapshot Created: ");
}

TEST(AppPaths, HelpFileBesideTheExecutable) {
  EXPECT_EQ(HelpFilePathFor("C:\\Tools\\app.exe"), "C:\\Tools\\help.chm");
  EXPECT_EQ(HelpFilePathFor("\\\\PC\\Apps\\Mirrorvault.exe"), "\\\\PC\\Apps\\help.chm");
  EXPECT_EQ(HelpFilePathFor("app.exe"), "help.chm");
  EXPECT_EQ(HelpFilePathFor("\\app.exe"), "help.chm");  // a backslash in first place does not count
  EXPECT_EQ(AppFolderIn("C:\\Users\\ann\\Documents"), "C:\\Users\\ann\\Documents\\Mirrorvault");
}

}  // namespace
}  // namespace mv
