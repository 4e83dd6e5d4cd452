// Paths start-up derives: the program's folder in the documents folder and the help file
// beside the executable.
#pragma once

#include <string>

namespace mv {

inline constexpr char kAppFolderName[] = "Mirrorvault";
inline constexpr char kHelpFileName[] = "help.chm";

// "<documents>\Mirrorvault": the snapshots directory until the settings name another, and
// the folder of config.ini.
std::string AppFolderIn(const std::string& documentsFolder);

// help.chm in the folder of the executable: the path is cut after its last backslash (one
// in first position does not count). Without a backslash it is help.chm alone, the current
// folder's.
std::string HelpFilePathFor(const std::string& executablePath);

}  // namespace mv
