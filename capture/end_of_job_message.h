// The message that ends a capture job: success, or which computers got no snapshot and
// which shares were left out.
#pragma once

#include <string>
#include <vector>

#include "platform/io_error.h"
#include "platform/view_ports.h"

namespace mv {

inline constexpr char kSnapshotsCreated[] = "Snapshots successfully created.";

struct EndOfJobMessage {
  std::string text;
  MessageKind kind;
};

// "PC7 (access denied)": one line of the failure list.
std::string DescribeFailedComputer(const std::string& computer, IoError error);

// "3 names held characters a snapshot cannot hold (line breaks, or characters the system's
// code page lacks); they were written with "?" in their place."
std::string DescribeNamesAltered(int namesAltered);

// "Snapshots successfully created." with the information icon when nothing failed;
// otherwise one error message naming the failed computers (as DescribeFailedComputer
// gives them) and the shares left out (\\COMPUTER\SHARE). Long lists are cut short. Names
// written altered are told after either, without making a success an error.
EndOfJobMessage ComposeEndOfJobMessage(const std::vector<std::string>& failedComputers,
                                       const std::vector<std::string>& sharesLeftOut,
                                       int namesAltered = 0);

}  // namespace mv
