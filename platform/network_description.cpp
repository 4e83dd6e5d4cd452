// Reads the network description format (see network_description.h).
#include "platform/network_description.h"

#include "platform/text_lines.h"

namespace mv {

bool ParseNetworkDescription(std::string_view text, NetworkDescription& description,
                             std::string& error) {
  description.groups.clear();
  TextLines lines(text);
  std::string_view line;
  while (lines.Next(line)) {
    if (line.empty() || line.front() == '#') continue;

    std::size_t keywordEnd = 0;
    while (keywordEnd < line.size() && !IsBlankChar(line[keywordEnd])) ++keywordEnd;
    const std::string_view keyword = line.substr(0, keywordEnd);
    const std::string name(TrimBlanks(line.substr(keywordEnd)));
    const auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(lines.number()) + ": " + why;
      return false;
    };
    if (name.empty()) return fail("a name is missing");
    if (name.find('\\') != std::string::npos) return fail("a name cannot hold a backslash");

    if (keyword == "group") {
      description.groups.push_back(DescribedGroup{name, {}});
    } else if (keyword == "computer") {
      if (description.groups.empty()) return fail("a computer needs a group above it");
      description.groups.back().computers.push_back(DescribedComputer{name, {}});
    } else if (keyword == "share") {
      if (description.groups.empty() || description.groups.back().computers.empty()) {
        return fail("a share needs a computer above it");
      }
      description.groups.back().computers.back().shares.push_back(name);
    } else {
      return fail("unknown keyword '" + std::string(keyword) + "'");
    }
  }
  return true;
}

NetworkDescription MakeUniformNetwork(int groups, int computersPerGroup, int sharesPerComputer) {
  NetworkDescription description;
  for (int g = 1; g <= groups; ++g) {
    // Appended piece by piece: g++ 12 misreads "literal" + std::to_string(...) at -O2.
    const std::string number = std::to_string(g);
    DescribedGroup group{std::string("GROUP").append(number), {}};
    for (int c = 1; c <= computersPerGroup; ++c) {
      DescribedComputer computer{
          std::string("G").append(number).append("PC").append(std::to_string(c)), {}};
      for (int s = 1; s <= sharesPerComputer; ++s) {
        computer.shares.push_back(std::string("SHARE").append(std::to_string(s)));
      }
      group.computers.push_back(std::move(computer));
    }
    description.groups.push_back(std::move(group));
  }
  return description;
}

}  // namespace mv
