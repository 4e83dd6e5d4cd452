// mirrorvault-cli du: where a snapshot's space went, as du shows a disk: the location's
// total and every folder down to --depth levels below it, largest first.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/cli_browser.h"
#include "cli/terminal_text.h"
#include "query/folder_space.h"
#include "query/snapshot_export.h"

namespace mv::cli {
namespace {

constexpr int kDefaultDepth = 1;

enum class DuFormat { kText, kCsv, kJson };

bool ReadCount(const std::optional<std::string>& value, long long& count) {
  if (!value) return true;
  if (value->empty() || value->size() > 9 ||
      value->find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  count = std::stoll(*value);
  return true;
}

void AppendCsv(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.append(text);
    return;
  }
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

int RunDu(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--depth", "--top", "--format", "--codepage"}, {});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.empty() || parsed.positionals.size() > 2) {
    return UsageError(err, "du needs SNAPSHOT and at most one PATH");
  }
  long long depth = kDefaultDepth, top = -1;
  if (!ReadCount(parsed.Option("--depth"), depth)) {
    return UsageError(err, "--depth takes a number of levels");
  }
  if (!ReadCount(parsed.Option("--top"), top)) return UsageError(err, "--top takes a number");
  DuFormat format = DuFormat::kText;
  if (const auto name = parsed.Option("--format")) {
    if (*name == "csv") {
      format = DuFormat::kCsv;
    } else if (*name == "json") {
      format = DuFormat::kJson;
    } else if (*name != "text") {
      return UsageError(err, "--format takes text, csv or json");
    }
  }
  ShownNames names;
  if (!names.Open(parsed.Option("--codepage"), err)) return kExitUsage;

  CliBrowser cli(err);
  if (!cli.Open(parsed.positionals[0])) return kExitCorrupted;
  const NameEncoding encoding = cli.browser.info().encoding;
  std::string location;
  if (parsed.positionals.size() == 2) {
    location = names.Spelt(parsed.positionals[1], encoding);
    while (!location.empty() && location.back() == '\\') location.pop_back();
  }
  std::vector<SpaceItem> folders;
  if (!FolderSpace(cli.browser.snapshot(), location, static_cast<int>(depth), folders)) {
    if (cli.browser.snapshot().readFailed()) {
      err << "mirrorvault-cli: " << VisibleText(parsed.positionals[0]) << " could not be read\n";
    } else {
      err << "mirrorvault-cli: no folder " << VisibleText(parsed.positionals[1]) << " in "
          << VisibleText(parsed.positionals[0]) << '\n';
    }
    return kExitFailure;
  }
  if (top >= 0 && folders.size() > static_cast<std::size_t>(top)) {
    folders.resize(static_cast<std::size_t>(top));
  }

  std::string line, path;
  if (format == DuFormat::kCsv) out << "path,bytes,files,depth\r\n";
  for (const SpaceItem& folder : folders) {
    line.clear();
    path.clear();
    names.Append(path, folder.path, encoding);
    const std::string bytes = std::to_string(folder.total.bytes);
    const std::string files = std::to_string(folder.total.files);
    switch (format) {
      case DuFormat::kText:
        line = bytes + '\t' + files + '\t' + (path.empty() ? std::string(".") : path) + '\n';
        break;
      case DuFormat::kCsv:
        AppendCsv(line, path);
        line += ',' + bytes + ',' + files + ',' + std::to_string(folder.depth) + "\r\n";
        break;
      case DuFormat::kJson:
        line = "{\"path\":";
        AppendJsonText(path, line);
        line += ",\"bytes\":" + bytes + ",\"files\":" + files +
                ",\"depth\":" + std::to_string(folder.depth) + "}\n";
        break;
    }
    out << line;
  }
  return kExitOk;
}

}  // namespace mv::cli
