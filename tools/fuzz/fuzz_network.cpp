// Fuzz target: the network description (take --network FILE, the sample network). A text
// that reads must read the same once written back, and serve as a network.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/memory/in_memory_network.h"
#include "platform/network_description.h"

using mv::fuzz::Check;

namespace {

std::string Written(const mv::NetworkDescription& description) {
  std::string text;
  for (const mv::DescribedGroup& group : description.groups) {
    text += "group " + group.name + "\n";
    for (const mv::DescribedComputer& computer : group.computers) {
      text += "  computer " + computer.name + "\n";
      for (const std::string& share : computer.shares) text += "    share " + share + "\n";
    }
  }
  return text;
}

bool Same(const mv::NetworkDescription& a, const mv::NetworkDescription& b) {
  if (a.groups.size() != b.groups.size()) return false;
  for (std::size_t g = 0; g < a.groups.size(); ++g) {
    const auto& x = a.groups[g];
    const auto& y = b.groups[g];
    if (x.name != y.name || x.computers.size() != y.computers.size()) return false;
    for (std::size_t c = 0; c < x.computers.size(); ++c) {
      if (x.computers[c].name != y.computers[c].name ||
          x.computers[c].shares != y.computers[c].shares) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  mv::NetworkDescription description;
  std::string error;
  if (!mv::ParseNetworkDescription(text, description, error)) {
    Check(!error.empty());
    return 0;
  }
  mv::NetworkDescription again;
  Check(mv::ParseNetworkDescription(Written(description), again, error));
  Check(Same(description, again));
  mv::InMemoryNetwork network;
  network.AddDescribed(description, "Described Network");
  return 0;
}
