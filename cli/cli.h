// mirrorvault-cli: subcommand dispatch. Each subcommand lives in its own cmd_*.cpp and is
// listed once in the command table (commands.cpp).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace mv {
struct NetworkDescription;
class CaptureJob;
class NetworkBrowser;
}  // namespace mv

namespace mv::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

using Args = std::vector<std::string>;
using CommandFunction = int (*)(const Args& args, std::ostream& out, std::ostream& err);

struct Command {
  const char* name;
  const char* synopsis;     // one line: "capture --snapshots DIR ..."
  const char* description;  // one line for the overview
  CommandFunction run;      // receives the arguments after the command name
};

// The command table, ended by an entry whose name is null.
extern const Command kCommands[];

// Runs the whole command line (without the program name); returns the exit code.
int RunCli(const Args& args, std::ostream& out, std::ostream& err);

// Writes "mirrorvault-cli: <message>" and a pointer to --help on err; returns kExitUsage.
int UsageError(std::ostream& err, const std::string& message);

// True when the snapshots directory the user named can be read; else says why on err. The
// window shows an empty library for a missing directory, but a typed name deserves a word.
bool CheckSnapshotDirectory(const std::string& directory, std::ostream& err);

// Reads a network description file (--network FILE); false after saying why it cannot.
bool ReadDescription(const std::string& file, NetworkDescription& description, std::ostream& err);

// Starts the capture workers and the scan thread of a command; false, with both ended again,
// after saying what could not be started.
bool StartCaptureTasks(CaptureJob& job, NetworkBrowser& browser, std::ostream& err);

}  // namespace mv::cli
