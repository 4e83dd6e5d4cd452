// A snapshot of more than 4 GiB, written for the test as the writer would write it: the
// loader, the listing and the search reach lines that begin past 4 GiB through the platform's
// own file functions. Run in the 32-bit build, it shows that no offset or size is cut to 32
// bits on the way (file offsets, counts, the block index).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "platform/file_system.h"
#include "platform/memory/memory_file_list.h"
#include "query/name_pattern.h"
#include "recording_notices.h"
#include "snapshot_texts.h"
#include "test_support.h"
#include "ui/file_search.h"
#include "ui/snapshot_browser.h"

namespace mv::test {
namespace {

constexpr std::uint64_t kFourGiB = std::uint64_t{1} << 32;

// One directory's block, a mebibyte of whole entry lines of a usual length, repeated until
// the file passes 4 GiB; a few entries follow it, so that they lie past that mark.
struct LargeSnapshot {
  std::uint64_t size = 0;
  std::int64_t needleLine = 0;  // "Last\needle.txt", the first line of Last's block
  std::int64_t deepLine = 0;    // "Last\Deep\deep.txt"
  std::int64_t tailLine = 0;    // the only line of the share Tail
  std::int64_t beforeMark = 0;  // a line that begins a few MiB before 4 GiB
  std::int32_t files = 0;
};

bool WriteLargeSnapshot(const std::string& path, LargeSnapshot& made) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  const auto put = [&](const std::string& text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    made.size += text.size();
  };
  put(HeaderText("BIG") +
      SnapshotText({"SHARENAME: Data", "Filler;;d;;0;;1.2.2020", "Last;;d;;0;;1.2.2020"}));
  std::string piece;
  int linesPerPiece = 0;
  const std::string name(180, 'n');
  while (piece.size() < (std::size_t{1} << 20)) {
    piece +=
        "Filler\\" + name + std::to_string(linesPerPiece++) + ".bin;;f;;5368709120;;1.2.2020\r\n";
  }
  while (made.size < kFourGiB + 1) {
    if (made.size + (std::uint64_t{8} << 20) < kFourGiB)
      made.beforeMark = static_cast<std::int64_t>(made.size);
    put(piece);
    made.files += linesPerPiece;
  }
  made.needleLine = static_cast<std::int64_t>(made.size);
  put(SnapshotText({"Last\\needle.txt;;f;;5368709121;;12.8.2026", "Last\\Deep;;d;;0;;12.8.2026"}));
  made.deepLine = static_cast<std::int64_t>(made.size);
  put(SnapshotText({"Last\\Deep\\deep.txt;;f;;7;;12.8.2026", "SHARENAME: Tail"}));
  made.tailLine = static_cast<std::int64_t>(made.size);
  put(SnapshotText({"tail.txt;;f;;1;;1.1.2020", "END"}));
  made.files += 3;
  out.close();
  return !out.fail();
}

TEST(LargeSnapshotTest, LoadsListsAndSearchesPastFourGiB) {
  ScratchDir dir;
  const std::string path = dir.Join("WORKGROUP.BIG.05.12.2026.09.04.05.mirvaul");
  LargeSnapshot made;
  ASSERT_TRUE(WriteLargeSnapshot(path, made)) << "no room for a snapshot of 4 GiB in " << path;

  MemoryFileList list;
  MemoryBrowserControls controls;
  RecordingNotices notices;
  SnapshotBrowser browser{PlatformFileSystem(), list, controls, notices};
  ASSERT_EQ(browser.LoadSnapshot(path), 1) << DescribeLoadResult(browser.lastLoadResult());
  const LoadedSnapshot& snapshot = browser.snapshot();
  EXPECT_EQ(static_cast<std::uint64_t>(snapshot.fileSize()), made.size);
  EXPECT_EQ(browser.info().fileCount, made.files);
  EXPECT_EQ(browser.info().directoryCount, 3);

  // Each block past 4 GiB is found where it begins and read back whole.
  PathLocation at;
  std::string bytes;
  ASSERT_TRUE(snapshot.ReadPathRange("Data\\Last\\", at, bytes));
  EXPECT_EQ(at.begin, made.needleLine);
  EXPECT_EQ(bytes, SnapshotText({"Last\\needle.txt;;f;;5368709121;;12.8.2026",
                                 "Last\\Deep;;d;;0;;12.8.2026"}));
  ASSERT_TRUE(snapshot.FindPathRange("Data\\Last\\Deep\\", at));
  EXPECT_EQ(at.begin, made.deepLine);
  ASSERT_TRUE(snapshot.FindPathRange("Tail", at));
  EXPECT_EQ(at.begin, made.tailLine);
  std::string_view share;
  EXPECT_GT(snapshot.ShareHeaderBefore(made.needleLine, share), 0);
  EXPECT_EQ(share, "Data");

  // The window's listing of a folder past 4 GiB.
  browser.ClearNavigationPath();
  browser.SetSnapshotComputer(browser.info().computer);
  browser.OpenLocation("");
  browser.OpenLocation("Data");
  browser.OpenLocation("Last");
  EXPECT_EQ(controls.location(), "\\\\BIG\\Data\\Last\\");
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"..", "Deep", "needle"}));

  // The search across the 4 GiB mark (the loader has read the whole file already: one pass
  // is all that an emulator should have to pay for), then the dialog's from the row shown.
  std::string line;
  EXPECT_EQ(FindMatchingLine(snapshot, NamePattern("deep.txt"), made.beforeMark,
                             snapshot.fileSize(), &line),
            made.deepLine);
  EXPECT_EQ(line, "Last\\Deep\\deep.txt;;f;;7;;12.8.2026");
  FileSearch search;
  ASSERT_TRUE(search.Search(browser, list, notices, "tail.txt")) << notices.messages.back();
  EXPECT_EQ(controls.location(), "\\\\BIG\\Tail\\");
  EXPECT_FALSE(snapshot.readFailed());
}

}  // namespace
}  // namespace mv::test
