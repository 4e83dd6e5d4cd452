// Containers of the SMB network, read whole from the servers and served in batches by a
// small in-memory network made for each, so that records take the shapes and batches the
// Windows network gives.
#include "platform/smb/smb_network.h"

#include <cerrno>

namespace mv::smb {
namespace {

using Node = InMemoryNetwork::Node;

// Types of the library's browse entries.
constexpr unsigned kBrowsedGroup = SMBC_WORKGROUP;
constexpr unsigned kBrowsedComputer = SMBC_SERVER;
constexpr unsigned kBrowsedDiskShare = SMBC_FILE_SHARE;
constexpr unsigned kBrowsedPrinterShare = SMBC_PRINTER_SHARE;

// Serves one container of a network made for it alone; the network outlives the
// enumeration of it.
class ServedContainer final : public NetworkEnumeration {
 public:
  ServedContainer(std::unique_ptr<InMemoryNetwork> network, Node container)
      : network_(std::move(network)),
        inner_(network_->OpenEnumeration(&network_->Record(container))) {}

  NetEnumStatus NextBatch(std::span<std::byte> buffer, std::uint32_t offeredBytes,
                          std::uint32_t& count, std::vector<NetResource>& records) override {
    return inner_->NextBatch(buffer, offeredBytes, count, records);
  }
  bool Close() override { return inner_->Close(); }

 private:
  std::unique_ptr<InMemoryNetwork> network_;
  std::unique_ptr<NetworkEnumeration> inner_;
};

// What a Windows scan lists of a computer: disk and printer shares, but neither IPC$ nor the
// administrative shares whose names end in "$".
bool IsListedShare(const std::string& name, unsigned type) {
  return (type == kBrowsedDiskShare || type == kBrowsedPrinterShare) && !name.empty() &&
         name.back() != '$';
}

// "\\PC7" -> "PC7".
std::string ComputerName(const NetResource& record) {
  std::string name = record.lpRemoteName.value_or("");
  return name.rfind("\\\\", 0) == 0 ? name.substr(2) : name;
}

// The names of a container's listing an altered one must not take.
template <typename Found>
AlteredNames::Taken TakenAmong(const std::vector<Found>& found) {
  std::vector<std::string> names;
  for (const Found& item : found) names.push_back(item.name);
  return AlteredNames::AmongListed(names);
}

}  // namespace

SmbNetwork::SmbNetwork(SmbSession& session, UncNames& names, const NetworkDescription& given)
    : session_(session), names_(names), browse_(given.groups.empty()) {
  NetworkDescription withoutShares = given;
  for (DescribedGroup& group : withoutShares.groups) {
    for (DescribedComputer& computer : group.computers) computer.shares.clear();
  }
  given_.AddDescribed(withoutShares, kSmbProviderName);
}

std::unique_ptr<NetworkEnumeration> SmbNetwork::OpenEnumeration(const NetResource* container) {
  if (container != nullptr && container->dwDisplayType == kDisplayTypeServer) {
    return Shares(ComputerName(*container));
  }
  if (container == nullptr || !browse_) return given_.OpenEnumeration(container);
  return Browsed(*container);
}

std::vector<UnlistedComputer> SmbNetwork::UnlistedComputers() const {
  std::lock_guard lock(unlistedMutex_);
  return unlisted_;
}

bool SmbNetwork::Read(const std::string& url, std::vector<Found>& found) {
  auto lock = SmbSession::Lock();
  SMBCCTX* context = session_.Context();
  if (context == nullptr) {
    errno = EIO;
    return false;
  }
  SMBCFILE* dir = Smb().smbc_getFunctionOpendir(context)(context, url.c_str());
  if (dir == nullptr) return false;
  const smbc_readdir_fn next = Smb().smbc_getFunctionReaddir(context);
  while (const smbc_dirent* entry = next(context, dir)) {
    found.push_back(Found{entry->name, entry->smbc_type});
  }
  Smb().smbc_getFunctionClosedir(context)(context, dir);
  return true;
}

std::unique_ptr<NetworkEnumeration> SmbNetwork::Shares(const std::string& computer) {
  std::string url;
  std::vector<Found> found;
  if (!names_.ToUrl("\\\\" + computer, url)) return nullptr;
  if (!Read(url, found)) {
    // Any logon may list the shares, so a refusal here is a refusal of the credentials.
    const IoError error =
        errno == EACCES || errno == EPERM ? IoError::kLogonRefused : FromSmbErrno(errno);
    std::lock_guard lock(unlistedMutex_);
    unlisted_.push_back(UnlistedComputer{computer, error});
    return nullptr;
  }
  auto network = std::make_unique<InMemoryNetwork>();
  const Node provider = network->AddProvider(kSmbProviderName);
  const Node node = network->AddComputer(network->AddGroup(provider, ""), computer);
  const std::string computerPath = "\\\\" + computer;
  const AlteredNames::Taken taken = TakenAmong(found);
  for (const Found& share : found) {
    if (!IsListedShare(share.name, share.type)) continue;
    std::string name;
    names_.FromServer(computerPath, share.name, name, taken);
    network->AddShare(node, computer, name);
  }
  return std::make_unique<ServedContainer>(std::move(network), node);
}

std::unique_ptr<NetworkEnumeration> SmbNetwork::Browsed(const NetResource& container) {
  const bool groups = container.dwDisplayType == kDisplayTypeNetwork;
  if (!groups && container.dwDisplayType != kDisplayTypeDomain) return nullptr;
  // "smb://" lists the groups the master browsers know; "smb://GROUP" a group's computers.
  std::string url = "smb://";
  const std::string groupName = container.lpRemoteName.value_or("");
  if (!groups && !names_.ToUrl("\\\\" + groupName, url)) return nullptr;
  std::vector<Found> found;
  if (!Read(url, found)) return nullptr;

  auto network = std::make_unique<InMemoryNetwork>();
  const Node provider = network->AddProvider(kSmbProviderName);
  const Node group = groups ? provider : network->AddGroup(provider, groupName);
  const AlteredNames::Taken taken = TakenAmong(found);
  for (const Found& item : found) {
    std::string name;
    if (groups && item.type == kBrowsedGroup) {
      names_.FromServer("", item.name, name, taken);
      network->AddGroup(provider, name);
    } else if (!groups && item.type == kBrowsedComputer) {
      names_.FromServer("", item.name, name, taken);
      network->AddComputer(group, name);
    }
  }
  return std::make_unique<ServedContainer>(std::move(network), group);
}

}  // namespace mv::smb
