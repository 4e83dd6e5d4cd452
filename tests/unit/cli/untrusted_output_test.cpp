// Output that names from outside cannot turn against the reader: an export never lands on
// the snapshot it reads and is written whole or not at all, CSV meant for spreadsheets
// holds no formula, and control characters reach a terminal only as visible escapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "cli/terminal_text.h"
#include "cli_run.h"
#include "platform/file_system.h"
#include "query/export_file.h"
#include "snapshot_texts.h"
#include "test_support.h"

namespace mv::cli {
namespace {

namespace fs = std::filesystem;
using test::HeaderText;
using test::RunCommand;
using test::SnapshotText;

std::vector<std::string> FolderNames(const test::ScratchDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ExportTarget, NeverTheSnapshotItselfAndNeverHalfWritten) {
  test::ScratchDir dir;
  const std::string snapshot = dir.Join("s.mirvaul");
  const std::string text =
      HeaderText("PC7") + SnapshotText({"SHARENAME: Docs", "a.txt;;f;;10;;3.15.2010", "END"});
  test::WriteTextFile(snapshot, text);
  std::error_code linked;
  fs::create_hard_link(snapshot, dir.Join("hard.mirvaul"), linked);
  std::vector<std::string> sameFile = {snapshot, dir.Join("./s.mirvaul")};
  if (!linked) sameFile.push_back(dir.Join("hard.mirvaul"));
  for (const std::string& target : sameFile) {
    const test::CliRun r = RunCommand({"export", snapshot, "-o", target});
    EXPECT_EQ(r.code, kExitUsage) << target;
    EXPECT_NE(r.err.find("is the snapshot being exported"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadTextFile(snapshot), text);
  }
  const std::vector<std::string> before = FolderNames(dir);

  // A folder that does not exist: no file, and no scrap of one.
  EXPECT_EQ(RunCommand({"export", snapshot, "-o", dir.Join("none/out.csv")}).code, kExitUsage);
  EXPECT_EQ(FolderNames(dir), before);
  // Over an older export: replaced whole, nothing else left beside it.
  test::WriteTextFile(dir.Join("out.csv"), "old");
  ASSERT_EQ(RunCommand({"export", snapshot, "-o", dir.Join("out.csv")}).code, kExitOk);
  EXPECT_EQ(test::ReadTextFile(dir.Join("out.csv")).find("Docs,,a.txt,file,10,2010-03-15"), 38u);
  std::vector<std::string> after = before;
  after.push_back("out.csv");
  std::sort(after.begin(), after.end());
  EXPECT_EQ(FolderNames(dir), after);
  // An export that runs out of memory half-way fails as such and leaves the older one.
  EXPECT_EQ(WriteWholeFile(PlatformFileSystem(), dir.Join("out.csv"),
                           [](ByteSink& sink) -> bool {
                             sink.Write("half");
                             throw std::bad_alloc();
                           }),
            IoError::kNoMemory);
  EXPECT_EQ(FolderNames(dir), after);
  EXPECT_NE(test::ReadTextFile(dir.Join("out.csv")).find("a.txt"), std::string::npos);
}

TEST(ExportCommand, ExcelSafeCsvTurnsNoNameIntoAFormula) {
  test::ScratchDir dir;
  const std::string snapshot = dir.Join("s.mirvaul");
  struct Case {
    const char* name;   // as listed in the snapshot
    const char* plain;  // its CSV field, as today
    const char* safe;   // with --excel-safe
  };
  const Case cases[] = {
      {"=HYPERLINK(\"http://x\",\"y\")", "\"=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"",
       "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
      {"+1", "+1", "'+1"},
      {"-2+3", "-2+3", "'-2+3"},
      {"@SUM(A1)", "@SUM(A1)", "'@SUM(A1)"},
      {"\tcmd", "\tcmd", "'\tcmd"},
      {"a=b", "a=b", "a=b"},
      {"'quoted", "'quoted", "'quoted"},
  };
  std::string body = HeaderText("PC7") + "SHARENAME: =Share\r\n";
  for (const Case& c : cases) body += std::string(c.name) + ";;f;;1;;1.1.2020\r\n";
  test::WriteTextFile(snapshot, body + "END\r\n");

  const test::CliRun plain = RunCommand({"export", snapshot});
  const test::CliRun safe = RunCommand({"export", snapshot, "--excel-safe"});
  ASSERT_EQ(safe.code, kExitOk) << safe.err;
  for (const Case& c : cases) {
    EXPECT_NE(plain.out.find("\n=Share,," + std::string(c.plain) + ",file,1,2020-01-01\r"),
              std::string::npos)
        << c.name;
    EXPECT_NE(safe.out.find("\n'=Share,," + std::string(c.safe) + ",file,1,2020-01-01\r"),
              std::string::npos)
        << c.name;
  }
  EXPECT_EQ(RunCommand({"export", snapshot, "--excel-safe", "--format", "json"}).code, kExitUsage);
}

TEST(TerminalText, ControlCharactersShowAsEscapes) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\x1B]0;owned\x07z", "a\\x1B]0;owned\\x07z"},  // 7-bit OSC
      {"x\r\ny\x7F", "x\\x0D\\x0Ay\\x7F"},             // line ends and DEL
      {"\xC2\x9B[31m", "\\xC2\\x9B[31m"},              // CSI as U+009B in UTF-8
      {"\x9B[31m\x85", kEscapesC1Bytes ? "\\x9B[31m\\x85" : "\x9B[31m\x85"},  // 8-bit CSI, NEL
      {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},               // UTF-8 text stays
      {"caf\xE9 \xA0", "caf\xE9 \xA0"},  // code page text above C1
      {"\\\\PC\\Docs", "\\\\PC\\Docs"},
  };
  for (const auto& [raw, shown] : cases) EXPECT_EQ(VisibleText(raw), shown) << shown;
  SetTerminalOutput(true);
  ShownLines lines;  // an export's pieces, cut inside a line end and inside a character
  std::string shown;
  for (const char* piece : {"a\x1B\r", "\nb\xC2", "\x9B\r"}) lines.Append(shown, piece);
  lines.Finish(shown);
  EXPECT_EQ(shown, "a\\x1B\r\nb\\xC2\\x9B\\x0D");

  test::ScratchDir dir;
  const std::string older = dir.Join("WG.PC7.01.12.2026.10.00.00.mirvaul");
  const std::string newer = dir.Join("WG.PC7.02.12.2026.10.00.00.mirvaul");
  test::WriteTextFile(older, HeaderText("PC7") + SnapshotText({"SHARENAME: Docs", "END"}));
  test::WriteTextFile(
      newer, HeaderText("PC7") +
                 SnapshotText({"SHARENAME: Docs", "e\x1B[2Jvil.txt;;f;;1;;1.1.2020", "END"}));
  for (const bool terminal : {false, true}) {
    SetTerminalOutput(terminal);
    for (const test::CliRun& run :
         {RunCommand({"ls", newer, "Docs"}), RunCommand({"find", dir.path(), "e*"}),
          RunCommand({"diff", older, newer}), RunCommand({"export", newer})}) {
      EXPECT_NE(run.out.find(terminal ? "e\\x1B[2Jvil" : "e\x1B[2Jvil"), std::string::npos)
          << run.out << run.err;
      EXPECT_EQ(run.out.find('\x1B') == std::string::npos, terminal) << run.out;
      EXPECT_EQ(run.out.find("\\x0A"), std::string::npos);  // lines stay lines
    }
  }
  SetTerminalOutput(false);
}

}  // namespace
}  // namespace mv::cli
