// The shell: what opens files, folders and web pages outside the program, explores folders
// and shows a path's property sheet. The window calls it for the help file, the maker's
// pages and the live paths behind file list rows; tests replace it so that nothing starts a
// browser or Explorer.
#pragma once

#include <string>

namespace mv {

// Every request is shown normally with no owner window. Results are not examined: a path the
// shell cannot take is passed whole all the same, and what the shell shows is all the user
// sees of a failure.
class ShellPort {
 public:
  virtual ~ShellPort() = default;
  // The shell's "open" on a file, a folder or a web address.
  virtual void Open(const std::string& target) = 0;
  // The shell's "explore" on a folder or share: a window in the explorer view.
  virtual void Explore(const std::string& folder) = 0;
  // The property sheet of a file, folder or share.
  virtual void ShowProperties(const std::string& path) = 0;
};

}  // namespace mv
