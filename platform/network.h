// The network port: the Windows network as WNetOpenEnumA / WNetEnumResourceA /
// WNetCloseEnum present it, one container at a time, in batches of resource records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mv {

// NETRESOURCE field values the scan relies on.
inline constexpr std::uint32_t kResourceScopeGlobalNet = 2;  // RESOURCE_GLOBALNET
inline constexpr std::uint32_t kResourceTypeAny = 0;         // RESOURCETYPE_ANY
inline constexpr std::uint32_t kResourceTypeDisk = 1;        // RESOURCETYPE_DISK
inline constexpr std::uint32_t kResourceUsageConnectable = 1;
inline constexpr std::uint32_t kResourceUsageContainer = 2;
inline constexpr std::uint32_t kDisplayTypeGeneric = 0;
inline constexpr std::uint32_t kDisplayTypeDomain = 1;   // a group: domain or workgroup
inline constexpr std::uint32_t kDisplayTypeServer = 2;   // a computer
inline constexpr std::uint32_t kDisplayTypeShare = 3;    // a shared folder
inline constexpr std::uint32_t kDisplayTypeNetwork = 6;  // a network provider

// Count argument of a batch call that asks for as many records as fit.
inline constexpr std::uint32_t kEnumAllRecords = 0xFFFFFFFF;

// One NETRESOURCEA with its own copies of the strings. An absent string (a null pointer
// in the platform's record) stays absent, so a record handed back to open a container is
// the one the platform gave.
struct NetResource {
  std::uint32_t dwScope = 0;
  std::uint32_t dwType = 0;
  std::uint32_t dwDisplayType = 0;
  std::uint32_t dwUsage = 0;
  std::optional<std::string> lpLocalName;
  std::optional<std::string> lpRemoteName;
  std::optional<std::string> lpComment;
  std::optional<std::string> lpProvider;
};

// The bytes one record takes in a batch buffer: the fixed NETRESOURCEA part of this build
// and each present string with its NUL.
std::size_t NetResourceBufferSize(const NetResource& record);

enum class NetEnumStatus {
  kSuccess,      // records were returned
  kNoMoreItems,  // the container has no further records
  kMoreData,     // the next record alone does not fit in the bytes offered
  kError,        // any other failure
};

// An open enumeration of one container. Destroying it closes it if Close was not called.
class NetworkEnumeration {
 public:
  virtual ~NetworkEnumeration() = default;

  // One WNetEnumResourceA call: offers the first offeredBytes of buffer (at most its
  // size) to the platform. count asks for at most that many records (kEnumAllRecords: as
  // many as fit) and on success holds how many came back. records receives copies of the
  // records, in the platform's order, replacing what it held.
  virtual NetEnumStatus NextBatch(std::span<std::byte> buffer, std::uint32_t offeredBytes,
                                  std::uint32_t& count, std::vector<NetResource>& records) = 0;

  // WNetCloseEnum; true when the enumeration closed without error.
  virtual bool Close() = 0;
};

class NetworkPort {
 public:
  virtual ~NetworkPort() = default;
  // WNetOpenEnumA with scope RESOURCE_GLOBALNET, type RESOURCETYPE_ANY and usage 0, of
  // container, or of the root of the network when container is null. Null when the
  // platform refuses to open it. May be called from many threads at once.
  virtual std::unique_ptr<NetworkEnumeration> OpenEnumeration(const NetResource* container) = 0;
};

// The network the program browses: the one installed with SetPlatformNetwork, else the
// system's own.
NetworkPort& PlatformNetwork();

// Installs a network in place of the system's (a described network for the Linux build,
// tests). It must outlive every use; null goes back to the system's network.
void SetPlatformNetwork(NetworkPort* network);

// The system's network: the WNet functions on Windows; an empty network on Linux.
NetworkPort& SystemNetwork();

}  // namespace mv
