// The file-system backend of this build (posix natively, Win32 under Wine) against a real
// tree reached through \\COMPUTER\SHARE: both must report the same names, attributes,
// sizes and UTC creation dates, and honour the writer/exclusive-reader rule, mappings too.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string_view>

#include "platform/file_system.h"
#include "scratch_computer.h"
#include "test_support.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kHugeSize = (5ull << 30) + 123;  // above 4 GiB: needs the high word

// Seconds from t (UTC) to now.
double SecondsUntilNow(const UtcDateTime& t) {
  using namespace std::chrono;
  const sys_seconds then = sys_days(year{t.year} / t.month / t.day) + hours(t.hour) +
                           minutes(t.minute) + seconds(t.second);
  return duration<double>(system_clock::now() - then).count();
}

std::map<std::string, DirEntry> ListAll(const std::string& pattern) {
  IoError error = IoError::kOther;
  auto listing = PlatformFileSystem().List(pattern, error);
  EXPECT_EQ(error, IoError::kNone) << pattern;
  std::map<std::string, DirEntry> entries;
  DirEntry entry;
  while (listing && listing->Next(entry)) entries[entry.name] = entry;
  return entries;
}

class FileSystemBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::ScratchComputer::Available()) GTEST_SKIP() << "no way to make up shares here";
    computer_.AddShare("Docs");
    unc_ = "\\\\" + computer_.name() + "\\Docs";
  }
  std::string Native(const std::string& relative) const { return computer_.Join("Docs", relative); }

  test::ScratchComputer computer_;
  std::string unc_;
};

TEST_F(FileSystemBackendTest, ListsATreeThroughItsUncPathAsWindowsDoes) {
  fs::create_directories(Native("Folder/sub dir"));
  fs::create_directories(Native("Folder/empty"));
  test::WriteTextFile(Native("Folder/report.final.v2.txt"), "12345");
  test::WriteTextFile(Native("Folder/name with spaces"), "");
  test::WriteTextFile(Native("Folder/.profile"), "abc");
  {
    // A sparse file: seeking past the end allocates nothing on either side.
    std::ofstream huge(Native("Folder/huge.bin"), std::ios::binary);
    huge.seekp(static_cast<std::streamoff>(kHugeSize - 1));
    huge.put('x');
  }

  const auto entries = ListAll(unc_ + "\\Folder\\*.*");
  ASSERT_EQ(entries.size(), 8u);  // six entries plus "." and ".."
  EXPECT_TRUE(entries.count(".") && entries.count(".."));
  EXPECT_EQ(entries.at(".").attributes & kAttrDirectory, kAttrDirectory);

  const std::map<std::string, std::pair<std::uint32_t, std::uint64_t>> expected = {
      {"sub dir", {kAttrDirectory, 0}},
      {"empty", {kAttrDirectory, 0}},
      {"report.final.v2.txt", {kAttrArchive, 5}},
      {"name with spaces", {kAttrArchive, 0}},
      {".profile", {kAttrArchive | kAttrHidden, 3}},
      {"huge.bin", {kAttrArchive, kHugeSize}},
  };
  for (const auto& [name, attributesAndSize] : expected) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(entries.count(name));
    const DirEntry& entry = entries.at(name);
    EXPECT_EQ(entry.attributes, attributesAndSize.first);
    EXPECT_EQ(entry.size, attributesAndSize.second);
    // Just made, so created "now" in UTC: a local-time slip would be off by hours.
    EXPECT_NEAR(SecondsUntilNow(entry.created), 0.0, 300.0);
  }

  // The last component is a wildcard pattern that ignores case.
  const auto texts = ListAll(unc_ + "\\Folder\\*.TXT");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts.begin()->first, "report.final.v2.txt");

  IoError error = IoError::kNone;
  EXPECT_EQ(PlatformFileSystem().List(unc_ + "\\Missing\\*.*", error), nullptr);
  EXPECT_EQ(error, IoError::kNotFound);
}

// While a file is written, every exclusive reader (whole or in pieces) and a second writer,
// whose truncation would cut the first, are refused; a shared reader is not. Once the
// readers are done the file can be replaced and removed.
TEST_F(FileSystemBackendTest, WriterExcludesExclusiveReaders) {
  FileSystem& files = PlatformFileSystem();
  const std::string path = unc_ + "\\G.PC.mirvaul";
  IoError error = IoError::kOther;
  auto writer = files.Create(path, error);
  ASSERT_EQ(error, IoError::kNone);
  ASSERT_EQ(writer->Write("line one\n", 9), IoError::kNone);
  std::vector<char> contents;
  EXPECT_EQ(files.ReadWholeExclusive(path, 1 << 20, contents), IoError::kSharingViolation);
  EXPECT_EQ(files.OpenExclusive(path, error), nullptr);
  EXPECT_EQ(error, IoError::kSharingViolation);
  EXPECT_EQ(files.Create(path, error), nullptr);
  EXPECT_EQ(error, IoError::kSharingViolation);
  EXPECT_TRUE(std::ifstream(Native("G.PC.mirvaul"), std::ios::binary).is_open());
  ASSERT_EQ(writer->Close(), IoError::kNone);

  ASSERT_EQ(files.ReadWholeExclusive(path, 1 << 20, contents), IoError::kNone);
  EXPECT_EQ(std::string(contents.data()), "line one\n");
  EXPECT_EQ(contents.size(), 10u);  // the text and its NUL
  EXPECT_EQ(files.ReadWholeExclusive(path, 8, contents), IoError::kTooLarge);

  auto reader = files.OpenExclusive(path, error);
  ASSERT_NE(reader, nullptr);
  reader.reset();
  test::WriteTextFile(Native("next.mvpart"), "second");
  EXPECT_EQ(files.Replace(unc_ + "\\next.mvpart", path), IoError::kNone);
  EXPECT_FALSE(test::FileExists(Native("next.mvpart")));
  ASSERT_EQ(files.ReadWholeExclusive(path, 1 << 20, contents), IoError::kNone);
  EXPECT_EQ(std::string(contents.data()), "second");
  EXPECT_EQ(files.Remove(path), IoError::kNone);
  EXPECT_EQ(files.ReadWholeExclusive(path, 1 << 20, contents), IoError::kNotFound);
  EXPECT_EQ(files.OpenExclusive(path, error), nullptr);
  EXPECT_EQ(error, IoError::kNotFound);
  EXPECT_EQ(files.Remove(path), IoError::kNotFound);

  // Create replaces an existing file from its first byte.
  for (const std::string_view text : {"longer text", ""}) {
    writer = files.Create(path, error);
    ASSERT_NE(writer, nullptr);
    ASSERT_EQ(writer->Write(text.data(), text.size()), IoError::kNone);
    ASSERT_EQ(writer->Close(), IoError::kNone);
  }
  ASSERT_EQ(files.ReadWholeExclusive(path, 1 << 20, contents), IoError::kNone);
  EXPECT_EQ(contents.size(), 1u);
}

// A file read in pieces: refused while a writer holds it, read at any offset, and stamped so
// that the same name holding another file of the same size is told apart.
TEST_F(FileSystemBackendTest, FileReadInPiecesIsStampedAsTheFileItWas) {
  FileSystem& files = PlatformFileSystem();
  const std::string path = unc_ + "\\P.PC.mirvaul";
  IoError error = IoError::kOther;
  auto writer = files.Create(path, error);
  ASSERT_EQ(writer->Write("0123456789", 10), IoError::kNone);
  EXPECT_EQ(files.OpenExclusive(path, error), nullptr);
  EXPECT_EQ(error, IoError::kSharingViolation);
  ASSERT_EQ(writer->Close(), IoError::kNone);
  auto file = files.OpenExclusive(path, error);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->stamp().size, 10u);
  char piece[8] = {};
  std::size_t read = 0;
  ASSERT_EQ(file->ReadAt(6, piece, sizeof piece, read), IoError::kNone);
  EXPECT_EQ(std::string(piece, read), "6789");
  const FileStamp first = file->stamp();
  file.reset();
  test::WriteTextFile(Native("next.mvpart"), "abcdefghij");
  ASSERT_EQ(files.Replace(unc_ + "\\next.mvpart", path), IoError::kNone);
  file = files.OpenExclusive(path, error);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->stamp().size, 10u);
  EXPECT_FALSE(file->stamp() == first);
  file.reset();
  EXPECT_EQ(files.Remove(path), IoError::kNone);
  EXPECT_EQ(files.OpenExclusive(path, error), nullptr);
  EXPECT_EQ(error, IoError::kNotFound);
}

TEST_F(FileSystemBackendTest, DirectoriesAreMadeOnceAndKnownByIdentity) {
  FileSystem& files = PlatformFileSystem();
  EXPECT_EQ(files.MakeDirectory(unc_ + "\\Snapshots"), IoError::kNone);
  EXPECT_EQ(files.MakeDirectory(unc_ + "\\Snapshots"), IoError::kNone);  // exists: fine
  EXPECT_EQ(files.MakeDirectory(unc_ + "\\No\\Such\\Parent"), IoError::kNotFound);
  EXPECT_TRUE(fs::is_directory(Native("Snapshots")));

  DirectoryIdentity first, again, other;
  ASSERT_EQ(files.IdentifyDirectory(unc_ + "\\Snapshots", first), IoError::kNone);
  ASSERT_EQ(files.IdentifyDirectory(unc_ + "\\Snapshots\\..\\Snapshots", again), IoError::kNone);
  ASSERT_EQ(files.IdentifyDirectory(unc_, other), IoError::kNone);
  EXPECT_EQ(first, again);
  EXPECT_FALSE(first == other);
  // A link is listed as one and known as the directory it leads to: so the writer ends a loop.
  std::error_code ec;
  fs::create_directory_symlink(Native("Snapshots"), Native("Snapshots/up"), ec);
  if (!ec) {
    const std::uint32_t link = kAttrDirectory | kAttrReparsePoint;
    EXPECT_EQ(ListAll(unc_ + "\\Snapshots\\*.*").at("up").attributes & link, link);
    ASSERT_EQ(files.IdentifyDirectory(unc_ + "\\Snapshots\\up", again), IoError::kNone);
    EXPECT_EQ(first, again);
  }
  EXPECT_NE(files.IdentifyDirectory(unc_ + "\\Missing", other), IoError::kNone);
}

}  // namespace
}  // namespace mv
