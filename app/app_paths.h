// Paths start-up derives: the program's folder in the documents folder, the settings file in
// it, the help file beside the executable and the command the Run entry starts.
#pragma once

#include <string>

namespace mv {

inline constexpr char kAppFolderName[] = "Mirrorvault";
inline constexpr char kConfigFileName[] = "config.ini";
inline constexpr char kHelpFileName[] = "help.chm";

// "<documents>\Mirrorvault": the snapshots directory until the settings name another, and
// the folder of config.ini.
std::string AppFolderIn(const std::string& documentsFolder);

// "<documents>\Mirrorvault\config.ini".
std::string ConfigFilePathIn(const std::string& documentsFolder);

// help.chm in the folder of the executable: the path is cut after its last backslash (one
// in first position does not count). Without a backslash it is help.chm alone, the current
// folder's.
std::string HelpFilePathFor(const std::string& executablePath);

// The command line that starts the executable at logon: the path in double quotes, since
// the shell would otherwise take "C:\Program" of "C:\Program Files\..." as the program.
std::string AutorunCommandFor(const std::string& executablePath);

}  // namespace mv
