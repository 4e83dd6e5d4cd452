// Test fixture for the loader and the browser: a browser over in-memory ports whose messages
// and status texts are recorded.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/memory/memory_file_list.h"
#include "platform/memory/memory_file_system.h"
#include "platform/view_ports.h"
#include "query/name_pattern.h"
#include "recording_notices.h"
#include "snapshot_texts.h"
#include "ui/snapshot_browser.h"

namespace mv::test {

// prefix and n, built without "literal" + std::string, which g++ 12 misreads at -O2.
inline std::string Numbered(const char* prefix, int n) {
  return std::string(prefix).append(std::to_string(n));
}

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

  MemoryFileSystem files{MatchesNamePattern};
  MemoryFileList list;
  MemoryBrowserControls controls;
  RecordingNotices notices;
  SnapshotBrowser browser{files, list, controls, notices};
};

using NameList = std::vector<std::string>;

}  // namespace mv::test
