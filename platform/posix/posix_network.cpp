// The network on Linux: there is no Windows network to browse, so the system's network is
// empty; a described one is installed with SetPlatformNetwork.
#include "platform/memory/in_memory_network.h"
#include "platform/network.h"

namespace mv {

NetworkPort& SystemNetwork() {
  static InMemoryNetwork* const empty = new InMemoryNetwork();
  return *empty;
}

}  // namespace mv
