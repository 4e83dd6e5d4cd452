// Registry values of the program: see app_registry.h.
#include "app/win32/app_registry.h"

#include <windows.h>

#include <vector>

#include "app/app_paths.h"
#include "app/win32/system_paths.h"

namespace mv {
namespace {

// Stores text as REG_SZ: its characters without the terminating zero.
void SetStringValue(HKEY key, const char* name, const std::string& text) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                 static_cast<DWORD>(text.size()));
}

}  // namespace

std::string ReadAppRegistryValue(const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kAppRegistryKey, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return std::string();
  }
  // Sized by the value itself, so that no length of stored data can overrun the buffer;
  // the text ends at the first zero byte, stored or not.
  std::string text;
  DWORD size = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                         &size) == ERROR_SUCCESS) {
      text.assign(data.data());
    }
  }
  RegCloseKey(key);
  return text;
}

void WriteAppRegistryValue(const std::string& name, const std::string& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kAppRegistryKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  SetStringValue(key, name.c_str(), text);
  RegCloseKey(key);
}

void SetAutorun(bool on) {
  HKEY key = nullptr;
  // Created when missing: a fresh profile may have no Run key yet.
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  if (on) {
    SetStringValue(key, kRunValueName, AutorunCommandFor(ExecutablePath()));
  } else {
    RegDeleteValueA(key, kRunValueName);
  }
  RegCloseKey(key);
}

}  // namespace mv
