// A network held in memory behind the network port: a tree of resource records served
// the way a network provider serves them, for the native tests, the benchmarks and the
// Linux build. Build it first; then any number of threads may enumerate it at once.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/network.h"
#include "platform/network_description.h"

namespace mv {

class InMemoryNetwork : public NetworkPort {
 public:
  using Node = std::size_t;
  static constexpr Node kRoot = 0;  // the root of the network: what a null container opens

  // Where a hook is called, on the enumerating thread.
  enum class HookPoint { kOpen, kBatch };
  using Hook = std::function<void(HookPoint point, Node container)>;

  InMemoryNetwork();
  ~InMemoryNetwork() override;

  // Adds record as the last child of parent. A container is opened again by its provider
  // and remote name, so those should not repeat among containers.
  Node Add(Node parent, NetResource record);

  // The records a Windows network provider gives, with their remote names:
  Node AddProvider(const std::string& name);              // display type 6, at the root
  Node AddGroup(Node provider, const std::string& name);  // type 1, remote name = name
  Node AddComputer(Node group, const std::string& name);  // type 2, remote name \\name
  Node AddShare(Node computer, const std::string& computerName,
                const std::string& name);  // type 3, remote name \\computer\name

  // Adds the described groups under a provider of that name.
  void AddDescribed(const NetworkDescription& description, const std::string& providerName);

  // Faults, delays and hooks; set them before enumerating.
  void FailOpen(Node container);
  void FailBatches(Node container);
  void SetOpenDelay(Node container, unsigned milliseconds);
  void SetHook(Hook hook);

  const NetResource& Record(Node node) const;
  const std::vector<Node>& Children(Node node) const;
  std::size_t NodeCount() const;

  // Enumerations open now, and opened in all.
  int OpenEnumerations() const { return open_.load(); }
  int EnumerationsOpened() const { return opened_.load(); }

  std::unique_ptr<NetworkEnumeration> OpenEnumeration(const NetResource* container) override;

 private:
  class Enumeration;
  struct Entry {
    NetResource record;
    std::vector<Node> children;
    bool failOpen = false;
    bool failBatches = false;
    unsigned openDelay = 0;
  };

  static std::string ContainerKey(const NetResource& record);
  void CallHook(HookPoint point, Node container) const;

  std::vector<Entry> nodes_;
  std::unordered_map<std::string, Node> containers_;
  Hook hook_;
  std::atomic<int> open_{0};
  std::atomic<int> opened_{0};
};

}  // namespace mv
