// The message that ends a capture job: success, or which computers got no snapshot and
// which shares were left out.
#pragma once

#include <string>
#include <vector>

#include "core/snapshot_writer.h"
#include "platform/io_error.h"
#include "platform/view_ports.h"

namespace mv {

inline constexpr char kSnapshotsCreated[] = "Snapshots successfully created.";
inline constexpr char kSharesNotListedHeading[] =
    "These shares could not be listed, so the snapshots of their computers lack them:";

struct EndOfJobMessage {
  std::string text;
  MessageKind kind;
};

// "PC7 (access denied)": one line of the failure list.
std::string DescribeFailedComputer(const std::string& computer, IoError error);

// The failure line of a capture that kept no snapshot: DescribeFailedComputer, or "PC7
// (none of its shares could be listed: not found)", or the name a finished snapshot was
// kept under when it could not be given its own.
std::string DescribeFailedCapture(const std::string& computer, const WriteReport& report);

// "\\PC7\Docs".
std::string DescribeShare(const std::string& computer, const std::string& share);

// "3 names held characters a snapshot cannot hold (line breaks, backslashes, a share
// header's key, or characters the system's code page lacks); they were written with "?" in
// their place."
std::string DescribeNamesAltered(int namesAltered);

// "Snapshots successfully created." with the information icon when no computer failed;
// otherwise one error message naming the failed computers (as DescribeFailedCapture gives
// them). Shares that could not be listed on computers that were read (\\COMPUTER\SHARE)
// follow under kSharesNotListedHeading, and names written altered after either, neither
// making a success an error. Long lists are cut short.
EndOfJobMessage ComposeEndOfJobMessage(const std::vector<std::string>& failedComputers,
                                       const std::vector<std::string>& sharesNotListed,
                                       int namesAltered = 0);

}  // namespace mv
