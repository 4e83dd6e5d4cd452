// The network on Windows: WNetOpenEnumA / WNetEnumResourceA / WNetCloseEnum (mpr).
#include <windows.h>
#include <winnetwk.h>

#include "platform/network.h"

namespace mv {
namespace {

std::optional<std::string> CopyText(const char* text) {
  if (text == nullptr) return std::nullopt;
  return std::string(text);
}

char* TextOrNull(const std::optional<std::string>& text) {
  // WNetOpenEnumA takes the record's strings as non-const pointers but only reads them.
  return text ? const_cast<char*>(text->c_str()) : nullptr;
}

class Win32Enumeration : public NetworkEnumeration {
 public:
  explicit Win32Enumeration(HANDLE handle) : handle_(handle) {}
  ~Win32Enumeration() override { Close(); }

  NetEnumStatus NextBatch(std::span<std::byte> buffer, std::uint32_t offeredBytes,
                          std::uint32_t& count, std::vector<NetResource>& records) override {
    records.clear();
    if (handle_ == nullptr || offeredBytes > buffer.size()) return NetEnumStatus::kError;
    DWORD entries = count;
    DWORD size = offeredBytes;
    const DWORD result = WNetEnumResourceA(handle_, &entries, buffer.data(), &size);
    if (result == ERROR_NO_MORE_ITEMS) return NetEnumStatus::kNoMoreItems;
    if (result == ERROR_MORE_DATA) return NetEnumStatus::kMoreData;
    if (result != NO_ERROR) return NetEnumStatus::kError;
    const auto* found = reinterpret_cast<const NETRESOURCEA*>(buffer.data());
    for (DWORD i = 0; i < entries; ++i) {
      const NETRESOURCEA& r = found[i];
      records.push_back(NetResource{r.dwScope, r.dwType, r.dwDisplayType, r.dwUsage,
                                    CopyText(r.lpLocalName), CopyText(r.lpRemoteName),
                                    CopyText(r.lpComment), CopyText(r.lpProvider)});
    }
    count = entries;
    return NetEnumStatus::kSuccess;
  }

  bool Close() override {
    if (handle_ == nullptr) return false;
    const DWORD result = WNetCloseEnum(handle_);
    handle_ = nullptr;
    return result == NO_ERROR;
  }

 private:
  HANDLE handle_;
};

class Win32Network : public NetworkPort {
 public:
  std::unique_ptr<NetworkEnumeration> OpenEnumeration(const NetResource* container) override {
    NETRESOURCEA record{};
    if (container != nullptr) {
      record.dwScope = container->dwScope;
      record.dwType = container->dwType;
      record.dwDisplayType = container->dwDisplayType;
      record.dwUsage = container->dwUsage;
      record.lpLocalName = TextOrNull(container->lpLocalName);
      record.lpRemoteName = TextOrNull(container->lpRemoteName);
      record.lpComment = TextOrNull(container->lpComment);
      record.lpProvider = TextOrNull(container->lpProvider);
    }
    HANDLE handle = nullptr;
    const DWORD result = WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0,
                                       container != nullptr ? &record : nullptr, &handle);
    if (result != NO_ERROR || handle == nullptr) return nullptr;
    return std::make_unique<Win32Enumeration>(handle);
  }
};

}  // namespace

NetworkPort& SystemNetwork() {
  static Win32Network* const network = new Win32Network();
  return *network;
}

}  // namespace mv
