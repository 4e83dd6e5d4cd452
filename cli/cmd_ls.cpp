// mirrorvault-cli ls: the rows the file list shows for a location of a snapshot, after the
// fill and the sort, one row per line with the cells joined by TAB.
#include <array>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/cli_browser.h"
#include "cli/terminal_text.h"
#include "ui/file_list_rows.h"

namespace mv::cli {
namespace {

constexpr std::array<std::string_view, kFileListColumnCount> kSortNames = {"name", "type", "size",
                                                                           "date"};

int SortColumnOf(const std::string& name) {
  for (int c = 0; c < kFileListColumnCount; ++c) {
    if (name == kSortNames[static_cast<std::size_t>(c)]) return c;
  }
  return -1;
}

// Walks a share-relative location ("Docs\Sub", "Docs\Sub\") one step at a time, as a user
// opening row after row would; false after the first step that cannot be taken.
bool OpenSteps(CliBrowser& cli, const std::string& location) {
  std::size_t from = 0;
  while (from <= location.size()) {
    std::size_t cut = location.find('\\', from);
    if (cut == std::string::npos) cut = location.size();
    if (cut > from) {
      cli.browser.OpenLocation(std::string_view(location).substr(from, cut - from));
      if (cli.notices.shown()) return false;
    }
    from = cut + 1;
  }
  return true;
}

}  // namespace

int RunLs(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--sort", "--codepage"}, {"--desc"});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.empty() || parsed.positionals.size() > 2) {
    return UsageError(err, "ls needs SNAPSHOT and at most one LOCATION");
  }
  int sortColumn = -1;
  if (const auto sort = parsed.Option("--sort")) {
    sortColumn = SortColumnOf(*sort);
    if (sortColumn < 0) return UsageError(err, "--sort takes name, type, size or date");
  }
  const bool descending = parsed.Flag("--desc");
  if (descending && sortColumn < 0) sortColumn = kNameColumn;
  ShownNames names;
  if (!names.Open(parsed.Option("--codepage"), err)) return kExitUsage;

  CliBrowser cli(err);
  if (!cli.Open(parsed.positionals[0])) return kExitCorrupted;
  const NameEncoding encoding = cli.browser.info().encoding;
  if (parsed.positionals.size() == 2 &&
      !OpenSteps(cli, names.Spelt(parsed.positionals[1], encoding))) {
    return kExitFailure;
  }
  if (sortColumn >= 0) cli.browser.SortByColumn(sortColumn, descending);

  std::string line;
  for (const MemoryFileList::Row& row : cli.list.rows()) {
    line.clear();
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
      if (c > 0) line += '\t';
      names.Append(line, row.cells[c], encoding);
    }
    line += '\n';
    out << line;
  }
  return kExitOk;
}

}  // namespace mv::cli
