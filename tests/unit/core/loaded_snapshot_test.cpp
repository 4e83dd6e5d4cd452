// Loading snapshot files: the acceptance rule, the header, the counts, what a refused or
// unreadable file leaves behind, files of millions of lines, and where directory blocks lie.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "browser_fixture.h"
#include "core/loaded_snapshot.h"
#include "core/parsed_entry.h"
#include "core/read_ahead.h"
#include "core/text.h"
#include "platform/file_system.h"
#include "query/snapshot_scan.h"
#include "res/resource_ids.h"
#include "test_support.h"
#include "ui/file_search.h"

namespace mv::test {
namespace {

class LoaderTest : public BrowserTest {};

TEST_F(LoaderTest, AcceptsASnapshotCountsItsEntriesAndReadsHeadersInAnyOrderAndCase) {
  const std::string path = "C:\\snaps\\WORKGROUP.PC7.05.12.2026.09.04.05.mirvaul";
  ASSERT_TRUE(Open(
      HeaderText() + SnapshotText({"SHARENAME: A", "x.txt;;f;;1;;1.1.2010", "D;;d;;0;;1.1.2010",
                                   "D\\y;;f;;1;;1.1.2010", "SHARENAME: B", "E;;d;;0;;1.1.2010",
                                   "z;;f;;1;;1.1.2010", "a;;b.txt;;f;;1;;1.1.2010",
                                   "dir;;x;;d;;0;;1.1.2010", "dir;;x\\in;;f;;1;;1.1.2010", "END"}),
      path));
  const SnapshotInfo& info = browser.info();
  EXPECT_EQ(info.path, path);  // the header values: in the header case
  EXPECT_EQ(info.fileCount, 5);
  EXPECT_EQ(info.directoryCount, 3);
  EXPECT_EQ(browser.shareCount(), 2);
  for (const int command : {IDM_SNAPSHOT_PROPERTIES, IDM_OPEN, IDM_EXPLORE, IDM_FILE_PROPERTIES})
    EXPECT_TRUE(controls.IsEnabled(command)) << command;
  // Names holding ";;" are listed and opened whole.
  browser.OpenLocation("B");
  browser.OpenLocation(ParseBareName("dir;;x").displayName);
  EXPECT_EQ(browser.LocationText(), "\\\\PC7\\B\\dir;;x\\");
  EXPECT_EQ(list.RowCount(), 2);

  // Keys in lines 2 to 5 in another order, lower-case keys, a capitalised magic line, bare
  // CR and bare LF line ends and stray empty lines.
  ASSERT_TRUE(
      Open("MIRRORVAULT FILE\n\ngroup: WG\rDATE CREATED: 1.1.2010 00:00:00\r\n"
           "version: 9\n\n\nComputer: PC1\rSHARENAME: S\rEND\n"));
  EXPECT_EQ(browser.info().group, "WG");
  EXPECT_EQ(browser.info().computer, "PC1");
  EXPECT_EQ(browser.info().version, "9");
  EXPECT_EQ(browser.info().created, "1.1.2010 00:00:00");
}

// The scan behind find, diff and export accepts and refuses exactly what the loader does.
TEST_F(LoaderTest, AcceptanceRuleOfTheLoaderAndTheScan) {
  const std::string header = HeaderText(), shares = SnapshotText({"SHARENAME: S", "END"});
  const std::string top = "Mirrorvault file\r\nVERSION: 1\r\nCOMPUTER: C\r\n";
  struct Case {
    const char* what;
    std::string text;
    LoadResult result;
  } cases[] = {
      {"a share never closed", header + "SHARENAME: S\r\n", LoadResult::kAccepted},
      {"lower-case keys and LF",
       "mirrorvault FILE\ngroup: WG\nversion: 1\ncomputer: C\ndate created: d\nsharename: S\n",
       LoadResult::kAccepted},
      {"magic line with a trailing blank", "Mirrorvault file " + header.substr(16) + shares,
       LoadResult::kNotASnapshot},
      {"magic line cut by a NUL",
       std::string("Mirrorvault file\0\r\n", 19) + header.substr(18) + shares,
       LoadResult::kAccepted},
      {"empty GROUP value", top + "GROUP: \r\nDATE CREATED: d\r\n" + shares,
       LoadResult::kNotASnapshot},
      {"header key in line 6", top + "x\r\nDATE CREATED: d\r\nGROUP: G\r\n" + shares,
       LoadResult::kNotASnapshot},
      {"no share header line", header + "a;;f;;1;;1.1.2020\r\nEND\r\n", LoadResult::kNoShares},
      {"a share header cut by a NUL", header + std::string("SHARENAME: D\0cs\r\n", 17),
       LoadResult::kAccepted},
      {"a file of 0 bytes", "", LoadResult::kNotASnapshot},
      {"only line ends", "\r\n\r\n\n\r", LoadResult::kNotASnapshot},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Open(c.text), c.result == LoadResult::kAccepted);
    EXPECT_EQ(browser.lastLoadResult(), c.result);
    SnapshotLayout layout;
    EXPECT_EQ(ScanSnapshot(c.text, layout), c.result);
    if (c.result != LoadResult::kAccepted) {
      EXPECT_EQ(browser.shareCount(), 0);
      EXPECT_TRUE(browser.info().path.empty());
    }
  }
}

// The ENCODING line counts only between the magic line and the first share header; the first
// one there decides, and a file that carries it is one the ANSI-only rule accepts as well.
TEST_F(LoaderTest, EncodingLineIsReadInTheHeaderOnly) {
  const std::string top = "Mirrorvault file\r\nVERSION: 1.0\r\nCOMPUTER: PC7\r\nGROUP: G\r\n";
  const std::string created = "DATE CREATED: 05.12.2026 09:04:05\r\n";
  const std::string share = "SHARENAME: S\r\nx;;f;;1;;1.1.2010\r\n";
  const auto kAnsi = NameEncoding::kAnsi, kUtf8 = NameEncoding::kUtf8;
  struct Case {
    const char* what;
    std::string text;
    bool accepted;
    NameEncoding encoding;
  } cases[] = {
      {"as the writer writes it", top + created + "ENCODING: UTF-8\r\n\r\n" + share, true, kUtf8},
      {"before a stray END, in other case", top + created + "END\nencoding: utf-8\n" + share, true,
       kUtf8},
      {"an unknown value", top + created + "ENCODING: KOI8-R\r\n" + share, true, kAnsi},
      {"the first one decides", top + created + "ENCODING: UTF-16\r\nENCODING: UTF-8\r\n" + share,
       true, kAnsi},
      {"inside a share section", top + created + share + "ENCODING: UTF-8\r\n", true, kAnsi},
      {"in place of a header key", top + "ENCODING: UTF-8\r\n" + created + share, false, kUtf8},
      {"a value with a blank", top + created + "ENCODING: UTF-8 \r\n" + share, true, kAnsi},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Open(c.text + "END\r\n"), c.accepted);
    EXPECT_EQ(browser.info().encoding, c.encoding);
    SnapshotLayout layout;
    EXPECT_EQ(ScanSnapshot(c.text + "END\r\n", layout) == LoadResult::kAccepted, c.accepted);
    EXPECT_EQ(layout.encoding, c.encoding);
    if (!c.accepted) continue;
    // The header and the entries are read as without the line; the line is no entry.
    EXPECT_EQ(browser.info().group, "G");
    EXPECT_EQ(browser.info().fileCount, 1);
    EXPECT_EQ(browser.info().directoryCount, 0);
    browser.OpenLocation("S");
    EXPECT_EQ(Names(), (NameList{"..", "x"}));
  }
}

TEST_F(LoaderTest, UnreadableFileChangesNothingASecondReplacesAllARefusedOneEmptiesIt) {
  ASSERT_TRUE(Open(kSampleSnapshot));
  browser.OpenLocation("Docs");

  // Missing, or still held open by a capture: nothing changes.
  EXPECT_EQ(browser.LoadSnapshot("C:\\snaps\\missing.mirvaul"), 0);
  EXPECT_EQ(browser.lastLoadResult(), LoadResult::kCannotOpen);
  files.files["C:\\snaps\\busy.mirvaul"] = kSampleSnapshot;
  files.heldOpen.insert("C:\\snaps\\busy.mirvaul");
  EXPECT_EQ(browser.LoadSnapshot("C:\\snaps\\busy.mirvaul"), 0);
  EXPECT_EQ(browser.shareCount(), 2);
  browser.OpenLocation("Sub");
  EXPECT_EQ(Names(), (NameList{"..", "Deep", "b"}));

  ASSERT_TRUE(
      Open(HeaderText("PC9") + SnapshotText({"SHARENAME: Other", "f.txt;;f;;1;;1.1.2010", "END"}),
           "C:\\snaps\\second.mirvaul"));
  EXPECT_EQ(Names(), (NameList{"Other"}));
  EXPECT_EQ(controls.location(), "\\\\PC9\\");
  EXPECT_EQ(browser.info().fileCount, 1);
  EXPECT_EQ(browser.info().directoryCount, 0);
  EXPECT_EQ(browser.FillFileList("Docs\\Sub\\", ""), 0);

  // A file that opens but is refused leaves an empty snapshot with the header values found:
  // the list keeps its rows, and opening one of them reports it cannot be found.
  files.files["C:\\snaps\\bad.mirvaul"] = HeaderText("PC8") + "END\r\n";
  EXPECT_EQ(browser.LoadSnapshot("C:\\snaps\\bad.mirvaul"), 0);
  EXPECT_EQ(browser.info().computer, "PC8");
  EXPECT_TRUE(browser.info().path.empty());
  EXPECT_EQ(Names(), (NameList{"Other"}));
  browser.OpenLocation("Other");
  EXPECT_EQ(notices.messages, (std::vector<std::string>{"Could not locate 'Other' path."}));
  EXPECT_EQ(Names(), (NameList{"Other"}));
}

// CR, LF, empty lines and a NUL inside a line are read through the loader's tests; here, the bytes
// a word-at-a-time scan could misread.
TEST(SplitLines, OddBytesAreLineTextWhereverTheyFallInAWord) {
  std::vector<LineRef> lines;
  // Control bytes other than CR, LF and NUL, and bytes above 0x7F.
  const std::string odd = "\t\x0b\x0c\x0e\x8d\xff\x80 tab\tand\x01more\x0d\x8a\x0a";
  for (std::size_t shift = 0; shift < 9; ++shift) {
    const std::string padded = std::string(shift, 'x') + odd + "\n" + odd;
    ASSERT_EQ(SplitLines(padded, lines), 4) << shift;
    EXPECT_EQ(lines[0].length, shift + odd.size() - 3);
    EXPECT_EQ(lines[1].length, 1u);  // the byte 0x8A between CR and LF
    // The last line needs no line end, wherever it stops within a word.
    ASSERT_EQ(SplitLines(std::string(8 + shift, 'y'), lines), 1);
    EXPECT_EQ(lines[0].length, 8 + shift);
  }
}

// A 32-bit process may find no room for a second index while it holds the first: the first
// is let go and the second loads, instead of being called corrupted.
TEST(LoaderMemory, NoRoomBesideTheSnapshotHeldLetsItGoAndLoadsTheNewFile) {
  // Reads find no room while a snapshot with shares is held.
  struct TightFile : InputFile {
    std::unique_ptr<InputFile> inner;
    const LoadedSnapshot* held = nullptr;
    const FileStamp& stamp() const override { return inner->stamp(); }
    IoError ReadAt(std::uint64_t at, char* buffer, std::size_t size, std::size_t& read) override {
      if (held != nullptr && held->shareCount() > 0) throw std::bad_alloc();
      return inner->ReadAt(at, buffer, size, read);
    }
  };
  struct TightFileSystem : MemoryFileSystem {
    using MemoryFileSystem::MemoryFileSystem;
    std::unique_ptr<InputFile> OpenExclusive(const std::string& path, IoError& error) override {
      auto file = std::make_unique<TightFile>();
      file->inner = MemoryFileSystem::OpenExclusive(path, error);
      file->held = held;
      if (file->inner == nullptr) return nullptr;
      return file;
    }
    const LoadedSnapshot* held = nullptr;
  };
  TightFileSystem fs{MatchesNamePattern};
  fs.files["a"] = kSampleSnapshot;
  fs.files["b"] = HeaderText("PC8") + SnapshotText({"SHARENAME: S", "END"});
  LoadedSnapshot snapshot;
  ASSERT_EQ(snapshot.Load(fs, "a"), LoadResult::kAccepted);
  fs.held = &snapshot;
  EXPECT_EQ(snapshot.Load(fs, "b"), LoadResult::kAccepted);
  EXPECT_EQ(snapshot.info().computer, "PC8");
}

// A file server's snapshot: more lines than the loader's line table once held (1,048,575)
// and more share sections than its share table (64). Both load whole, in the loader and in
// the scan of find, diff and export, and the last share's directory opens.
TEST_F(LoaderTest, MillionsOfLinesAndHundredsOfSharesLoadWhole) {
  constexpr int kShares = 100, kFiles = 1048576;
  std::string text = HeaderText();
  for (int i = 0; i + 1 < kShares; ++i) text += Numbered("SHARENAME: S", i).append("\r\n");
  text += "SHARENAME: Last\r\nD;;d;;0;;1.1.2010\r\n";
  for (int i = 0; i < kFiles; ++i) text += "f;;f;;1;;1.1.2010\n";
  text += "D\\x.txt;;f;;1;;1.1.2010\r\nEND\r\n";
  ASSERT_TRUE(Open(text));
  EXPECT_EQ(browser.shareCount(), kShares);
  EXPECT_EQ(browser.info().fileCount, kFiles + 1);
  EXPECT_EQ(browser.info().directoryCount, 1);
  ASSERT_EQ(browser.FillFileList("Last\\D\\", ""), 1);
  EXPECT_EQ(Names(), (NameList{"..", "x"}));
  SnapshotLayout layout;
  EXPECT_EQ(ScanSnapshot(text, layout), LoadResult::kAccepted);
  EXPECT_EQ(layout.shares.size(), static_cast<std::size_t>(kShares));
}

// The entry block of key (share\dir\...\) found by a plain scan of the lines of text: in the
// first closed section of the key's share (ignoring case), the first line that begins with
// the directory path, and the lines after it that begin with it and hold no further
// backslash; as the bytes from its first line up to the line after it.
bool ScanForBlock(const std::string& text, const std::vector<LineRef>& lines,
                  const std::string& key, PathLocation& found) {
  auto line = [&](std::size_t i) {
    return std::string_view(text).substr(static_cast<std::size_t>(lines[i].offset),
                                         static_cast<std::size_t>(lines[i].length));
  };
  const std::size_t rootEnd = key.find('\\') + 1;
  const std::string rel = key.substr(rootEnd);
  std::size_t first = 0, last = 0;
  bool inShare = false, closed = false, seen = false;
  for (std::size_t i = 0; i < lines.size() && !closed; ++i) {
    const bool header = StartsWithIgnoreCase(line(i), "SHARENAME: ");
    if (header || EqualsIgnoreCase(line(i), "END")) {
      closed = inShare;
      if (closed) break;
      inShare = header &&
                EqualsIgnoreCase(std::string(line(i).substr(11)) + "\\", key.substr(0, rootEnd));
      seen = false;
    } else if (inShare && !seen && StartsWithIgnoreCase(line(i), rel)) {
      seen = true;
      first = last = i;
    } else if (seen && last == i - 1 && StartsWithIgnoreCase(line(i), rel) &&
               line(i).find('\\', rel.size()) == std::string_view::npos) {
      last = i;
    }
  }
  if (!closed || !seen) return false;
  found.begin = lines[first].offset;
  found.end = lines[last + 1].offset;
  found.nameOffset = static_cast<int>(rel.size());
  return true;
}

// Random trees far from the writer's order: directories differing only in case, blocks cut
// in pieces, deep lines before their parents' blocks, empty directories, names holding ";;",
// shares named twice, sections left open, and long names that make blocks cross the pieces
// the file is read in. Every directory path is found exactly where the scan finds it.
TEST(DirectoryBlocks, EveryPathFindsTheBlockAPlainScanFinds) {
  const char* const names[] = {"a", "A", "b;;c", "B;;C", "d"};
  const char* const shares[] = {"S", "s", "T"};
  std::mt19937 random(22);
  for (int round = 0; round < 300; ++round) {
    std::string text = HeaderText();
    std::vector<std::string> keys;
    for (int section = 0; section < 3; ++section) {
      const std::string share = shares[random() % 3];
      text += "SHARENAME: " + share + "\r\n";
      for (int n = static_cast<int>(random() % 30); n > 0; --n) {
        std::string path;
        for (int depth = static_cast<int>(random() % 4); depth >= 0; --depth) {
          path += names[random() % 5];
          if (round % 20 == 0 && random() % 8 == 0) path += std::string(random() % 40000, 'x');
          keys.push_back(share + "\\" + path + "\\");
          if (depth > 0) path += "\\";
        }
        text += path + (random() % 2 != 0 ? ";;d;;0;;1.1.2010\r\n" : ";;f;;1;;1.1.2010\r\n");
      }
    }
    if (random() % 4 != 0) text += "END\r\n";
    MemoryFileSystem fs{MatchesNamePattern};
    fs.files["s"] = text;
    LoadedSnapshot snapshot;
    ASSERT_EQ(snapshot.Load(fs, "s"), LoadResult::kAccepted);
    std::vector<LineRef> lines;
    SplitLines(text, lines);
    for (const std::string& key : keys) {
      PathLocation expected, found;
      const bool scanned = ScanForBlock(text, lines, key, expected);
      std::string bytes;
      ASSERT_EQ(snapshot.ReadPathRange(key, found, bytes), scanned) << key;
      if (!scanned) continue;
      EXPECT_EQ(found.begin, expected.begin) << key;
      EXPECT_EQ(found.end, expected.end) << key;
      EXPECT_EQ(found.nameOffset, expected.nameOffset) << key;
      EXPECT_EQ(bytes, text.substr(static_cast<std::size_t>(found.begin),
                                   static_cast<std::size_t>(found.end - found.begin)))
          << key;
    }
  }
}

// Listings and searches read the file opened for the load. A read that fails (here: the
// in-memory file is gone, as a read from a share gone offline fails) shows nothing of it and
// says the file could not be read, in UTF-8 whatever the snapshot's encoding; the window
// stays as it was.
TEST_F(LoaderTest, AReadThatFailsAfterLoadingIsReportedAndNothingOfItListed) {
  const std::string path = "C:\\sn\xC3\xA4ps\\s.mirvaul";
  const std::string unreadable = "Could not open '" + path + "'.\nThe file could not be read.";
  ASSERT_TRUE(Open(kSampleSnapshot, path));
  browser.OpenLocation("Docs");
  files.files.erase(path);
  notices.messages.clear();
  browser.OpenLocation("Sub");
  EXPECT_EQ(notices.utf8Messages, std::vector<std::string>{unreadable});
  EXPECT_EQ(Names(), (NameList{"..", "Sub", "Zed", "a"}));
  EXPECT_EQ(browser.navigationPath(), "Docs\\");
  FileSearch search;
  EXPECT_FALSE(search.Search(browser, list, notices, "c.txt"));
  EXPECT_EQ(notices.messages.back(), unreadable);
}

// The platform's file stays open while it is shown: removed from its folder (Remove on the
// snapshot shown), it is browsed on as it was loaded.
TEST(LoaderFile, ASnapshotRemovedWhileShownIsBrowsedOn) {
  ScratchDir dir;
  const std::string path = dir.Join("s.mirvaul");
  WriteTextFile(path, kSampleSnapshot);
  MemoryFileList list;
  MemoryBrowserControls controls;
  RecordingNotices notices;
  SnapshotBrowser browser(PlatformFileSystem(), list, controls, notices);
  ASSERT_EQ(browser.LoadSnapshot(path), 1);
  browser.OpenLocation("");
  ASSERT_EQ(PlatformFileSystem().Remove(path), IoError::kNone);
  browser.OpenLocation("Docs");
  browser.OpenLocation("Sub");
  EXPECT_EQ(list.Names(), (NameList{"..", "Deep", "b"}));
  EXPECT_EQ(notices.messages, std::vector<std::string>{});
}

// Every folder's total is the sum over the file lines below it in its section, at any depth,
// as a plain sum over the text finds it: deep and wide trees, names with ";;", letters in
// either case, sizes that are no number, shares named twice and sections left open.
TEST(FolderTotals, EveryFolderTotalIsTheSumOfTheFilesBelowIt) {
  const char* const names[] = {"a", "A", "b;;c", "d"};
  const char* const kinds[] = {";;f;;", ";;F;;", ";;d;;"};
  const char* const sizes[] = {"0", "7", "123456789012", "12a"};
  std::mt19937 random(35);
  for (int round = 0; round < 120; ++round) {
    std::string text = HeaderText();
    struct Section {
      std::string share;
      std::vector<std::string> lines;
    };
    std::vector<Section> sections;
    std::vector<std::string> keys;
    for (int section = 0; section < 3; ++section) {
      sections.push_back({std::string(1, "SsT"[random() % 3]), {}});
      text += "SHARENAME: " + sections.back().share + "\r\n";
      keys.push_back(sections.back().share);
      const int depthLimit = round % 10 == 0 ? 60 : 5;
      for (int n = static_cast<int>(random() % 40); n > 0; --n) {
        std::string path;
        for (int depth = static_cast<int>(random() % depthLimit); depth >= 0; --depth) {
          path += names[random() % 4];
          keys.push_back(sections.back().share + "\\" + path);
          if (depth > 0) path += "\\";
        }
        const char* const kind = kinds[random() % 3];
        const bool file = kind[2] != 'd';
        std::string line = path + kind + (file ? sizes[random() % 4] : "0") + ";;1.1.2010";
        text += line + "\r\n";
        sections.back().lines.push_back(std::move(line));
      }
    }
    const bool ended = random() % 4 != 0;
    if (ended) text += "END\r\n";
    MemoryFileSystem fs{MatchesNamePattern};
    fs.files["s"] = text;
    LoadedSnapshot snapshot;
    ASSERT_EQ(snapshot.Load(fs, "s"), LoadResult::kAccepted);
    for (const std::string& key : keys) {
      const std::size_t cut = key.find('\\');
      const std::string share = key.substr(0, cut);
      const std::string prefix = cut == std::string::npos ? "" : key.substr(cut + 1) + "\\";
      // The first closed section of the share's name is the one found.
      const Section* found = nullptr;
      for (std::size_t at = 0; at < sections.size() && found == nullptr; ++at) {
        if (EqualsIgnoreCase(sections[at].share, share) && (ended || at + 1 < sections.size())) {
          found = &sections[at];
        }
      }
      FolderTotal expected, total;
      bool any = prefix.empty();
      for (const std::string& line : found == nullptr ? std::vector<std::string>{} : found->lines) {
        if (!StartsWithIgnoreCase(line, prefix)) continue;
        any = true;
        const EntryFields fields = SplitEntryFields(line);
        if (!IsFileType(fields[1])) continue;
        ++expected.files;
        if (fields[2].find_first_not_of("0123456789") == std::string_view::npos) {
          expected.bytes += std::stoull(std::string(fields[2]));
        }
      }
      ASSERT_EQ(snapshot.FolderTotalOf(key, total), found != nullptr && any) << key;
      EXPECT_EQ(total.bytes, expected.bytes) << key;
      EXPECT_EQ(total.files, expected.files) << key;
    }
  }
}

TEST_F(LoaderTest, NulBytesAnywhereNeverCrashAndEndTheirLine) {
  std::string text = kSampleSnapshot;
  for (std::size_t at = 0; at < text.size(); at += 7) {
    std::string damaged = text;
    damaged[at] = '\0';
    if (Open(damaged)) {
      browser.OpenLocation("Docs");
      browser.OpenLocation("Sub");
      browser.OpenLocation("..");
    }
  }
  // A NUL inside an entry line cuts its text there: "a.t" is listed, its fields are lost.
  std::string cut = kSampleSnapshot;
  cut.insert(cut.find("a.txt") + 3, 1, '\0');
  ASSERT_TRUE(Open(cut));
  browser.OpenLocation("Docs");
  EXPECT_EQ(Names(), (NameList{"..", "Sub", "Zed"}));
}

// The pieces read ahead on a thread are the file's bytes in order, whatever its size against
// the piece; a read that fails or comes short ends the pass as a failure, not as the end.
TEST(ReadAhead, PiecesAreTheFileInOrderAndAFailedReadIsAFailure) {
  class Bytes final : public InputFile {
   public:
    Bytes(std::string text, std::uint64_t failAt) : text_(std::move(text)), failAt_(failAt) {
      stamp_.size = text_.size();
    }
    const FileStamp& stamp() const override { return stamp_; }
    IoError ReadAt(std::uint64_t offset, char* buffer, std::size_t size,
                   std::size_t& read) override {
      if (offset >= failAt_) return IoError::kOther;
      read = std::min<std::size_t>(size, text_.size() - static_cast<std::size_t>(offset));
      std::memcpy(buffer, text_.data() + offset, read);
      return IoError::kNone;
    }

   private:
    std::string text_;
    std::uint64_t failAt_;
    FileStamp stamp_;
  };
  constexpr std::size_t kPiece = 7;
  for (const std::size_t size : {0, 1, 6, 7, 8, 14, 100}) {
    for (const bool fail : {false, true}) {
      std::string text(size, '\0');
      for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 26);
      Bytes file(text, fail ? 2 * kPiece : ~std::uint64_t{0});
      ReadAhead pieces(file, size, kPiece);
      std::string seen;
      std::string_view piece;
      bool failed = false;
      while (pieces.Next(piece, failed)) seen += piece;
      const bool failsHere = fail && size > 2 * kPiece;
      EXPECT_EQ(failed, failsHere) << size;
      EXPECT_EQ(seen, failsHere ? text.substr(0, 2 * kPiece) : text) << size;
    }
  }
}

}  // namespace
}  // namespace mv::test
