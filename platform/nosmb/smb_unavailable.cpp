// Builds without an SMB client: Windows, where UNC paths and the network are live through
// Windows itself, and Linux machines without Samba's client library.
#include "platform/smb_client.h"

namespace mv {

std::unique_ptr<SmbClient> OpenSmbClient(const SmbOptions&, FileSystem&, std::string& error) {
  error =
      "this build has no SMB client (on Windows, shares are read through their UNC paths; on "
      "Linux, build with Samba's client library, libsmbclient)";
  return nullptr;
}

std::string AuthFileWarning(const std::string&) {
  return {};
}

}  // namespace mv
