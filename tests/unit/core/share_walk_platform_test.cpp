// The writer over the platform's own file system and UNC paths (natively below a scratch UNC
// root, under Wine through dosdevices\unc): long trees, dot names, lost shares.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "capture/activity_state.h"
#include "core/snapshot_name.h"
#include "core/snapshot_writer.h"
#include "scratch_computer.h"
#include "snapshot_texts.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <filesystem>
#endif

namespace mv {
namespace {

#ifdef _WIN32
// Plain Windows paths cannot remove "..." or a tree past 259 characters: their
// extended-length UNC paths reach them.
void RemoveMadeTree(const std::vector<std::string>& files,
                    const std::vector<std::string>& directoriesDeepestFirst) {
  auto extended = [](const std::string& unc) {  // the names here are plain ASCII
    const std::string path = "\\\\?\\UNC\\" + unc.substr(2);
    return std::wstring(path.begin(), path.end());
  };
  for (const std::string& file : files) DeleteFileW(extended(file).c_str());
  for (const std::string& dir : directoriesDeepestFirst) RemoveDirectoryW(extended(dir).c_str());
}
#else
void RemoveMadeTree(const std::vector<std::string>&, const std::vector<std::string>&) {}
#endif

class ShareWalkPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::ScratchComputer::Available()) GTEST_SKIP() << "no way to make up UNC shares here";
    SetActivityState(kCapturing);
  }
  void TearDown() override { SetActivityState(kIdle); }

  std::vector<std::string> Capture(const std::string& shares) {
    const std::string path = snaps.Join("G.PC.01.01.2026.00.00.00.mirvaul");
    EXPECT_EQ(WriteSnapshot("G", pc.name(), path, SplitShareList(shares), &report), 1);
    EXPECT_TRUE(report.complete);
    return test::SnapshotEntries(test::ReadTextFile(path));
  }

  test::ScratchComputer pc;
  test::ScratchDir snaps;
  WriteReport report;
};

// The tree is made through the backend, which reaches "..." and long paths on Windows too.
TEST_F(ShareWalkPlatformTest, DeepTreesDotNamesAndUnreachableSharesAreWalked) {
  pc.AddShare("Deep");
  FileSystem& files = PlatformFileSystem();
  const std::string share = "\\\\" + pc.name() + "\\Deep";
  auto makeFile = [&](const std::string& path) {
    IoError error = IoError::kOther;
    auto file = files.Create(path, error);
    ASSERT_NE(file, nullptr) << path;
    ASSERT_EQ(file->Write("x", 1), IoError::kNone);
    ASSERT_EQ(file->Close(), IoError::kNone);
  };
  std::string deep = share;
  std::string relative;
  std::vector<std::string> made = {share + "\\..."};
  for (int i = 0; i < 7; ++i) {
    const std::string part(45, static_cast<char>('a' + i));
    deep += "\\" + part;
    relative += (i > 0 ? "\\" : "") + part;
    ASSERT_EQ(files.MakeDirectory(deep), IoError::kNone) << deep.size();
    made.insert(made.begin(), deep);
  }
  ASSERT_GT(deep.size(), 300u);
  makeFile(deep + "\\deep.txt");
  ASSERT_EQ(files.MakeDirectory(share + "\\..."), IoError::kNone);
  makeFile(share + "\\...\\in.txt");

  const std::vector<std::string> lines = Capture("Gone;Deep");
  ASSERT_EQ(lines.size(), 12u);  // two shares, dots and their file, seven levels, a file
  EXPECT_EQ(lines[0], "SHARENAME: Gone");
  EXPECT_EQ(lines[1], "SHARENAME: Deep");
  for (const std::string& line :
       {std::string("Deep\\...;;d;;0"), std::string("Deep\\...\\in.txt;;f;;1"),
        "Deep\\" + relative + "\\deep.txt;;f;;1"}) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
  }
  EXPECT_EQ(report.unlistedDirectories, 1);
  RemoveMadeTree({deep + "\\deep.txt", share + "\\...\\in.txt"}, made);
}

// Names in any script are listed whole by the backend (made through it, so in UTF-8 on both)
// and make the snapshot UTF-8, carried over through the backend's own files. A Linux name
// that is no UTF-8 is written with '?' for its stray byte and counted, and such a folder is
// walked all the same.
TEST_F(ShareWalkPlatformTest, NamesInAnyScriptReachTheSnapshotWhole) {
  pc.AddShare("Intl");
  FileSystem& files = PlatformFileSystem();
  const std::string share = "\\\\" + pc.name() + "\\Intl";
  const std::vector<std::string> names = {"caf\u00e9.txt", "\u65e5\u672c.txt",
                                          "report \U0001F680.pdf",
                                          "\u041f\u0440\u0438\u0432\u0435\u0442.docx"};
  for (const std::string& name : names) {
    IoError error = IoError::kOther;
    ASSERT_NE(files.Create(share + "\\" + name, error), nullptr) << name;
  }
  std::vector<std::string> expected = {"SHARENAME: Intl"};
  for (const std::string& name : names) expected.push_back("Intl\\" + name + ";;f;;0");
#ifndef _WIN32
  test::WriteTextFile(pc.Join("Intl", "latin\xE9.txt"), "");
  std::filesystem::create_directories(pc.Join("Intl", "dir\xE9/sub"));
  test::WriteTextFile(pc.Join("Intl", "dir\xE9/sub/in.txt"), "");
  for (const char* line :
       {"latin?.txt;;f;;0", "dir?;;d;;0", "dir?\\sub;;d;;0", "dir?\\sub\\in.txt;;f;;0"}) {
    expected.push_back(std::string("Intl\\") + line);
  }
#endif
  std::vector<std::string> lines = Capture("Intl");
  std::sort(lines.begin() + 1, lines.end());
  std::sort(expected.begin() + 1, expected.end());
  EXPECT_EQ(lines, expected);
  const std::string text = test::ReadTextFile(snaps.Join("G.PC.01.01.2026.00.00.00.mirvaul"));
  const std::size_t date = text.find("\r\nDATE CREATED: ");
  EXPECT_EQ(text.find("\r\n", date + 2),
            text.find("\r\nENCODING: UTF-8\r\n\r\nSHARENAME: Intl\r\n"));
#ifndef _WIN32
  EXPECT_EQ(report.namesAltered, 2);  // the folder is walked by its altered name
#endif
  EXPECT_EQ(report.unlistedDirectories, 0);
}

#ifndef _WIN32
// Names that alter alike, folders and files, each get a name of their own in the folder (none
// that the folder holds as it is), and each folder is walked as itself.
TEST_F(ShareWalkPlatformTest, NamesAlteredAlikeStayApart) {
  pc.AddShare("S");
  for (const char* file : {"dir\xFE/inner.txt", "dir\xFD/other.txt", "dir?/real.txt"}) {
    std::filesystem::create_directories(
        pc.Join("S", file).substr(0, pc.Join("S", file).rfind('/')));
    test::WriteTextFile(pc.Join("S", file), "");
  }
  test::WriteTextFile(pc.Join("S", "a\xFE.txt"), "");
  test::WriteTextFile(pc.Join("S", "a\xFD.txt"), "");
  std::vector<std::string> lines = Capture("S");
  std::sort(lines.begin(), lines.end());
  const auto folderOf = [&](const std::string& file) {
    for (const std::string& line : lines) {
      const std::size_t at = line.find("\\" + file + ";;");
      if (at != std::string::npos) return line.substr(0, at);
    }
    return std::string();
  };
  EXPECT_EQ(folderOf("real.txt"), "S\\dir?");
  EXPECT_EQ((std::set<std::string>{folderOf("inner.txt"), folderOf("other.txt")}),
            (std::set<std::string>{"S\\dir? (2)", "S\\dir? (3)"}));
  std::set<std::string> top;
  for (const std::string& line : lines) {
    if (line.find('\\', 2) == std::string::npos) top.insert(line);
  }
  EXPECT_EQ(top,
            (std::set<std::string>{"SHARENAME: S", "S\\a? (2).txt;;f;;0", "S\\a?.txt;;f;;0",
                                   "S\\dir? (2);;d;;0", "S\\dir? (3);;d;;0", "S\\dir?;;d;;0"}));
  EXPECT_EQ(lines.size(), 9u);
  EXPECT_EQ(report.namesAltered, 4);
}

// Linux names may hold backslashes: each stays one name, written with '?', walked below the
// share and never above it. A live capture's unfinished file stays, an abandoned one goes,
// and a link planted at the unfinished file's name is never written through.
TEST_F(ShareWalkPlatformTest, BackslashNamesStayInTheShareAndUnfinishedFilesAreRespected) {
  pc.AddShare("S");
  std::filesystem::create_directories(pc.Join("S", "..\\..\\.."));
  test::WriteTextFile(pc.Join("S", "..\\..\\../in.txt"), "i");
  test::WriteTextFile(pc.Join("S", "../outside.txt"), "o");
  const std::string live = snaps.Join("G." + pc.name() + ".01.01.2025.00.00.00.mvpart");
  const std::string dead = snaps.Join("G." + pc.name() + ".02.01.2025.00.00.00-2.mvpart");
  IoError error = IoError::kNone;
  const auto held = PlatformFileSystem().CreateNew(live, error);
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(PlatformFileSystem().CreateNew(live, error), nullptr);
  EXPECT_EQ(error, IoError::kAlreadyExists);
  test::WriteTextFile(dead, "left behind");
  test::WriteTextFile(snaps.Join("victim"), "v");
  std::filesystem::create_symlink(
      snaps.Join("victim"), TemporarySnapshotPath(snaps.Join("G.PC.01.01.2026.00.00.00.mirvaul")));

  EXPECT_EQ(Capture("S"), (std::vector<std::string>{"SHARENAME: S", "S\\..?..?..;;d;;0",
                                                    "S\\..?..?..\\in.txt;;f;;1"}));
  EXPECT_EQ(report.namesAltered, 1);
  EXPECT_TRUE(test::FileExists(live));
  EXPECT_FALSE(test::FileExists(dead));
  EXPECT_EQ(test::ReadTextFile(snaps.Join("victim")), "v");
  held->Close();
}
#endif

}  // namespace
}  // namespace mv
