// The shell: what opens files, folders and web pages outside the program. The window
// calls it for the help file and the maker's pages; tests replace it so that nothing
// starts a browser or Explorer.
#pragma once

#include <string>

namespace mv {

class ShellPort {
 public:
  virtual ~ShellPort() = default;
  // The shell's "open" on a file path or web address, shown normally, no owner. The
  // result is not examined: a failure shows nothing.
  virtual void Open(const std::string& target) = 0;
};

}  // namespace mv
