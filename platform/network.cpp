// The parts of the network port that every backend shares: record sizes and the choice of
// the network the program browses.
#include "platform/network.h"

#include <atomic>

namespace mv {
namespace {

std::atomic<NetworkPort*> gInstalledNetwork{nullptr};

// The fixed part of NETRESOURCEA: four 32-bit fields and four string pointers.
constexpr std::size_t kFixedRecordSize = 4 * sizeof(std::uint32_t) + 4 * sizeof(char*);

std::size_t StringSize(const std::optional<std::string>& text) {
  return text ? text->size() + 1 : 0;
}

}  // namespace

std::size_t NetResourceBufferSize(const NetResource& record) {
  return kFixedRecordSize + StringSize(record.lpLocalName) + StringSize(record.lpRemoteName) +
         StringSize(record.lpComment) + StringSize(record.lpProvider);
}

NetworkPort& PlatformNetwork() {
  NetworkPort* installed = gInstalledNetwork.load();
  return installed != nullptr ? *installed : SystemNetwork();
}

void SetPlatformNetwork(NetworkPort* network) {
  gInstalledNetwork.store(network);
}

}  // namespace mv
