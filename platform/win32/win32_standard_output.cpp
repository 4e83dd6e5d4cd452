// Standard output on Windows: the C runtime's text mode would add a CR before every LF.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/standard_output.h"

namespace mv {

void UseBinaryStandardOutput() {
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace mv
