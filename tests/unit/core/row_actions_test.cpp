// Row actions over a loaded snapshot: the shell requests (verb and path, in order) and the
// steps each command takes, the Enter key's variants, typed locations and Copy Path.
#include <gtest/gtest.h>

#include <functional>

#include "browser_fixture.h"
#include "core/row_actions.h"
#include "res/resource_ids.h"

namespace mv::test {
namespace {

class RecordingShell final : public ShellPort {
 public:
  void Open(const std::string& target) override { requests.push_back("open " + target); }
  void Explore(const std::string& folder) override { requests.push_back("explore " + folder); }
  void ShowProperties(const std::string& path) override {
    requests.push_back("properties " + path);
  }
  std::vector<std::string> requests;
};

const std::string kLongName(400, 'n');

class RowActionsTest : public BrowserTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Open(HeaderText("PC1") + SnapshotText({
                                             "SHARENAME: docs",
                                             "letters;;d;;0;;1.1.2010",
                                             "pics;;d;;0;;1.1.2010",
                                             "tmp;;d;;0;;1.1.2010",
                                             "a.txt;;f;;1;;1.1.2010",
                                             "b.txt;;f;;1;;1.1.2010",
                                             "Makefile;;f;;1;;1.1.2010",
                                             kLongName + ".txt;;f;;1;;1.1.2010",
                                             "letters\\note.txt;;f;;1;;1.1.2010",
                                             "letters\\old;;d;;0;;1.1.2010",
                                             "letters\\old\\x.txt;;f;;1;;1.1.2010",
                                             "pics\\p.jpg;;f;;1;;1.1.2010",
                                             "tmp\\t.txt;;f;;1;;1.1.2010",
                                             "SHARENAME: music",
                                             "END",
                                         })));
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
  using Action = std::function<void(RowActions&)>;
  const Action activate = [](RowActions& a) { a.ActivateRow(); };
  const Action open = [](RowActions& a) { a.OpenRows(); };
  const Action explore = [](RowActions& a) { a.ExploreRows(); };
  const Action properties = [](RowActions& a) { a.ShowRowProperties(); };
  struct Case {
    const char* what;
    std::vector<std::string> picked;  // the first one is focused
    Action action;
    std::vector<std::string> requests;
    std::string navigation;  // afterwards
  };
  const std::string folder = "\\\\PC1\\docs\\";
  const Case cases[] = {
      {"double click on ..", {".."}, activate, {}, ""},
      {"double click below the rows: the focused row",
       {"letters"},
       activate,
       {},
       "docs\\letters\\"},
      {"double click on a file", {"a"}, activate, {"open " + folder + "a.txt"}, "docs\\"},
      {"double click with no row", {}, activate, {}, "docs\\"},
      {"open two files",
       {"a", "b"},
       open,
       {"open " + folder + "a.txt", "open " + folder + "b.txt"},
       "docs\\"},
      {"open a directory first", {"pics", "a"}, open, {}, "docs\\pics\\"},
      {"open nothing selected", {}, open, {"open " + folder}, "docs\\"},
      {"explore three directories",
       {"letters", "pics", "tmp"},
       explore,
       {"explore " + folder + "letters", "explore " + folder + "pics", "explore " + folder + "tmp"},
       "docs\\"},
      {"explore a file: its folder", {"a"}, explore, {"explore " + folder}, "docs\\"},
      {"explore nothing: open", {}, explore, {"open " + folder}, "docs\\"},
      {"properties of nothing: the folder", {}, properties, {"properties " + folder}, "docs\\"},
      {"properties without extension",
       {"Makefile", "a"},
       properties,
       {"properties " + folder + "Makefile."},
       "docs\\"},
      {"a name past every old limit stays whole",
       {kLongName},
       open,
       {"open " + folder + kLongName + ".txt"},
       "docs\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    browser.OpenLocation("");
    browser.OpenLocation("docs");
    Pick(c.picked);
    shell.requests.clear();
    c.action(actions);
    EXPECT_EQ(shell.requests, c.requests);
    EXPECT_EQ(browser.navigationPath(), c.navigation);
  }
}

TEST_F(RowActionsTest, OpenTakesFilesBeforeADirectoryAndEntersThatDirectory) {
  // Directories sort first; put a file ahead of one, focus resting on the file.
  list.ApplyRowOrder({0, 4, 5, 1, 2, 3, 6, 7});
  ASSERT_EQ(Names()[1], "a");
  Pick({"a", "letters"});
  actions.OpenRows();
  EXPECT_EQ(shell.requests, (std::vector<std::string>{"open \\\\PC1\\docs\\a.txt"}));
  EXPECT_EQ(browser.navigationPath(), "docs\\letters\\");
}

TEST_F(RowActionsTest, EnterKeyVariants) {
  EXPECT_EQ(EnterKeyCommand(false, false), IDM_OPEN);
  EXPECT_EQ(EnterKeyCommand(true, false), IDM_EXPLORE);
  EXPECT_EQ(EnterKeyCommand(false, true), IDM_FILE_PROPERTIES);
  EXPECT_EQ(EnterKeyCommand(true, true), 0);
}

TEST_F(RowActionsTest, TypedLocations) {
  struct Case {
    std::string typed;
    std::string navigation;  // afterwards
    NameList names;          // afterwards; empty: as before
    bool reported;
  };
  const std::string unknown = "\\\\PC1\\docs\\" + std::string(600, 'x');
  const Case cases[] = {
      {"\\\\pc1\\DOCS\\letters", "DOCS\\letters\\", {"..", "old", "note"}, false},
      {"\\\\PC1\\\\docs\\\\\\letters\\", "docs\\letters\\", {"..", "old", "note"}, false},
      {"\\\\PC1\\", "", {"docs", "music"}, false},
      {"\\\\PC1", "docs\\", {}, false},
      {"\\\\PC2\\docs", "docs\\", {}, true},
      {"\\\\PC1\\docs\\a.txt", "docs\\", {}, true},
      {unknown, "docs\\", {}, true},
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
    EXPECT_EQ(notices.messages,
              c.reported ? std::vector<std::string>{"Could not locate '" + c.typed + "' path."}
                         : std::vector<std::string>{});
  }
  // The typed path is a navigation path like any other: going down from it works.
  actions.EnterLocation("\\\\pc1\\DOCS\\letters");
  browser.OpenLocation("old");
  EXPECT_EQ(Names(), (NameList{"..", "x"}));
  EXPECT_EQ(controls.location(), "\\\\PC1\\DOCS\\letters\\old\\");
}

TEST_F(RowActionsTest, CopyPathGivesEverySelectedRowOrTheFolder) {
  Pick({"letters", "a"});
  EXPECT_EQ(actions.CopyPathText(), "\\\\PC1\\docs\\letters\r\n\\\\PC1\\docs\\a.txt");
  Pick({});
  EXPECT_EQ(actions.CopyPathText(), "\\\\PC1\\docs\\");
  browser.OpenLocation("..");
  Pick({"music"});
  EXPECT_EQ(actions.CopyPathText(), "\\\\PC1\\music");
}

}  // namespace
}  // namespace mv::test
