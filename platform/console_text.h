// The command line's text where the platform's console and arguments are not UTF-8 bytes:
// the program reads and prints names in any language in UTF-8 on every platform.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mv {

// The program's arguments, without its name, in UTF-8. On Windows they come from the wide
// command line, as argv holds them in the ANSI code page and loses what it lacks; elsewhere
// they are argv as given.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Writes UTF-8 text to the console that standard output (errorStream: standard error) is, in
// the console's own characters; empty text only asks whether that can be done. False where
// the stream is no console, or where consoles read bytes (a Linux terminal reads UTF-8): the
// bytes are then written as they are.
bool WriteToConsole(bool errorStream, std::string_view utf8);

}  // namespace mv
