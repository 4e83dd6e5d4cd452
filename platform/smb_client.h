// Real SMB shares and servers read from this machine, where the build has an SMB client
// (the Linux build, over Samba's client library). Windows builds have none: there UNC paths
// and the network are live through Windows itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/network.h"
#include "platform/network_description.h"

namespace mv {

struct SmbOptions {
  // A file in smbclient's format (username=, password=, domain=); empty: log on as guest.
  // The credentials are kept for the client's life and never shown.
  std::string authFile;
  // TCP port of the servers; 0 lets the client choose (445, then 139).
  std::uint16_t port = 0;
  // The groups and computers to scan, their shares ignored (they come from the servers);
  // no group: the groups and computers the client can browse.
  NetworkDescription computers;
  // The servers the user named (UTF-8, case ignored), besides those of computers: only
  // these are offered the credentials of authFile. Any other server, such as a computer
  // learned from a browse list, is someone else's say-so and is logged on to as guest,
  // unless credentialsToBrowsed.
  std::vector<std::string> namedServers;
  bool credentialsToBrowsed = false;
};

struct UnlistedComputer {
  std::string name;
  IoError error = IoError::kNone;
};

class SmbClient {
 public:
  virtual ~SmbClient() = default;

  // \\COMPUTER\SHARE\... through SMB (read only), every other path through the local file
  // system the client was opened with. Paths and names are UTF-8, as on every port.
  virtual FileSystem& fileSystem() = 0;

  // The network the client scans: the groups given or browsed, their computers, and the
  // shares each computer announces (not IPC$ nor any name ending in "$").
  virtual NetworkPort& network() = 0;

  // Computers whose shares could not be listed since the client was opened, each with the
  // reason: kLogonRefused when it refused the credentials.
  virtual std::vector<UnlistedComputer> UnlistedComputers() const = 0;

  // Wipes the password from memory and closes every connection, once the job that needed
  // them is over. The client reads nothing more from the servers after it.
  virtual void ForgetCredentials() = 0;
};

// A warning for an authentication file that others than its owner may read (its group or
// everyone): the password in it is theirs too. Empty when there is nothing to say, or where
// the build has no SMB client.
std::string AuthFileWarning(const std::string& path);

// Null, with the reason in error, when this build has no SMB client, its client library
// cannot be loaded (it is loaded here, on first use, not when the program starts), or the
// authentication file cannot be read. local must outlive the
// client.
std::unique_ptr<SmbClient> OpenSmbClient(const SmbOptions& options, FileSystem& local,
                                         std::string& error);

}  // namespace mv
