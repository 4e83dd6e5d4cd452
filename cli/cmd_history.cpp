// mirrorvault-cli history: a computer's total size, files and folders at each of its
// captures, oldest first, for charts and spreadsheets; or one folder's, where it exists.
#include <ostream>
#include <string>
#include <string_view>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/terminal_text.h"
#include "platform/file_system.h"
#include "query/space_history.h"

namespace mv::cli {
namespace {

// "05.12.2026 09:04:05" as "2026-12-05 09:04:05"; another text as it is.
std::string IsoDate(std::string_view text) {
  if (text.size() != 19 || text[2] != '.' || text[5] != '.' || text[10] != ' ') {
    return std::string(text);
  }
  std::string time(text.substr(11));
  for (char& c : time) c = c == '.' ? ':' : c;
  return std::string(text.substr(6, 4)) + '-' + std::string(text.substr(3, 2)) + '-' +
         std::string(text.substr(0, 2)) + ' ' + time;
}

}  // namespace

int RunHistory(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed =
      ParseArgs(args, {"--computer", "--group", "--path", "--format", "--codepage"}, {});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.size() != 1) return UsageError(err, "history needs exactly one DIR");
  const auto computer = parsed.Option("--computer");
  if (!computer || computer->empty()) return UsageError(err, "history needs --computer NAME");
  const std::string format = parsed.Option("--format").value_or("csv");
  if (format != "csv" && format != "json") return UsageError(err, "--format takes csv or json");
  ShownNames names;
  if (!names.Open(parsed.Option("--codepage"), err)) return kExitUsage;
  const std::string& directory = parsed.positionals[0];
  if (!CheckSnapshotDirectory(directory, err)) return kExitFailure;

  HistoryRequest request;
  request.computer = *computer;
  request.group = parsed.Option("--group").value_or("");
  if (const auto path = parsed.Option("--path")) {
    std::string typed = *path;
    while (!typed.empty() && typed.back() == '\\') typed.pop_back();
    request.folder = [typed, &names](NameEncoding encoding) {
      return names.Spelt(typed, encoding);
    };
  }
  const HistoryResult result = ComputerHistory(PlatformFileSystem(), directory, request);

  if (format == "csv") out << "date,bytes,files,folders\r\n";
  for (const CaptureTotal& capture : result.captures) {
    if (!capture.present) continue;
    const std::string date = IsoDate(capture.dateText);
    const std::string numbers[] = {std::to_string(capture.total.bytes),
                                   std::to_string(capture.total.files),
                                   std::to_string(capture.folders)};
    if (format == "csv") {
      out << date << ',' << numbers[0] << ',' << numbers[1] << ',' << numbers[2] << "\r\n";
    } else {
      out << "{\"date\":\"" << date << "\",\"bytes\":" << numbers[0] << ",\"files\":" << numbers[1]
          << ",\"folders\":" << numbers[2] << "}\n";
    }
  }
  for (const std::string& problem : result.unreadable) {
    err << "mirrorvault-cli: left out " << VisibleText(problem) << '\n';
  }
  if (!result.cacheSaved) {
    err << "mirrorvault-cli: the totals could not be kept in " << VisibleText(directory)
        << " (they are read again next time)\n";
  }
  return result.unreadable.empty() ? kExitOk : kExitFailure;
}

}  // namespace mv::cli
