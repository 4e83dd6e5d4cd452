// Where the system puts things for this program: the user's documents folder and the
// running executable. Paths are UTF-8.
#pragma once

#include <string>

namespace mv {

// The documents folder (not created when missing); empty when the system names none.
std::string DocumentsFolder();

// The full path of the running executable, however long.
std::string ExecutablePath();

}  // namespace mv
