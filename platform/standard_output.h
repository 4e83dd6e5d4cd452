// Standard output for bytes that must arrive as written: exports end their rows with CR LF
// themselves, which a text-mode stream on Windows would turn into CR CR LF. And whether a
// person is reading it.
#pragma once

namespace mv {

// Puts standard output into binary mode where the platform has a text mode.
void UseBinaryStandardOutput();

// Whether standard output is a terminal (on Windows, a console) rather than a file or a
// pipe: names from outside are then shown with their control characters made visible.
bool StandardOutputIsTerminal();

}  // namespace mv
