// The program's three settings as the window keeps them: start-up reads them from the
// settings file (app/settings.h), the Settings dialog changes them, the exit writes them.
#pragma once

#include <string>

namespace mv {

struct Settings {
  // Where snapshot files are written, listed and loaded from. Never cut, however long.
  std::string snapshotsDirectory;
  bool autorun = false;     // the Run entry starts the program at logon
  bool showInTray = false;  // a notification-area icon; the close box then only hides
};

}  // namespace mv
