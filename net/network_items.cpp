// Texts, images and states of the network tree's items.
#include "net/network_items.h"

namespace mv {

std::string ComputerItemText(std::string_view remoteName) {
  return std::string(remoteName.substr(remoteName.size() < 2 ? remoteName.size() : 2));
}

std::string ShareItemText(std::string_view remoteName) {
  for (std::size_t i = remoteName.size(); i-- > 1;) {
    if (remoteName[i] == '\\') return std::string(remoteName.substr(i + 1));
  }
  return remoteName.empty() ? std::string() : std::string(remoteName.substr(1));
}

std::optional<NetworkItem> NetworkItemFor(const NetResource& record) {
  const std::string_view remote =
      record.lpRemoteName ? std::string_view(*record.lpRemoteName) : std::string_view();
  switch (record.dwDisplayType) {
    case kDisplayTypeDomain:
      return NetworkItem{NetworkItemKind::kGroup, std::string(remote), kNetworkImageGroup,
                         kTreeStateTicked};
    case kDisplayTypeServer:
      return NetworkItem{NetworkItemKind::kComputer, ComputerItemText(remote),
                         kNetworkImageComputer, kTreeStateTicked | kTreeStateBold};
    case kDisplayTypeShare:
      return NetworkItem{NetworkItemKind::kShare, ShareItemText(remote), kNetworkImageShare,
                         kTreeStateTicked | kTreeStateBold};
    default:
      return std::nullopt;
  }
}

bool HasChildTask(const NetResource& record) {
  return record.dwDisplayType == kDisplayTypeServer ||
         (record.dwUsage & kResourceUsageContainer) != 0;
}

}  // namespace mv
