// The snapshot writer: one computer's shares into one snapshot file, header, share sections
// and end line. Runs on a capture worker; several run at once, each on its own file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/code_page.h"
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
  // Not one share root could be listed (the computer is off or gone): no file was kept,
  // and error is the first share's listing error.
  bool nothingListed = false;
  // The publishing rename was refused to the end: the finished snapshot stays whole under
  // this temporary name (error says why).
  std::string keptTemporary;
  int unlistedDirectories = 0;  // directories whose listing could not be started
  int namesAltered = 0;         // names (and header values) written with characters replaced
  std::vector<std::string> sharesNotListed;  // share roots that could not be listed
};

// Cuts "Docs;Music" into its names, in list order; empty names are left out. For share
// lists typed as text; the capture job hands its shares over as a list.
std::vector<std::string> SplitShareList(std::string_view shareList);

// Writes the snapshot of computer's shares, in list order, to path. Returns 0 for an empty
// list (no file is created), otherwise 1, whatever became of the file; report says what
// did. Every share is captured, and each share name is walked as it is, one path component.
// The file is made new under a temporary name beside path (TemporarySnapshotPath), which
// the library never lists and no other capture shares, and gets the name path only after
// its END line (Publish), replacing a file of that name. A stopped or failed capture, and
// one of a computer none of whose shares could be listed, removes it. The temporary files
// that interrupted captures of the same computer left are removed too, but never one that a
// live capture still holds. A stop is noticed only between shares: the activity state must
// be kScanning or kCapturing (anything but kIdle) while the shares are walked, and a file
// finished while it is kIdle is not kept.
//
// Names come in UTF-8 (from the ports). The file holds them in ansiCodePage, byte for byte as
// a snapshot has always held them, when every name fits it; otherwise in UTF-8 with the
// ENCODING line, the bytes written so far carried over at the first name that does not fit.
int WriteSnapshot(const std::string& group, const std::string& computer, const std::string& path,
                  const std::vector<std::string>& shares, WriteReport* report = nullptr,
                  FileSystem& fs = PlatformFileSystem(), Clock& clock = PlatformClock(),
                  unsigned ansiCodePage = SystemAnsiCodePage());

}  // namespace mv
