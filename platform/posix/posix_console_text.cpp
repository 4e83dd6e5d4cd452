// Arguments and terminals on Linux are bytes, UTF-8 in any usual locale.
#include "platform/console_text.h"

namespace mv {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool WriteToConsole(bool, std::string_view) {
  return false;
}

}  // namespace mv
