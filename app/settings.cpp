// Reading and writing the settings: see settings.h.
#include "app/settings.h"

#include "app/app_paths.h"
#include "core/text.h"

namespace mv {

Settings LoadSettings(const SettingsFile& file, const std::string& documentsFolder) {
  Settings settings;
  settings.snapshotsDirectory = file.Read(kSnapshotDirKey);
  if (settings.snapshotsDirectory.empty()) {
    settings.snapshotsDirectory = AppFolderIn(documentsFolder);
  }
  settings.autorun = ParseIntLikeAtoi(file.Read(kAutorunKey)) != 0;
  settings.showInTray = ParseIntLikeAtoi(file.Read(kShowInTrayKey)) != 0;
  return settings;
}

void SaveSettings(SettingsFile& file, const Settings& settings) {
  file.Write(kSnapshotDirKey, settings.snapshotsDirectory);
  file.Write(kAutorunKey, settings.autorun ? "1" : "0");
  file.Write(kShowInTrayKey, settings.showInTray ? "1" : "0");
}

}  // namespace mv
