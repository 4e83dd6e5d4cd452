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

// "Snapshots successfully created." with the information icon when nothing failed;
// otherwise one error message naming the failed computers (as DescribeFailedComputer
// gives them) and the shares left out (\\COMPUTER\SHARE). Long lists are cut short.
EndOfJobMessage ComposeEndOfJobMessage(const std::vector<std::string>& failedComputers,
                                       const std::vector<std::string>& sharesLeftOut);

}  // namespace mv
