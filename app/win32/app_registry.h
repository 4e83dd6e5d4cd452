// The program's registry values under HKEY_CURRENT_USER: its own key "Software\Mirrorvault"
// (the first-run marker) and the Run entry that starts it at logon.
#pragma once

#include <string>

namespace mv {

inline constexpr char kAppRegistryKey[] = "Software\\Mirrorvault";
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValueName[] = "Mirror Vault";

// The value's text; empty when the key or the value is missing.
std::string ReadAppRegistryValue(const std::string& name);

// Creates the key when missing and stores text as a string value. Failures are ignored.
void WriteAppRegistryValue(const std::string& name, const std::string& text);

// On: the Run entry holds the quoted path of the running executable. Off: the entry is
// deleted (its absence is no error). Failures are ignored.
void SetAutorun(bool on);
// As SetAutorun, for the executable at path (UTF-8, any characters).
void SetAutorunFor(const std::string& executable, bool on);

}  // namespace mv
