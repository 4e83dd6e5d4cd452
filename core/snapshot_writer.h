// The snapshot writer: one computer's shares into one snapshot file, header, share sections
// and end line. Runs on a capture worker; several run at once, each on its own file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/io_error.h"

namespace mv {

// What became of one call, for callers that tell the user (the writer itself reports
// nothing and goes on wherever it can).
struct WriteReport {
  bool complete = false;           // a complete file with its END line exists at the path
  bool stopped = false;            // a stop ended the capture: no file was kept
  IoError error = IoError::kNone;  // create/write/close/rename failure: no file was kept;
                                   // or the computer refused the logon (no file made)
  int unlistedDirectories = 0;     // directories whose listing could not be started
  int namesAltered = 0;            // entry names written with characters replaced
  std::vector<std::string> sharesNotCaptured;  // beyond the share limit
};

// Cuts "Docs;Music" into its names, in list order; empty names are left out.
std::vector<std::string> SplitShareList(std::string_view shareList);

// Writes the snapshot of computer's shares (shareList: names joined by ';') to path.
// Returns 0 for an empty share list (no file is created), otherwise 1, whatever became of
// the file; report says what did. The file is written under a temporary name beside path
// (TemporarySnapshotPath), which the library never lists, and renamed to path only after
// its END line and a successful close, replacing a file of that name; a stopped or failed
// capture removes it, and the next capture of the same computer removes any that an
// interrupted one left. A stop is noticed only between shares: the activity state must be
// kScanning or kCapturing (anything but kIdle) while the shares are walked, and a file
// finished while it is kIdle is not kept. At most kMaxSharesWritten shares are captured;
// the rest are listed in report->sharesNotCaptured.
int WriteSnapshot(const std::string& group, const std::string& computer, const std::string& path,
                  const std::string& shareList, WriteReport* report = nullptr,
                  FileSystem& fs = PlatformFileSystem(), Clock& clock = PlatformClock());

}  // namespace mv
