// A network provider that serves a described network: groups at its top, their computers,
// and the computers' shares, as Unicode NETRESOURCEW records. The provider's registry key
// (Services\MirrorvaultSample\NetworkProvider) names it ("Name") and its description file
// ("DescriptionFile"); tools/sample-network/register.sh writes both.
#include <windows.h>
#include <winnetwk.h>
// npapi.h declares the entry points without C linkage.
extern "C" {
#include <npapi.h>
}

#include <memory>
#include <string>
#include <vector>

#include "platform/network_description.h"

namespace {

constexpr wchar_t kProviderKey[] =
    L"System\\CurrentControlSet\\Services\\MirrorvaultSample\\NetworkProvider";
constexpr DWORD kSampleNetType = 0x00FE0000;  // no real network type uses it

std::wstring ReadProviderValue(const wchar_t* name) {
  wchar_t value[1024];
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kProviderKey, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return std::wstring();
  }
  return value;
}

std::wstring Widen(const std::string& text) {
  const int length =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

bool LoadDescription(mv::NetworkDescription& description) {
  const std::wstring path = ReadProviderValue(L"DescriptionFile");
  if (path.empty()) return false;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string text;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) text.append(chunk, read);
  CloseHandle(file);
  std::string error;
  return mv::ParseNetworkDescription(text, description, error);
}

struct Record {
  DWORD displayType;
  DWORD type;
  DWORD usage;
  std::wstring remoteName;
};

// One open enumeration: the records of its container, and how far the caller has read.
struct Enumeration {
  std::wstring provider;
  std::vector<Record> records;
  std::size_t next = 0;
};

bool SameName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The records of the container that remoteName names: null or empty is the provider's top.
bool CollectRecords(const mv::NetworkDescription& description, const wchar_t* remoteName,
                    std::vector<Record>& records) {
  const std::wstring container = remoteName != nullptr ? remoteName : L"";
  if (container.empty()) {
    for (const auto& group : description.groups) {
      records.push_back({RESOURCEDISPLAYTYPE_DOMAIN, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER,
                         Widen(group.name)});
    }
    return true;
  }
  for (const auto& group : description.groups) {
    if (SameName(container, Widen(group.name))) {
      for (const auto& computer : group.computers) {
        records.push_back({RESOURCEDISPLAYTYPE_SERVER, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER,
                           L"\\\\" + Widen(computer.name)});
      }
      return true;
    }
    for (const auto& computer : group.computers) {
      const std::wstring computerName = L"\\\\" + Widen(computer.name);
      if (!SameName(container, computerName)) continue;
      for (const auto& share : computer.shares) {
        records.push_back({RESOURCEDISPLAYTYPE_SHARE, RESOURCETYPE_DISK, RESOURCEUSAGE_CONNECTABLE,
                           computerName + L"\\" + Widen(share)});
      }
      return true;
    }
  }
  return false;
}

DWORD StringBytes(const std::wstring& text) {
  return static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
}

}  // namespace

extern "C" {

DWORD WINAPI NPGetCaps(DWORD index) {
  switch (index) {
    case WNNC_SPEC_VERSION:
      return WNNC_SPEC_VERSION51;
    case WNNC_NET_TYPE:
      return kSampleNetType;
    case WNNC_ENUMERATION:
      return WNNC_ENUM_GLOBAL;
    case WNNC_START:
      return 1;  // started
    default:
      return 0;
  }
}

DWORD WINAPI NPOpenEnum(DWORD scope, DWORD, DWORD, LPNETRESOURCEW container, LPHANDLE handle) {
  if (handle == nullptr) return WN_BAD_VALUE;
  if (scope != RESOURCE_GLOBALNET) return WN_NOT_SUPPORTED;
  mv::NetworkDescription description;
  if (!LoadDescription(description)) return WN_NO_NETWORK;
  auto enumeration = std::make_unique<Enumeration>();
  enumeration->provider = ReadProviderValue(L"Name");
  if (!CollectRecords(description, container != nullptr ? container->lpRemoteName : nullptr,
                      enumeration->records)) {
    return WN_BAD_NETNAME;
  }
  *handle = enumeration.release();
  return WN_SUCCESS;
}

// Records go at the start of the buffer, their strings at its end, as WNetEnumResource
// callers expect.
DWORD WINAPI NPEnumResource(HANDLE handle, LPDWORD count, LPVOID buffer, LPDWORD bufferSize) {
  if (handle == nullptr || count == nullptr || buffer == nullptr || bufferSize == nullptr) {
    return WN_BAD_VALUE;
  }
  auto* enumeration = static_cast<Enumeration*>(handle);
  if (enumeration->next >= enumeration->records.size()) return WN_NO_MORE_ENTRIES;
  auto* out = static_cast<NETRESOURCEW*>(buffer);
  // Strings are UTF-16: keep them on even addresses whatever size was offered.
  auto* stringsEnd = reinterpret_cast<BYTE*>(buffer) + (*bufferSize & ~DWORD{1});
  BYTE* recordsEnd = reinterpret_cast<BYTE*>(buffer);
  DWORD returned = 0;
  while (returned < *count && enumeration->next < enumeration->records.size()) {
    const Record& record = enumeration->records[enumeration->next];
    const DWORD needed = static_cast<DWORD>(sizeof(NETRESOURCEW)) + StringBytes(record.remoteName) +
                         StringBytes(enumeration->provider);
    if (static_cast<DWORD>(stringsEnd - recordsEnd) < needed) break;
    auto copyString = [&](const std::wstring& text) {
      stringsEnd -= StringBytes(text);
      CopyMemory(stringsEnd, text.c_str(), StringBytes(text));
      return reinterpret_cast<LPWSTR>(stringsEnd);
    };
    NETRESOURCEW& resource = out[returned];
    resource.dwScope = RESOURCE_GLOBALNET;
    resource.dwType = record.type;
    resource.dwDisplayType = record.displayType;
    resource.dwUsage = record.usage;
    resource.lpLocalName = nullptr;
    resource.lpComment = nullptr;
    resource.lpRemoteName = copyString(record.remoteName);
    resource.lpProvider = copyString(enumeration->provider);
    recordsEnd += sizeof(NETRESOURCEW);
    ++returned;
    ++enumeration->next;
  }
  if (returned == 0) {
    // Not even the next record fits: say how many bytes it needs, and return no count. The
    // router reads a count that comes with WN_MORE_DATA as records in the buffer and converts
    // that many for an ANSI caller; with none there, it would read whatever the buffer held.
    const Record& record = enumeration->records[enumeration->next];
    *bufferSize = static_cast<DWORD>(sizeof(NETRESOURCEW)) + StringBytes(record.remoteName) +
                  StringBytes(enumeration->provider);
    *count = 0xFFFFFFFF;
    return WN_MORE_DATA;
  }
  *count = returned;
  return WN_SUCCESS;
}

DWORD WINAPI NPCloseEnum(HANDLE handle) {
  delete static_cast<Enumeration*>(handle);
  return WN_SUCCESS;
}

}  // extern "C"
