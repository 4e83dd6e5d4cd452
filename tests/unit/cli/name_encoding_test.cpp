// An old snapshot in code page 1252 and a new one in UTF-8 that hold the same names: every
// command that reads snapshots prints, finds, compares and exports them alike, in UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "cli_run.h"
#include "snapshot_texts.h"
#include "test_support.h"

namespace mv::cli {
namespace {

using test::RunCommand;
using test::SnapshotText;

// "résumé.txt" in "Übersicht" of share "Dokumente", spelt in code page 1252 or in UTF-8.
std::string Snapshot(bool utf8) {
  const std::string e = utf8 ? "\xC3\xA9" : "\xE9", u = utf8 ? "\xC3\x9C" : "\xDC";
  std::string header = test::HeaderText("PC7");
  if (utf8) header.insert(header.size() - 2, "ENCODING: UTF-8\r\n");
  return header +
         SnapshotText({"SHARENAME: Dokumente", "r" + e + "sum" + e + ".txt;;f;;10;;3.15.2010",
                       u + "bersicht;;d;;0;;6.1.2009",
                       u + "bersicht\\caf" + e + ".doc;;f;;5;;6.2.2009", "END"});
}

TEST(NameEncodings, OldAnsiAndNewUtf8SnapshotsReadAlike) {
  test::ScratchDir dir;
  const std::string paths[] = {dir.Join("WG.PC7.01.12.2026.10.00.00.mirvaul"),
                               dir.Join("WG.PC7.02.12.2026.10.00.00.mirvaul")};
  test::WriteTextFile(paths[0], Snapshot(false));
  test::WriteTextFile(paths[1], Snapshot(true));
  const std::string resume = "r\xC3\xA9sum\xC3\xA9", over =
                                                         "\xC3\x9C"
                                                         "bersicht";
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    test::CliRun r = RunCommand({"ls", path, "Dokumente\\" + over});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out, "..\t<DIR>\t\t\ncaf\xC3\xA9\tdoc\t5\t6.2.2009\n");
    r = RunCommand({"ls", path, "Dokumente"});
    EXPECT_EQ(r.out, "..\t<DIR>\t\t\n" + over + "\t<DIR>\t\t6.1.2009\n" + resume +
                         "\ttxt\t10\t3.15.2010\n");
    r = RunCommand({"export", path});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out,
              "\xEF\xBB\xBFShare,Path,Name,Kind,Size,Created\r\n"
              "Dokumente,," +
                  resume +
                  ".txt,file,10,2010-03-15\r\n"
                  "Dokumente,," +
                  over +
                  ",directory,0,2009-06-01\r\n"
                  "Dokumente," +
                  over + ",caf\xC3\xA9.doc,file,5,2009-06-02\r\n");
  }
  // A non-ASCII pattern, and "?" for one character whatever its bytes: one hit in each.
  const std::string share = "\\\\PC7\\Dokumente\\";
  const struct {
    const char* pattern;
    const char* kind;
    std::string hit;
  } finds[] = {{"sum\xC3\xA9", "--files", share + resume + ".txt"},
               {"r?sum?.TXT", "--files", share + resume + ".txt"},
               {"\xC3\x9C*", "--dirs", share + over}};
  for (const auto& f : finds) {
    const test::CliRun r = RunCommand({"find", dir.path(), f.pattern, f.kind});
    EXPECT_EQ(r.out.substr(0, r.out.find('\t')), f.hit) << f.pattern;
    EXPECT_EQ(r.out.find(f.hit, r.out.find('\n')), r.out.find('\n') + 1) << f.pattern << r.out;
  }
  // The same names by name, though not by bytes; and not when read in another code page.
  test::CliRun r = RunCommand({"diff", paths[0], paths[1]});
  EXPECT_EQ(r.code, kExitOk) << r.out;
  r = RunCommand({"diff", paths[0], paths[1], "--codepage", "1251"});
  EXPECT_EQ(r.code, kExitFailure);
  EXPECT_NE(r.out.find("added 3, removed 3"), std::string::npos) << r.out;
}

// In a two-byte code page (936: "\u30bd" is A5 BD) a folder opens by the name typed.
TEST(NameEncodings, TwoByteAnsiFoldersOpenByTheirTypedNames) {
  test::ScratchDir dir;
  const std::string path = dir.Join("WG.PC7.01.12.2026.10.00.00.mirvaul");
  test::WriteTextFile(
      path, test::HeaderText() +
                SnapshotText({"SHARENAME: Docs", "\xA5\xBD\\a.txt;;f;;5;;6.2.2009", "END"}));
  EXPECT_EQ(RunCommand({"ls", path, "Docs\\\u30bd", "--codepage", "936"}).out,
            "..\t<DIR>\t\t\na\ttxt\t5\t6.2.2009\n");
}

}  // namespace
}  // namespace mv::cli
