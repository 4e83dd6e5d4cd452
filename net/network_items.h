// How a resource record of the network appears in the network tree: which records get an
// item, with which text, image and state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/network.h"
#include "platform/view_ports.h"

namespace mv {

// Images of the network tree's image list.
inline constexpr int kNetworkImageGroup = 0;
inline constexpr int kNetworkImageComputer = 1;
inline constexpr int kNetworkImageShare = 2;

enum class NetworkItemKind { kGroup, kComputer, kShare };

struct NetworkItem {
  NetworkItemKind kind;
  std::string text;
  int image;
  std::uint32_t state;  // every item starts ticked; computers and shares are bold
};

// The item a record gets: groups (display type 1), computers (2) and shares (3) only.
std::optional<NetworkItem> NetworkItemFor(const NetResource& record);

// \\PC7 gives PC7: the remote name without its first two characters.
std::string ComputerItemText(std::string_view remoteName);

// \\PC7\Docs gives Docs: what follows the last backslash, looked for from the end down to
// the second character; without one there, everything from the second character on.
std::string ShareItemText(std::string_view remoteName);

// Whether a record is enumerated by a task of its own: a computer, or any container.
bool HasChildTask(const NetResource& record);

}  // namespace mv
