// How the program's three settings are read from and written to the settings file: read
// once at start-up, changed by the Settings dialog, written once at exit.
#pragma once

#include <string>

#include "platform/settings_file.h"
#include "ui/window_settings.h"

namespace mv {

inline constexpr char kSettingsSection[] = "main";
inline constexpr char kSnapshotDirKey[] = "snapshot_dir";
inline constexpr char kAutorunKey[] = "autorun";
inline constexpr char kShowInTrayKey[] = "showintray";

// Missing keys take the defaults: the documents folder's Mirrorvault folder (an empty
// snapshot_dir counts as missing), autorun and tray off. The switches are read as atoi
// reads them: any number but 0 is on.
Settings LoadSettings(const SettingsFile& file, const std::string& documentsFolder);

// Writes all three keys; the switches as "0" or "1".
void SaveSettings(SettingsFile& file, const Settings& settings);

}  // namespace mv
