// The SMB client of the Linux build: one session (the credentials of the authentication
// file, or guest), the names between servers and ports, and the two ports over them.
#include <sys/stat.h>

#include <memory>

#include "platform/smb/smb_file_system.h"
#include "platform/smb/smb_library.h"
#include "platform/smb/smb_network.h"
#include "platform/smb/smb_session.h"
#include "platform/smb/unc_names.h"
#include "platform/smb/unc_routing_file_system.h"
#include "platform/smb_client.h"

namespace mv {
namespace {

// The servers named on the command line or in the network description.
smb::CredentialScope CredentialScopeOf(const SmbOptions& options) {
  smb::CredentialScope scope;
  scope.servers = options.namedServers;
  for (const DescribedGroup& group : options.computers.groups) {
    for (const DescribedComputer& computer : group.computers)
      scope.servers.push_back(computer.name);
  }
  scope.browsedToo = options.credentialsToBrowsed;
  return scope;
}

class LibSmbClient final : public SmbClient {
 public:
  LibSmbClient(std::unique_ptr<smb::SmbCredentials> credentials, const SmbOptions& options,
               FileSystem& local)
      : session_(std::move(credentials), options.port, CredentialScopeOf(options)),
        shares_(session_, names_),
        fileSystem_(shares_, local),
        network_(session_, names_, options.computers) {}

  FileSystem& fileSystem() override { return fileSystem_; }
  NetworkPort& network() override { return network_; }
  std::vector<UnlistedComputer> UnlistedComputers() const override {
    return network_.UnlistedComputers();
  }
  void ForgetCredentials() override { session_.ForgetCredentials(); }

 private:
  smb::UncNames names_;
  smb::SmbSession session_;
  smb::SmbFileSystem shares_;
  smb::UncRoutingFileSystem fileSystem_;
  smb::SmbNetwork network_;
};

}  // namespace

std::string AuthFileWarning(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || (status.st_mode & (S_IRWXG | S_IRWXO)) == 0) return {};
  return "the authentication file " + path +
         " may be read by other users than its owner; make it private (chmod 600)";
}

std::unique_ptr<SmbClient> OpenSmbClient(const SmbOptions& options, FileSystem& local,
                                         std::string& error) {
  if (!smb::LoadSmbLibrary(error)) return nullptr;
  std::unique_ptr<smb::SmbCredentials> credentials;
  if (!options.authFile.empty()) {
    credentials = std::make_unique<smb::SmbCredentials>();
    if (!smb::ReadAuthFile(options.authFile, *credentials, error)) return nullptr;
  }
  return std::make_unique<LibSmbClient>(std::move(credentials), options, local);
}

}  // namespace mv
