// Fuzz target: a snapshot file of arbitrary bytes is loaded, then walked: every directory
// reachable from the share list (bounded), a few searches, then steps and column clicks chosen by
// the input's last bytes. Crashes, sanitizer reports and broken invariants are findings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/parsed_entry.h"
#include "platform/file_system.h"
#include "platform/memory/memory_file_list.h"
#include "platform/view_ports.h"
#include "ui/file_search.h"
#include "ui/snapshot_browser.h"

namespace {

constexpr char kPath[] = "C:\\snapshots\\fuzz.mirvaul";
constexpr int kMaxWalkFills = 24;
constexpr std::size_t kMaxSteps = 32;

// One file, the fuzzer's input; nothing else exists.
class InputFileSystem final : public mv::FileSystem {
 public:
  InputFileSystem(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::unique_ptr<mv::DirectoryListing> List(const std::string&, mv::IoError& error) override {
    error = mv::IoError::kNotFound;
    return nullptr;
  }
  mv::IoError IdentifyDirectory(const std::string&, mv::DirectoryIdentity&) override {
    return mv::IoError::kNotFound;
  }
  std::unique_ptr<mv::OutputFile> Create(const std::string&, mv::IoError& error) override {
    error = mv::IoError::kAccessDenied;
    return nullptr;
  }
  mv::IoError Remove(const std::string&) override { return mv::IoError::kAccessDenied; }
  mv::IoError Replace(const std::string&, const std::string&) override {
    return mv::IoError::kAccessDenied;
  }
  mv::IoError MakeDirectory(const std::string&) override { return mv::IoError::kAccessDenied; }
  mv::IoError ReadWholeExclusive(const std::string& path, std::uint64_t maxBytes,
                                 std::vector<char>& contents) override {
    if (path != kPath) return mv::IoError::kNotFound;
    if (size_ > maxBytes) return mv::IoError::kTooLarge;
    contents.assign(data_, data_ + size_);
    contents.push_back('\0');
    return mv::IoError::kNone;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

class SilentNotices final : public mv::NoticePort {
 public:
  mv::MessageAnswer ShowMessage(const std::string&, mv::MessageKind) override {
    return mv::MessageAnswer::kOk;
  }
  void SetStatusText(int, const std::string&) override {}
};

void Check(bool condition) {
  if (!condition) std::abort();
}

// Opens a row the way a double click does: its Name text taken whole by ParseBareName.
void OpenRow(mv::SnapshotBrowser& browser, mv::MemoryFileList& list, int row) {
  const std::string name = list.CellText(row, mv::kNameColumn);
  browser.OpenLocation(mv::ParseBareName(name).displayName);
  Check(browser.navigationPath() == browser.listedPath());
}

bool IsContainerRow(mv::MemoryFileList& list, int row) {
  const std::string type = list.CellText(row, mv::kTypeColumn);
  return type == mv::kDirectoryTypeText || type == mv::kShareTypeText;
}

// Depth-first over directory and share rows, up to a number of fills.
void Walk(mv::SnapshotBrowser& browser, mv::MemoryFileList& list, int& fills) {
  const int rows = list.RowCount();
  for (int row = 0; row < rows && fills < kMaxWalkFills; ++row) {
    if (!IsContainerRow(list, row) || list.CellText(row, mv::kNameColumn) == mv::kUpRowName) {
      continue;
    }
    const std::string before = browser.listedPath();
    ++fills;
    OpenRow(browser, list, row);
    if (browser.listedPath() == before) continue;  // not found: the list stayed
    Walk(browser, list, fills);
    browser.OpenLocation(mv::kUpStep);
    Check(browser.navigationPath() == browser.listedPath());
    // A share name with a backslash in it leads up somewhere else: stop walking this level.
    if (browser.listedPath() != before || list.RowCount() != rows) return;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  InputFileSystem files(data, size);
  mv::MemoryFileList list;
  mv::MemoryBrowserControls controls;
  SilentNotices notices;
  mv::SnapshotBrowser browser(files, list, controls, notices);
  if (browser.LoadSnapshot(kPath) == 0) return 0;
  const mv::SnapshotInfo& info = browser.info();
  Check(browser.shareCount() >= 1);
  Check(info.fileCount >= 0 && info.directoryCount >= 0);
  browser.ClearNavigationPath();
  browser.SetSnapshotComputer(info.computer);
  browser.OpenLocation(mv::kShareListStep);
  Check(list.RowCount() == browser.shareCount());

  int fills = 0;
  Walk(browser, list, fills);

  // A few searches over the whole file, which is read again line by line.
  mv::FileSearch search;
  const std::string name = std::string(1, static_cast<char>('a' + data[0] % 26)) + "*";
  for (int i = 0; i < 3 && search.Search(browser, list, notices, name); ++i) {
    Check(browser.navigationPath() == browser.listedPath());
  }

  for (std::size_t i = 0; i < kMaxSteps && i < size; ++i) {
    const std::uint8_t byte = data[size - 1 - i];
    const int rows = list.RowCount();
    switch (byte % 6) {
      case 0:
        browser.OpenLocation(mv::kUpStep);
        Check(browser.navigationPath() == browser.listedPath());
        break;
      case 1:
        browser.RewriteLocation();
        break;
      case 2:
        browser.ClickColumn(byte / 6 % mv::kFileListColumnCount);
        break;
      case 3:
        list.SelectOnly(rows == 0 ? -1 : byte / 6 % rows);
        browser.ShowRowDetails(rows == 0 ? -1 : byte / 6 % rows, info.created);
        break;
      default:
        if (rows > 0) OpenRow(browser, list, byte / 6 % rows);
        break;
    }
    Check(controls.location() == browser.LocationText());
  }
  return 0;
}
