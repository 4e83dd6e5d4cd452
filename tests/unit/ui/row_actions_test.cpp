// Row actions over a loaded snapshot: the shell requests (verb and path, in order) and the
// steps each command takes, the Enter key's variants, typed locations and Copy Path.
#include <gtest/gtest.h>

#include <functional>

#include "browser_fixture.h"
#include "res/resource_ids.h"
#include "ui/row_actions.h"

namespace mv::test {
namespace {

// Every request on a line of its own: "open \\PC1\docs\a.txt".
class RecordingShell final : public ShellPort {
 public:
  void Open(const std::string& target) override { log += "open " + target + "\n"; }
  void Explore(const std::string& folder) override { log += "explore " + folder + "\n"; }
  void ShowProperties(const std::string& path) override { log += "properties " + path + "\n"; }
  std::string log;
};

const std::string kLongName(400, 'n');
const std::string kDocs = "\\\\PC1\\docs\\";

class RowActionsTest : public BrowserTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        Open(HeaderText("PC1") +
             SnapshotText({"SHARENAME: docs", "letters;;d;;0;;1.1.2010", "pics;;d;;0;;1.1.2010",
                           "tmp;;d;;0;;1.1.2010", "a.txt;;f;;1;;1.1.2010", "b.txt;;f;;1;;1.1.2010",
                           "Makefile;;f;;1;;1.1.2010", kLongName + ".txt;;f;;1;;1.1.2010",
                           "letters\\note.txt;;f;;1;;1.1.2010", "letters\\old;;d;;0;;1.1.2010",
                           "letters\\old\\x.txt;;f;;1;;1.1.2010", "pics\\p.jpg;;f;;1;;1.1.2010",
                           "tmp\\t.txt;;f;;1;;1.1.2010", "SHARENAME: music", "END"})));
    browser.OpenLocation("docs");
  }
  // Selects the rows named, focusing the first of them (none: nothing selected or focused).
  void Pick(const std::vector<std::string>& names) {
    list.SelectOnly(-1);
    for (std::size_t i = 0; i < names.size(); ++i) {
      list.SetState(RowOf(names[i]), kRowSelected | (i == 0 ? kRowFocused : 0u));
    }
  }

  RecordingShell shell;
  RowActions actions{browser, list, shell, notices};
};

TEST_F(RowActionsTest, CommandsSendVerbsAndPathsInOrderAndStepWhereTheyShould) {
  const std::function<void(RowActions&)> activate = &RowActions::ActivateRow,
                                         open = &RowActions::OpenRows,
                                         explore = &RowActions::ExploreRows,
                                         properties = &RowActions::ShowRowProperties;
  struct Case {
    std::vector<std::string> picked;  // the first one is focused
    std::function<void(RowActions&)> action;
    std::string requests;
    std::string navigation;  // afterwards
  };
  const Case cases[] = {
      {{".."}, activate, "", ""},
      {{"letters"}, activate, "", "docs\\letters\\"},  // also a click below the last row
      {{"a"}, activate, "open " + kDocs + "a.txt\n", "docs\\"},
      {{}, activate, "", "docs\\"},
      {{"a", "b"}, open, "open " + kDocs + "a.txt\nopen " + kDocs + "b.txt\n", "docs\\"},
      {{"pics", "a"}, open, "", "docs\\pics\\"},
      {{}, open, "open " + kDocs + "\n", "docs\\"},
      {{"letters", "pics", "tmp"},
       explore,
       "explore " + kDocs + "letters\nexplore " + kDocs + "pics\nexplore " + kDocs + "tmp\n",
       "docs\\"},
      {{"a"}, explore, "explore " + kDocs + "\n", "docs\\"},
      {{}, explore, "open " + kDocs + "\n", "docs\\"},
      {{}, properties, "properties " + kDocs + "\n", "docs\\"},
      {{"Makefile", "a"}, properties, "properties " + kDocs + "Makefile.\n", "docs\\"},
      {{kLongName}, open, "open " + kDocs + kLongName + ".txt\n", "docs\\"},  // kept whole
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.picked) + " " + c.requests);
    browser.OpenLocation("");
    browser.OpenLocation("docs");
    Pick(c.picked);
    shell.log.clear();
    c.action(actions);
    EXPECT_EQ(shell.log, c.requests);
    EXPECT_EQ(browser.navigationPath(), c.navigation);
  }
  EXPECT_EQ(EnterKeyCommand(false, false), IDM_OPEN);
  EXPECT_EQ(EnterKeyCommand(true, false), IDM_EXPLORE);
  EXPECT_EQ(EnterKeyCommand(false, true), IDM_FILE_PROPERTIES);
  EXPECT_EQ(EnterKeyCommand(true, true), 0);  // Ctrl+Alt+Enter does nothing
}

TEST_F(RowActionsTest, OpenTakesFilesBeforeADirectoryAndEntersThatDirectory) {
  // Directories sort first; put a file ahead of one, the focus resting on the file.
  list.ApplyRowOrder({0, 4, 5, 1, 2, 3, 6, 7});
  Pick({"a", "letters"});
  actions.OpenRows();
  EXPECT_EQ(shell.log, "open " + kDocs + "a.txt\n");
  EXPECT_EQ(browser.navigationPath(), "docs\\letters\\");
}

TEST_F(RowActionsTest, TypedLocationsAndCopyPath) {
  struct Case {
    std::string typed;
    std::string navigation;  // afterwards
    NameList names;          // afterwards; empty: as before
  };
  const std::string unknown = kDocs + std::string(600, 'x');
  const Case cases[] = {
      {"\\\\pc1\\DOCS\\letters", "DOCS\\letters\\", {"..", "old", "note"}},
      {"\\\\PC1\\\\docs\\\\\\letters\\", "docs\\letters\\", {"..", "old", "note"}},
      {"\\\\PC1\\", "", {"docs", "music"}},
      {"\\\\PC1", "docs\\", {}},  // nothing happens
      {"\\\\PC2\\docs", "docs\\", {}},
      {kDocs + "a.txt", "docs\\", {}},
      {unknown, "docs\\", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.substr(0, 40));
    browser.OpenLocation("");
    browser.OpenLocation("docs");
    const NameList before = Names();
    notices.messages.clear();
    controls.SetLocationText(c.typed);
    actions.EnterLocation(c.typed);
    EXPECT_EQ(browser.navigationPath(), c.navigation);
    EXPECT_EQ(Names(), c.names.empty() ? before : c.names);
    EXPECT_EQ(controls.location(), c.typed);  // kept as typed
    const bool reported = c.names.empty() && c.typed != "\\\\PC1";
    EXPECT_EQ(notices.messages,
              reported ? NameList{"Could not locate '" + c.typed + "' path."} : NameList{});
  }
  // The typed path is a navigation path like any other: going down from it works.
  actions.EnterLocation("\\\\pc1\\DOCS\\letters");
  browser.OpenLocation("old");
  EXPECT_EQ(controls.location(), "\\\\PC1\\DOCS\\letters\\old\\");

  Pick({"..", "x"});
  EXPECT_EQ(actions.CopyPathText(),
            "\\\\PC1\\DOCS\\letters\\old\\..\r\n\\\\PC1\\DOCS\\letters\\old\\x.txt");
  Pick({});
  EXPECT_EQ(actions.CopyPathText(), "\\\\PC1\\DOCS\\letters\\old\\");
}

}  // namespace
}  // namespace mv::test
