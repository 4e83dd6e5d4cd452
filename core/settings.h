// The program's three settings and how they are read from and written to the settings
// file: read once at start-up, changed by the Settings dialog, written once at exit.
#pragma once

#include <string>

#include "platform/settings_file.h"

namespace mv {

inline constexpr char kSettingsSection[] = "main";
inline constexpr char kSnapshotDirKey[] = "snapshot_dir";
inline constexpr char kAutorunKey[] = "autorun";
inline constexpr char kShowInTrayKey[] = "showintray";

struct Settings {
  // Where snapshot files are written, listed and loaded from. Never cut, however long.
  std::string snapshotsDirectory;
  bool autorun = false;     // the Run entry starts the program at logon
  bool showInTray = false;  // a notification-area icon; the close box then only hides
};

// Missing keys take the defaults: the documents folder's Mirrorvault folder (an empty
// snapshot_dir counts as missing), autorun and tray off. The switches are read as atoi
// reads them: any number but 0 is on.
Settings LoadSettings(const SettingsFile& file, const std::string& documentsFolder);

// Writes all three keys; the switches as "0" or "1".
void SaveSettings(SettingsFile& file, const Settings& settings);

}  // namespace mv
