// mirrorvault-cli find, diff and export over snapshot files on disk: which entries are hit
// and in what order, what changed between two captures, and the bytes of the three exports.
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

using test::HeaderText;
using test::RunCommand;
using test::SnapshotText;

// The first TAB-separated cell of every output line.
std::vector<std::string> FirstCells(const std::string& text) {
  std::vector<std::string> cells;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    cells.push_back(line.substr(0, line.find('\t')));
  return cells;
}

TEST(FindCommand, MatchesNamesAndListsHitsInLibraryOrder) {
  test::ScratchDir dir;
  const std::pair<const char*, std::string> files[] = {
      {"WG.PC1.03.12.2026.10.00.00.mirvaul",
       HeaderText("PC1") + SnapshotText({"SHARENAME: Docs", "note.txt;;f;;3;;1.2.2020",
                                         "README.TXT;;f;;4;;1.3.2020", "Sub;;d;;0;;1.5.2020",
                                         "Sub\\deep.txt;;f;;6;;1.6.2020", "END"})},
      {"WG.PC1.02.12.2026.10.00.00.mirvaul",
       HeaderText("PC1") + SnapshotText({"SHARENAME: Docs", "old.txt;;f;;7;;2.1.2019",
                                         "note.txt;;f;;3;;1.2.2020", "END"})},
      {"WG.PC1.01.12.2026.10.00.00.mirvaul",
       HeaderText("PC1") + SnapshotText({"SHARENAME: Docs", "older.txt;;f;;8;;2.1.2018", "END"})},
      {"WG.PC2.01.12.2026.09.00.00.mirvaul",
       HeaderText("PC2") + SnapshotText({"SHARENAME: Music", "song.mp3;;f;;9;;3.1.2017", "END"})},
      // The newest capture of all, and corrupted: named and passed over.
      {"WG.PC3.04.12.2026.09.00.00.mirvaul", "Mirrorvault file\r\nVERSION: 1.0\r\n"}};
  for (const auto& [name, text] : files) test::WriteTextFile(dir.Join(name), text);
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> paths;
  };
  const std::string deep = "\\\\PC1\\Docs\\Sub\\deep.txt", note = "\\\\PC1\\Docs\\note.txt";
  const std::string readme = "\\\\PC1\\Docs\\README.TXT";
  const Case cases[] = {
      {{"*.txt"}, {note, readme, deep, "\\\\PC1\\Docs\\old.txt", note, "\\\\PC1\\Docs\\older.txt"}},
      {{"e.t"}, {note, readme, note}},    // only across the dot of the extension
      {{"sub"}, {"\\\\PC1\\Docs\\Sub"}},  // the directory, not the entries below it
      {{"*.txt", "--latest"}, {note, readme, deep}},
      {{"*", "--dirs"}, {"\\\\PC1\\Docs\\Sub"}},
      {{"*e*", "--files", "--computer", "pc2"}, {}},
      {{"\nnote"}, {}},  // found only across a line end: no name holds it
      {{"*.MP3", "--group", "wg", "--computer", "pc2"}, {"\\\\PC2\\Music\\song.mp3"}},
  };
  for (const Case& c : cases) {
    Args args = {"find", dir.path()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const test::CliRun r = RunCommand(args);
    EXPECT_EQ(r.code, c.paths.empty() ? kExitFailure : kExitOk) << c.args[0];
    EXPECT_EQ(FirstCells(r.out), c.paths) << c.args[0];
    const bool pc3Listed = std::find(args.begin(), args.end(), "--computer") == args.end();
    EXPECT_EQ(r.err.find("WG.PC3.04.12.2026.09.00.00.mirvaul': is corrupted") != std::string::npos,
              pc3Listed)
        << c.args[0] << r.err;
  }
  EXPECT_EQ(RunCommand({"find", dir.path(), "sub"}).out,
            "\\\\PC1\\Docs\\Sub\t<DIR>\t1.5.2020\t03.12.2026 10:00:00\t"
            "WG.PC1.03.12.2026.10.00.00.mirvaul\n");
  EXPECT_EQ(RunCommand({"find", dir.path()}).code, kExitUsage);
  EXPECT_EQ(RunCommand({"find", dir.path(), "x", "--dirs", "--files"}).code, kExitUsage);
}

TEST(DiffCommand, ReportsEntriesSharesAndSummary) {
  test::ScratchDir dir;
  const std::string older = dir.Join("old.mirvaul"), newer = dir.Join("new.mirvaul");
  test::WriteTextFile(
      older, HeaderText("PC1") +
                 SnapshotText({"SHARENAME: Docs", "a.txt;;f;;10;;1.1.2020", "Sub;;d;;0;;1.1.2020",
                               "Sub\\x.txt;;f;;5;;1.1.2020", "big.iso;;f;;5368709120;;1.1.2020",
                               "SHARENAME: Music", "s.mp3;;f;;40;;1.1.2020", "END"}));
  test::WriteTextFile(
      newer,
      HeaderText("pc1") + SnapshotText({"SHARENAME: DOCS", "A.TXT;;f;;10;;1.1.2020",
                                        "Renamed;;d;;0;;1.1.2020", "Renamed\\x.txt;;f;;5;;1.1.2020",
                                        "big.iso;;f;;6442450944;;1.1.2020", "END"}));
  test::CliRun r = RunCommand({"diff", older, newer});
  EXPECT_EQ(r.code, kExitFailure);
  EXPECT_EQ(r.out,
            "~\t\\\\pc1\\DOCS\\big.iso\t5368709120 -> 6442450944\t1.1.2020 -> 1.1.2020\n"
            "+\t\\\\pc1\\DOCS\\Renamed\t<DIR>\t1.1.2020\n"
            "+\t\\\\pc1\\DOCS\\Renamed\\x.txt\t5\t1.1.2020\n"
            "-\t\\\\PC1\\Docs\\Sub\t<DIR>\t1.1.2020\n"
            "-\t\\\\PC1\\Docs\\Sub\\x.txt\t5\t1.1.2020\n"
            "-\t\\\\PC1\\Music\t<SHARE>\n"
            "added 2, removed 3, changed 1, shares added 0, shares removed 1, "
            "bytes added 1073741829, bytes removed 45\n");

  r = RunCommand({"diff", older, older});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.out,
            "added 0, removed 0, changed 0, shares added 0, shares removed 0, bytes added 0, "
            "bytes removed 0\n");

  const std::string other = dir.Join("other.mirvaul");
  test::WriteTextFile(other, HeaderText("PC2") + SnapshotText({"SHARENAME: Music",
                                                               "s.mp3;;f;;40;;1.1.2020", "END"}));
  r = RunCommand({"diff", older, other});
  EXPECT_EQ(FirstCells(r.out).front(),
            "Different computers (PC1, PC2): entries compared by share-relative path");
  EXPECT_EQ(FirstCells(r.out)[1], "-");  // the share Docs, on PC1

  r = RunCommand({"diff", older, dir.Join("missing.mirvaul")});
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_NE(r.err.find("missing.mirvaul' cannot be read: not found"), std::string::npos);
}

TEST(ExportCommand, WritesCsvEfuAndJsonLinesInUtf8) {
  test::ScratchDir dir;
  const std::string snapshot = dir.Join("s.mirvaul");
  test::WriteTextFile(
      snapshot,
      HeaderText("PC7") +
          SnapshotText({"SHARENAME: Docs", "a,b.txt;;f;;10;;3.15.2010",
                        "say \"hi\".txt;;f;;0;;2.29.2012", "x;;y.txt;;f;;7;;12.31.1999",
                        "Sub;;d;;0;;1.1.1601", "Sub\\caf\xE9.txt;;f;;5;;13.1.2020", "END"}));
  test::CliRun r = RunCommand({"export", snapshot});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(r.out,
            "\xEF\xBB\xBFShare,Path,Name,Kind,Size,Created\r\n"
            "Docs,,\"a,b.txt\",file,10,2010-03-15\r\n"
            "Docs,,\"say \"\"hi\"\".txt\",file,0,2012-02-29\r\n"
            "Docs,,x;;y.txt,file,7,1999-12-31\r\n"
            "Docs,,Sub,directory,0,1601-01-01\r\n"
            "Docs,Sub,caf\xC3\xA9.txt,file,5,\r\n");  // month 13 names no day

  r = RunCommand({"export", snapshot, "--format", "efu"});
  EXPECT_EQ(r.out.substr(0, r.out.find("\r\n", 60) + 2),
            "Filename,Size,Date Modified,Date Created,Attributes\r\n"
            "\"\\\\PC7\\Docs\\a,b.txt\",10,,129130848000000000,0\r\n");
  EXPECT_NE(r.out.find("\r\n\\\\PC7\\Docs\\Sub,0,,0,16\r\n"), std::string::npos);

  const std::string file = dir.Join("out.json");
  r = RunCommand({"export", snapshot, "--format", "json", "-o", file, "--codepage", "1251"});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(r.out, "");
  const std::string json = test::ReadTextFile(file);
  EXPECT_NE(json.find("{\"share\":\"Docs\",\"path\":\"\",\"name\":\"say \\\"hi\\\".txt\","
                      "\"kind\":\"file\",\"size\":0,\"created\":\"2012-02-29\"}\n"),
            std::string::npos);
  EXPECT_NE(json.find("\"path\":\"Sub\",\"name\":\"caf\xD0\xB9.txt\",\"kind\":\"file\",\"size\":5,"
                      "\"created\":null}\n"),  // 0xE9 is the Cyrillic short i in code page 1251
            std::string::npos);

  EXPECT_EQ(RunCommand({"export", snapshot, "--format", "xml"}).code, kExitUsage);
  EXPECT_EQ(RunCommand({"export", snapshot, "--codepage", "77777"}).code, kExitUsage);
  EXPECT_EQ(RunCommand({"export", dir.Join("missing.mirvaul")}).code, kExitUsage);
}

}  // namespace
}  // namespace mv::cli
