// Standard output on Linux has no text mode; a terminal is what isatty says.
#include <unistd.h>

#include "platform/standard_output.h"

namespace mv {

void UseBinaryStandardOutput() {}

bool StandardOutputIsTerminal() {
  return isatty(STDOUT_FILENO) == 1;
}

}  // namespace mv
