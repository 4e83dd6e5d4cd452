// mirrorvault-cli library DIR: the snapshot tree of a snapshots directory, as the main window
// shows it, one item per line.
#include <ostream>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/terminal_text.h"
#include "core/snapshot_library.h"
#include "platform/memory/memory_tree_port.h"

namespace mv::cli {

int RunLibrary(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {}, {});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.size() != 1) return UsageError(err, "library needs one DIR");
  const std::string& directory = parsed.positionals[0];

  if (!CheckSnapshotDirectory(directory, err)) return kExitFailure;
  FileSystem& fileSystem = PlatformFileSystem();

  MemoryTreePort tree;
  SnapshotLibrary library(tree, fileSystem);
  library.SetSnapshotDirectory(directory);
  library.RebuildSnapshotTree();
  // Group and computer names come from the file names, which the file system gives in
  // UTF-8; they are names from outside all the same.
  std::string line;
  tree.Walk([&](const MemoryTreePort::Node& node, int depth) {
    line.assign(2 * static_cast<std::size_t>(depth), ' ');
    AppendShown(line, node.text);
    if (const LibSnapshotEntry* row = library.SnapshotRow(node.param)) {
      line += '\t';
      AppendShown(line, row->fileName);
    }
    line += '\n';
    out << line;
  });
  return kExitOk;
}

}  // namespace mv::cli
