// mirrorvault-cli rm DIR FILE...: removes snapshot files of the library by name, without
// asking; every file that could not be removed is named on stderr.
#include <ostream>

#include "cli/args.h"
#include "cli/cli.h"
#include "core/snapshot_library.h"
#include "core/text.h"

namespace mv::cli {
namespace {

// The listed name that FILE stands for: the same name, else one differing only in case
// (names ignore case on Windows). Null when FILE is no snapshot file of the directory.
const std::string* FindListed(const std::vector<std::string>& listed, const std::string& file) {
  for (const std::string& name : listed) {
    if (name == file) return &name;
  }
  for (const std::string& name : listed) {
    if (EqualsIgnoreCase(name, file)) return &name;
  }
  return nullptr;
}

}  // namespace

int RunRemove(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {}, {});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.size() < 2) return UsageError(err, "rm needs DIR and at least one FILE");
  const std::string& directory = parsed.positionals[0];

  FileSystem& fileSystem = PlatformFileSystem();
  // Only files the library lists may go, so that a typing error cannot delete another file.
  const std::vector<std::string> listed = ListSnapshotFiles(fileSystem, directory);
  int failures = 0;
  for (std::size_t i = 1; i < parsed.positionals.size(); ++i) {
    const std::string& file = parsed.positionals[i];
    const std::string* name = FindListed(listed, file);
    if (name == nullptr) {
      err << "mirrorvault-cli: could not remove '" << file << "': not a snapshot file in '"
          << directory << "'\n";
      ++failures;
      continue;
    }
    if (const IoError error = RemoveSnapshotFile(fileSystem, directory, *name);
        error != IoError::kNone) {
      err << "mirrorvault-cli: could not remove '" << *name << "': " << DescribeIoError(error)
          << "\n";
      ++failures;
      continue;
    }
    out << "removed " << *name << "\n";
  }
  return failures == 0 ? kExitOk : kExitFailure;
}

}  // namespace mv::cli
