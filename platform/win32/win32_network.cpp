// The network on Windows: WNetOpenEnumW / WNetEnumResourceW / WNetCloseEnum (mpr), the
// records' texts in UTF-8 on the port's side.
#include <windows.h>
#include <winnetwk.h>

#include "platform/network.h"
#include "platform/win32/win32_system_path.h"

namespace mv {
namespace {

std::optional<std::string> CopyText(const wchar_t* text) {
  if (text == nullptr) return std::nullopt;
  return win32::Utf8FromWide(text);
}

std::optional<std::wstring> WideText(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  return win32::WideFromUtf8(*text);
}

wchar_t* TextOrNull(std::optional<std::wstring>& text) {
  // WNetOpenEnumW takes the record's strings as non-const pointers but only reads them.
  return text ? text->data() : nullptr;
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
    const DWORD result = WNetEnumResourceW(handle_, &entries, buffer.data(), &size);
    if (result == ERROR_NO_MORE_ITEMS) return NetEnumStatus::kNoMoreItems;
    if (result == ERROR_MORE_DATA) return NetEnumStatus::kMoreData;
    if (result != NO_ERROR) return NetEnumStatus::kError;
    const auto* found = reinterpret_cast<const NETRESOURCEW*>(buffer.data());
    for (DWORD i = 0; i < entries; ++i) {
      const NETRESOURCEW& r = found[i];
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
    NETRESOURCEW record{};
    // The wide texts live until the enumeration is opened.
    std::optional<std::wstring> local, remote, comment, provider;
    if (container != nullptr) {
      local = WideText(container->lpLocalName);
      remote = WideText(container->lpRemoteName);
      comment = WideText(container->lpComment);
      provider = WideText(container->lpProvider);
      record.dwScope = container->dwScope;
      record.dwType = container->dwType;
      record.dwDisplayType = container->dwDisplayType;
      record.dwUsage = container->dwUsage;
      record.lpLocalName = TextOrNull(local);
      record.lpRemoteName = TextOrNull(remote);
      record.lpComment = TextOrNull(comment);
      record.lpProvider = TextOrNull(provider);
    }
    HANDLE handle = nullptr;
    const DWORD result = WNetOpenEnumW(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0,
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
