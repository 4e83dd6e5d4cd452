// Start-up paths: see app_paths.h.
#include "app/app_paths.h"

namespace mv {

std::string AppFolderIn(const std::string& documentsFolder) {
  return documentsFolder + "\\" + kAppFolderName;
}

std::string ConfigFilePathIn(const std::string& documentsFolder) {
  return AppFolderIn(documentsFolder) + "\\" + kConfigFileName;
}

std::string HelpFilePathFor(const std::string& executablePath) {
  const std::size_t slash = executablePath.find_last_of('\\');
  if (slash == std::string::npos || slash == 0) return kHelpFileName;
  return executablePath.substr(0, slash + 1) + kHelpFileName;
}

std::string AutorunCommandFor(const std::string& executablePath) {
  return "\"" + executablePath + "\"";
}

}  // namespace mv
