// Standard output for bytes that must arrive as written: exports end their rows with CR LF
// themselves, which a text-mode stream on Windows would turn into CR CR LF.
#pragma once

namespace mv {

// Puts standard output into binary mode where the platform has a text mode.
void UseBinaryStandardOutput();

}  // namespace mv
