// Parsing of "--name value" options and positional arguments for the subcommands.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mv::cli {

struct ParsedArgs {
  std::map<std::string, std::string> options;  // "--snapshots" -> "DIR" (the last one given)
  std::vector<std::pair<std::string, std::string>> given;  // every valued option, in order
  std::vector<std::string> flags;                          // "--desc"
  std::vector<std::string> positionals;
  std::string error;  // empty when the line was understood

  std::optional<std::string> Option(const std::string& name) const;
  // Every value of an option that may be given more than once, in order.
  std::vector<std::string> Values(const std::string& name) const;
  bool Flag(const std::string& name) const;
};

// valued: options that take a value; flags: options that stand alone (either may be a short
// "-o"). Anything else that begins with "--" is an error; "--" ends the options.
ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     std::initializer_list<const char*> valued,
                     std::initializer_list<const char*> flags);

}  // namespace mv::cli
