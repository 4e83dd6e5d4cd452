// The description of a small network, as the sample network provider and the in-memory
// network read it: one line per group, computer and share, in the order they are served.
//
//   # comment
//   group WORKGROUP
//     computer PC1
//       share Docs
//
// A keyword, one or more blanks, then the name up to the end of the line (inner blanks
// belong to the name). A computer belongs to the group above it, a share to the computer
// above it; indentation is only for the reader.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mv {

struct DescribedComputer {
  std::string name;
  std::vector<std::string> shares;
};

struct DescribedGroup {
  std::string name;
  std::vector<DescribedComputer> computers;
};

struct NetworkDescription {
  std::vector<DescribedGroup> groups;
};

// Fills description from text. On a line it cannot read it returns false and says which
// line and why in error; description then holds what came before that line.
bool ParseNetworkDescription(std::string_view text, NetworkDescription& description,
                             std::string& error);

// A network of the given shape for tests and benchmarks: groups GROUP1.., computers
// G1PC1.. (group number, computer number), shares SHARE1.. on every computer.
NetworkDescription MakeUniformNetwork(int groups, int computersPerGroup, int sharesPerComputer);

}  // namespace mv
