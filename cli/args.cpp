// Option parsing shared by every subcommand.
#include "cli/args.h"

#include <algorithm>

namespace mv::cli {

std::optional<std::string> ParsedArgs::Option(const std::string& name) const {
  auto it = options.find(name);
  if (it == options.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> ParsedArgs::Values(const std::string& name) const {
  std::vector<std::string> values;
  for (const auto& [option, value] : given) {
    if (option == name) values.push_back(value);
  }
  return values;
}

bool ParsedArgs::Flag(const std::string& name) const {
  return std::find(flags.begin(), flags.end(), name) != flags.end();
}

ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     std::initializer_list<const char*> valued,
                     std::initializer_list<const char*> flags) {
  auto contains = [](std::initializer_list<const char*> list, const std::string& name) {
    return std::any_of(list.begin(), list.end(), [&](const char* n) { return name == n; });
  };
  ParsedArgs parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded) {
      parsed.positionals.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (contains(valued, arg)) {
      if (i + 1 >= args.size()) {
        parsed.error = "option " + arg + " needs a value";
        return parsed;
      }
      parsed.options[arg] = args[++i];
      parsed.given.emplace_back(arg, args[i]);
    } else if (contains(flags, arg)) {
      parsed.flags.push_back(arg);
    } else if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      parsed.positionals.push_back(arg);
    } else {
      parsed.error = "unknown option " + arg;
      return parsed;
    }
  }
  return parsed;
}

}  // namespace mv::cli
