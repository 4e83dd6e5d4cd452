// Registry values of the program: see app_registry.h.
#include "app/win32/app_registry.h"

#include <windows.h>

#include <vector>

#include "app/app_paths.h"
#include "app/win32/system_paths.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

std::wstring Wide(const std::string& text) {
  return WideFromText(text, NameEncoding::kUtf8);
}

// Stores text (UTF-8) as REG_SZ through the wide function, so that every character of a path
// reaches the value: its characters without the terminating zero.
void SetStringValue(HKEY key, const char* name, const std::string& text) {
  const std::wstring wide = Wide(text);
  RegSetValueExW(key, Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.data()),
                 static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
}

}  // namespace

std::string ReadAppRegistryValue(const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(kAppRegistryKey).c_str(), 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return std::string();
  }
  // Sized by the value itself, so that no length of stored data can overrun the buffer;
  // the text ends at the first zero character, stored or not.
  std::string text;
  const std::wstring wideName = Wide(name);
  DWORD size = 0;
  if (RegQueryValueExW(key, wideName.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
      text = TextFromWide(std::wstring_view(data.data()), NameEncoding::kUtf8);
    }
  }
  RegCloseKey(key);
  return text;
}

void WriteAppRegistryValue(const std::string& name, const std::string& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(kAppRegistryKey).c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  SetStringValue(key, name.c_str(), text);
  RegCloseKey(key);
}

void SetAutorunFor(const std::string& executable, bool on) {
  HKEY key = nullptr;
  // Created when missing: a fresh profile may have no Run key yet.
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(kRunKey).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  if (on) {
    SetStringValue(key, kRunValueName, AutorunCommandFor(executable));
  } else {
    RegDeleteValueW(key, Wide(kRunValueName).c_str());
  }
  RegCloseKey(key);
}

void SetAutorun(bool on) {
  SetAutorunFor(on ? ExecutablePath() : std::string(), on);
}

}  // namespace mv
