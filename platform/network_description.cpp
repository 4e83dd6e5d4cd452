// Reads the network description format (see network_description.h).
#include "platform/network_description.h"

namespace mv {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

bool ParseNetworkDescription(std::string_view text, NetworkDescription& description,
                             std::string& error) {
  description.groups.clear();
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == '#') continue;

    std::size_t keywordEnd = 0;
    while (keywordEnd < line.size() && !IsBlank(line[keywordEnd])) ++keywordEnd;
    const std::string_view keyword = line.substr(0, keywordEnd);
    const std::string name(Trim(line.substr(keywordEnd)));
    const auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(lineNumber) + ": " + why;
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
