// Standard output on Windows: the C runtime's text mode would add a CR before every LF; a
// console is a terminal.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/standard_output.h"

namespace mv {

void UseBinaryStandardOutput() {
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
}

// A console answers GetConsoleMode; a file, a pipe and the NUL device (which _isatty counts
// as a terminal) do not.
bool StandardOutputIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

}  // namespace mv
