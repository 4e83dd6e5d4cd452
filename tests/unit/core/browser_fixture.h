// Test fixture for the loader and the browser: snapshot texts built from lines, and a
// browser over in-memory ports whose messages and status texts are recorded.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot_browser.h"
#include "platform/memory/memory_file_list.h"
#include "platform/memory/memory_file_system.h"
#include "platform/view_ports.h"
#include "recording_notices.h"

namespace mv::test {

// Joins lines, each ended by CR LF, as the writer writes them.
inline std::string SnapshotText(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (const std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

inline std::string HeaderText(std::string_view computer = "PC7") {
  std::string text = "Mirrorvault file\r\nVERSION: 1.0\r\nCOMPUTER: ";
  text += computer;
  text += "\r\nGROUP: WORKGROUP\r\nDATE CREATED: 05.12.2026 09:04:05\r\n\r\n";
  return text;
}

// prefix and n, built without "literal" + std::string, which g++ 12 misreads at -O2.
inline std::string Numbered(const char* prefix, int n) {
  return std::string(prefix).append(std::to_string(n));
}

// The complete small file of the format's documentation.
inline const std::string kSampleSnapshot =
    HeaderText() +
    SnapshotText({"SHARENAME: Docs", "a.txt;;f;;10;;3.15.2010", "Sub;;d;;0;;6.1.2009",
                  "Zed;;d;;0;;6.1.2009", "Sub\\b.iso;;f;;5368709120;;6.2.2009",
                  "Sub\\Deep;;d;;0;;6.2.2009", "Sub\\Deep\\c.txt;;f;;0;;6.3.2009",
                  "Zed\\d.txt;;f;;40;;7.4.2009", "SHARENAME: Music", "END"});

class BrowserTest : public ::testing::Test {
 protected:
  // Loads text as the main window would after a selection in the snapshot tree.
  bool Open(const std::string& text, const std::string& path = "C:\\snaps\\s.mirvaul") {
    files.files[path] = text;
    if (browser.LoadSnapshot(path) == 0) return false;
    browser.ClearNavigationPath();
    browser.SetSnapshotComputer(browser.info().computer);
    browser.OpenLocation("");
    return true;
  }
  std::vector<std::string> Names() const { return list.Names(); }
  // The row named name, or -1.
  int RowOf(const std::string& name) const {
    const std::vector<std::string> names = list.Names();
    const auto at = std::find(names.begin(), names.end(), name);
    return at == names.end() ? -1 : static_cast<int>(at - names.begin());
  }
  const MemoryFileList::Row& Row(const std::string& name) const {
    return list.rows().at(static_cast<std::size_t>(RowOf(name)));
  }

  MemoryFileSystem files;
  MemoryFileList list;
  MemoryBrowserControls controls;
  RecordingNotices notices;
  SnapshotBrowser browser{files, list, controls, notices};
};

using NameList = std::vector<std::string>;

}  // namespace mv::test
