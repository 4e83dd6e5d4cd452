// mirrorvault-cli index and find over it: the hits of reading, each entry's history, and what
// the newest capture lacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "snapshot_texts.h"
#include "test_support.h"

namespace mv::cli {
namespace {

using test::RunCommand;

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST(IndexCommand, FindAnswersFromTheIndexWithHistoriesAndGoneEntries) {
  test::ScratchDir dir;
  const char* const days[] = {"01", "02", "03"};
  const std::vector<std::string> lines[] = {
      {"note.txt;;f;;3;;1.2.2020", "old.txt;;f;;1;;1.1.2019"},
      {"note.txt;;f;;3;;1.2.2020", "old.txt;;f;;1;;1.1.2019"},
      {"note.txt;;f;;3;;1.2.2020", "new.txt;;f;;2;;1.3.2020"}};
  for (int i = 0; i < 3; ++i) {
    std::string text = test::HeaderText("PC1") + "SHARENAME: Docs\r\n";
    for (const std::string& line : lines[i]) text += line + "\r\n";
    test::WriteTextFile(dir.Join(std::string("WG.PC1.") + days[i] + ".12.2026.10.00.00.mirvaul"),
                        text + "END\r\n");
  }
  const std::string read = RunCommand({"find", dir.path(), "*.txt", "--no-index"}).out;
  const test::CliRun index = RunCommand({"index", dir.path()});
  EXPECT_EQ(index.code, kExitOk) << index.err;
  EXPECT_EQ(index.out.substr(0, index.out.find("\t3 entries")),
            "wg.pc1.mvindex\t3 captures\t+3 -0");
  EXPECT_EQ(SortedLines(RunCommand({"find", dir.path(), "*.txt"}).out), SortedLines(read));
  EXPECT_EQ(RunCommand({"find", dir.path(), "old", "--history"}).out,
            "\\\\PC1\\Docs\\old.txt\t1\t1.1.2019\tpresent 01.12.2026 10:00:00 - 02.12.2026 "
            "10:00:00, 2 captures\n");
  EXPECT_EQ(RunCommand({"find", dir.path(), "*", "--gone"}).out,
            "\\\\PC1\\Docs\\old.txt\t1\t1.1.2019\tlast seen 02.12.2026 10:00:00\tpresent "
            "01.12.2026 10:00:00 - 02.12.2026 10:00:00, 2 captures\n");
  for (const char* other : {"--history", "--latest", "--no-index"}) {
    EXPECT_EQ(RunCommand({"find", dir.path(), "x", "--gone", other}).code, kExitUsage) << other;
  }
}

}  // namespace
}  // namespace mv::cli
