// The in-memory network: batches are cut by the same size rule as WNetEnumResourceA's, so
// the scan sees short batches and "more data" answers as it would on Windows.
#include "platform/memory/in_memory_network.h"

#include <cstring>

#include "platform/threading.h"

namespace mv {

class InMemoryNetwork::Enumeration : public NetworkEnumeration {
 public:
  Enumeration(InMemoryNetwork& network, Node container)
      : network_(network), container_(container) {}
  ~Enumeration() override { Close(); }

  NetEnumStatus NextBatch(std::span<std::byte> buffer, std::uint32_t offeredBytes,
                          std::uint32_t& count, std::vector<NetResource>& records) override {
    records.clear();
    network_.CallHook(HookPoint::kBatch, container_);
    const Entry& entry = network_.nodes_[container_];
    if (closed_ || entry.failBatches || offeredBytes > buffer.size()) return NetEnumStatus::kError;
    if (next_ >= entry.children.size()) return NetEnumStatus::kNoMoreItems;
    std::size_t used = 0;
    while (next_ < entry.children.size() && records.size() < count) {
      const NetResource& record = network_.nodes_[entry.children[next_]].record;
      const std::size_t size = NetResourceBufferSize(record);
      if (used + size > offeredBytes) break;
      used += size;
      records.push_back(record);
      ++next_;
    }
    if (records.empty()) return NetEnumStatus::kMoreData;
    // Mark the bytes a platform would have written, so a caller that reads its buffer
    // sees it was used.
    std::memset(buffer.data(), 0xA5, used);
    count = static_cast<std::uint32_t>(records.size());
    return NetEnumStatus::kSuccess;
  }

  bool Close() override {
    if (closed_) return false;
    closed_ = true;
    --network_.open_;
    return true;
  }

 private:
  InMemoryNetwork& network_;
  Node container_;
  std::size_t next_ = 0;
  bool closed_ = false;
};

InMemoryNetwork::InMemoryNetwork() {
  nodes_.emplace_back();
}
InMemoryNetwork::~InMemoryNetwork() = default;

std::string InMemoryNetwork::ContainerKey(const NetResource& record) {
  return record.lpProvider.value_or("") + '\n' + record.lpRemoteName.value_or("");
}

InMemoryNetwork::Node InMemoryNetwork::Add(Node parent, NetResource record) {
  const Node node = nodes_.size();
  containers_.emplace(ContainerKey(record), node);
  nodes_.push_back(Entry{std::move(record), {}});
  nodes_[parent].children.push_back(node);
  return node;
}

InMemoryNetwork::Node InMemoryNetwork::AddProvider(const std::string& name) {
  return Add(kRoot, NetResource{kResourceScopeGlobalNet, kResourceTypeAny, kDisplayTypeNetwork,
                                kResourceUsageContainer, std::nullopt, name, std::nullopt, name});
}

InMemoryNetwork::Node InMemoryNetwork::AddGroup(Node provider, const std::string& name) {
  return Add(provider, NetResource{kResourceScopeGlobalNet, kResourceTypeAny, kDisplayTypeDomain,
                                   kResourceUsageContainer, std::nullopt, name, std::nullopt,
                                   nodes_[provider].record.lpProvider});
}

InMemoryNetwork::Node InMemoryNetwork::AddComputer(Node group, const std::string& name) {
  return Add(group, NetResource{kResourceScopeGlobalNet, kResourceTypeAny, kDisplayTypeServer,
                                kResourceUsageContainer, std::nullopt, "\\\\" + name, std::nullopt,
                                nodes_[group].record.lpProvider});
}

InMemoryNetwork::Node InMemoryNetwork::AddShare(Node computer, const std::string& computerName,
                                                const std::string& name) {
  return Add(computer, NetResource{kResourceScopeGlobalNet, kResourceTypeDisk, kDisplayTypeShare,
                                   kResourceUsageConnectable, std::nullopt,
                                   "\\\\" + computerName + "\\" + name, std::nullopt,
                                   nodes_[computer].record.lpProvider});
}

void InMemoryNetwork::AddDescribed(const NetworkDescription& description,
                                   const std::string& providerName) {
  const Node provider = AddProvider(providerName);
  for (const DescribedGroup& group : description.groups) {
    const Node groupNode = AddGroup(provider, group.name);
    for (const DescribedComputer& computer : group.computers) {
      const Node computerNode = AddComputer(groupNode, computer.name);
      for (const std::string& share : computer.shares) {
        AddShare(computerNode, computer.name, share);
      }
    }
  }
}

void InMemoryNetwork::FailOpen(Node container) {
  nodes_[container].failOpen = true;
}
void InMemoryNetwork::FailBatches(Node container) {
  nodes_[container].failBatches = true;
}
void InMemoryNetwork::SetOpenDelay(Node container, unsigned milliseconds) {
  nodes_[container].openDelay = milliseconds;
}
void InMemoryNetwork::SetHook(Hook hook) {
  hook_ = std::move(hook);
}

const NetResource& InMemoryNetwork::Record(Node node) const {
  return nodes_[node].record;
}
const std::vector<InMemoryNetwork::Node>& InMemoryNetwork::Children(Node node) const {
  return nodes_[node].children;
}
std::size_t InMemoryNetwork::NodeCount() const {
  return nodes_.size();
}

void InMemoryNetwork::CallHook(HookPoint point, Node container) const {
  if (hook_) hook_(point, container);
}

std::unique_ptr<NetworkEnumeration> InMemoryNetwork::OpenEnumeration(const NetResource* container) {
  Node node = kRoot;
  if (container != nullptr) {
    const auto found = containers_.find(ContainerKey(*container));
    if (found == containers_.end()) return nullptr;
    node = found->second;
  }
  CallHook(HookPoint::kOpen, node);
  const Entry& entry = nodes_[node];
  if (entry.openDelay > 0) SleepMilliseconds(entry.openDelay);
  if (entry.failOpen) return nullptr;
  ++open_;
  ++opened_;
  return std::make_unique<Enumeration>(*this, node);
}

}  // namespace mv
