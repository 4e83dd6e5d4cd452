// The writer over the platform's own file system and UNC paths (natively below a scratch
// UNC root, under Wine through dosdevices\unc): sizes beyond 4 GiB, dot names, hidden
// entries, unreachable shares and directory link loops.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <vector>

#include "capture/activity_state.h"
#include "core/snapshot_writer.h"
#include "scratch_computer.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace mv {
namespace {
namespace fs = std::filesystem;
using test::ScratchComputer;
using test::ScratchDir;

#ifdef _WIN32
void MarkHiddenAndSystem(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
}
// Plain Windows paths drop the dots that end a component, so std::filesystem cannot make
// "..." here (the backend can: DeepTreesAndNamesEndingInDotsAreWalked).
constexpr char kDots[] = "..x";
// Nor remove it, or a tree past 259 characters: their extended-length UNC paths reach them.
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
void MarkHiddenAndSystem(const std::string&) {}  // a leading dot is what hides a file here
constexpr char kDots[] = "...";
void RemoveMadeTree(const std::vector<std::string>&, const std::vector<std::string>&) {}
#endif

// The lines after the header, each with its date field checked and cut off.
std::vector<std::string> BodyLines(const std::string& bytes) {
  std::vector<std::string> lines;
  const std::regex dated("(.*;;[fd];;[0-9]+);;([1-9][0-9]?)\\.([1-9][0-9]?)\\.([0-9]{4})");
  std::size_t from = bytes.find("\r\n\r\n");
  EXPECT_NE(from, std::string::npos);
  from += 4;
  while (from < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", from);
    EXPECT_NE(end, std::string::npos) << "last line without CR LF";
    if (end == std::string::npos) break;
    std::string line = bytes.substr(from, end - from);
    std::smatch match;
    if (std::regex_match(line, match, dated)) line = match[1];
    lines.push_back(line);
    from = end + 2;
  }
  return lines;
}

class ShareWalkPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ScratchComputer::Available()) GTEST_SKIP() << "no way to make up UNC shares here";
    SetActivityState(kCapturing);
  }
  void TearDown() override { SetActivityState(kIdle); }

  std::vector<std::string> Capture(const std::string& shares) {
    const std::string path = snaps.Join("G.PC.01.01.2026.00.00.00.mirvaul");
    EXPECT_EQ(WriteSnapshot("G", pc.name(), path, shares, &report), 1);
    EXPECT_TRUE(report.complete);
    return BodyLines(test::ReadTextFile(path));
  }

  ScratchComputer pc;
  ScratchDir snaps;
  WriteReport report;
};

TEST_F(ShareWalkPlatformTest, DirectoryThenItsContentHugeSparseFileAndDotNames) {
  pc.AddShare("Docs");
  const std::string dots = kDots;
  fs::create_directories(pc.Join("Docs", "A/" + dots + "/deeper"));
  { std::ofstream huge(pc.Join("Docs", "A/x"), std::ios::binary); }
  fs::resize_file(pc.Join("Docs", "A/x"), 5368709120ULL);
  test::WriteTextFile(pc.Join("Docs", "A/" + dots + "/.hidden"), "abc");
  MarkHiddenAndSystem(pc.Join("Docs", "A/" + dots + "/.hidden"));
  MarkHiddenAndSystem(pc.Join("Docs", "A/" + dots + "/deeper"));

  std::vector<std::string> lines = Capture("Docs");
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "SHARENAME: Docs");
  EXPECT_EQ(lines[1], "A;;d;;0");
  // A's block, in whatever order the directory yields it, then the block of the dots.
  std::sort(lines.begin() + 2, lines.begin() + 4);
  EXPECT_EQ(lines[2], "A\\" + dots + ";;d;;0");
  EXPECT_EQ(lines[3], "A\\x;;f;;5368709120");
  std::sort(lines.begin() + 4, lines.begin() + 6);
  EXPECT_EQ(lines[4], "A\\" + dots + "\\.hidden;;f;;3");
  EXPECT_EQ(lines[5], "A\\" + dots + "\\deeper;;d;;0");
  EXPECT_EQ(lines[6], "END");
  EXPECT_EQ(report.unlistedDirectories, 0);
}

// A tree past 259 characters and a directory "..." are walked whole; the snapshot keeps
// plain relative paths. The tree is made through the backend, which reaches it on Windows.
TEST_F(ShareWalkPlatformTest, DeepTreesAndNamesEndingInDotsAreWalked) {
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

  const std::vector<std::string> lines = Capture("Deep");
  EXPECT_EQ(lines.size(), 12u);  // share, dots and their file, seven levels, deep file, END
  for (const std::string& line : {std::string("...;;d;;0"), std::string("...\\in.txt;;f;;1"),
                                  relative + "\\deep.txt;;f;;1"}) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
  }
  EXPECT_EQ(report.unlistedDirectories, 0);
  RemoveMadeTree({deep + "\\deep.txt", share + "\\...\\in.txt"}, made);
}

TEST_F(ShareWalkPlatformTest, UnreachableShareKeepsItsHeaderAndTheNextFollows) {
  pc.AddShare("Music");
  test::WriteTextFile(pc.Join("Music", "m.mp3"), "12345");
  const std::vector<std::string> lines = Capture("Gone;Music");
  EXPECT_EQ(lines, (std::vector<std::string>{"SHARENAME: Gone", "SHARENAME: Music", "m.mp3;;f;;5",
                                             "END"}));
  EXPECT_EQ(report.unlistedDirectories, 1);
}

TEST_F(ShareWalkPlatformTest, LinkLoopIsWrittenOnceAndTheWalkEnds) {
  pc.AddShare("S");
  fs::create_directories(pc.Join("S", "A/B"));
  fs::create_directories(pc.Join("S", "Other"));
  test::WriteTextFile(pc.Join("S", "Other/o"), "1");
  std::error_code ec;
  fs::create_directory_symlink(pc.Join("S", "A"), pc.Join("S", "A/B/up"), ec);
  if (ec) GTEST_SKIP() << "directory links cannot be made here: " << ec.message();
  fs::create_directory_symlink(pc.Join("S", "Other"), pc.Join("S", "A/B/side"), ec);
  ASSERT_FALSE(ec);

  std::vector<std::string> lines = Capture("S");
  std::vector<std::string> expected = {"SHARENAME: S",        "A;;d;;0",        "Other;;d;;0",
                                       "A\\B;;d;;0",          "A\\B\\up;;d;;0", "A\\B\\side;;d;;0",
                                       "A\\B\\side\\o;;f;;1", "Other\\o;;f;;1", "END"};
  std::sort(lines.begin(), lines.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace mv
