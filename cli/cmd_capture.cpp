// mirrorvault-cli capture: writes one computer's snapshot, as a capture job does, and prints
// the path of the file written. The shares are folders below --unc-root, or with --smb real
// shares read through SMB.
#include <ostream>
#include <string>

#include "capture/activity_state.h"
#include "capture/end_of_job_message.h"
#include "cli/args.h"
#include "cli/cli.h"
#include "cli/smb_choice.h"
#include "core/snapshot_format.h"
#include "core/snapshot_name.h"
#include "core/snapshot_writer.h"
#include "platform/clock.h"
#include "platform/file_system.h"

namespace mv::cli {
namespace {

#ifdef _WIN32
constexpr bool kNativeBackslashes = true;
#else
constexpr bool kNativeBackslashes = false;
#endif

// The path as this machine's user would type it.
std::string DisplayPath(std::string path) {
  if (!kNativeBackslashes) {
    for (char& c : path) {
      if (c == '\\') c = '/';
    }
  }
  return path;
}

std::string JoinNames(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    if (!text.empty()) text += ", ";
    text += name;
  }
  return text;
}

// "\\PC\Docs, \\PC\Music".
std::string ShareNames(const std::string& computer, const std::vector<std::string>& shares) {
  std::vector<std::string> paths;
  for (const std::string& share : shares) paths.push_back(DescribeShare(computer, share));
  return JoinNames(paths);
}

void ReportWarnings(const WriteReport& report, const std::string& computer, std::ostream& err) {
  if (report.unlistedDirectories > 0) {
    err << "mirrorvault-cli: warning: " << report.unlistedDirectories
        << (report.unlistedDirectories == 1 ? " directory" : " directories")
        << " could not be listed (unreachable, access denied or path too long); the snapshot "
           "lacks their content\n";
  }
  if (report.namesAltered > 0) {
    err << "mirrorvault-cli: warning: " << DescribeNamesAltered(report.namesAltered) << "\n";
  }
  if (report.complete && !report.sharesNotListed.empty()) {
    err << "mirrorvault-cli: warning: could not list "
        << ShareNames(computer, report.sharesNotListed) << "; the snapshot lacks them\n";
  }
}

}  // namespace

int RunCapture(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args,
                                      {"--snapshots", "--group", "--computer", "--shares",
                                       "--unc-root", "--auth-file", "--codepage", "--smb-port"},
                                      {"--smb"});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  SmbChoice smbChoice;
  std::string usageError;
  unsigned codePage = kDefaultCodePage;
  if (!ReadSmbChoice(parsed, smbChoice, usageError) ||
      !ReadSnapshotCodePage(parsed, codePage, usageError)) {
    return UsageError(err, usageError);
  }
  if (!parsed.positionals.empty()) {
    return UsageError(err, "unexpected argument '" + parsed.positionals.front() + "'");
  }
  for (const char* required : {"--snapshots", "--group", "--computer", "--shares"}) {
    if (parsed.Option(required).value_or("").empty()) {
      return UsageError(err, std::string("capture needs a non-empty ") + required);
    }
  }
  const std::string dir = *parsed.Option("--snapshots");
  const std::string group = *parsed.Option("--group");
  const std::string computer = *parsed.Option("--computer");
  const std::string shareList = *parsed.Option("--shares");
  if (SplitShareList(shareList).empty()) return UsageError(err, "--shares names no share");
  if (const auto root = parsed.Option("--unc-root")) SetUncRoot(*root);
  FileSystem* fileSystem = &PlatformFileSystem();
  std::unique_ptr<SmbClient> smb;
  if (smbChoice.wanted) {
    smbChoice.options.namedServers.push_back(computer);
    smb = OpenChosenSmbClient(smbChoice, err);
    if (smb == nullptr) return kExitFailure;
    fileSystem = &smb->fileSystem();
  }

  Clock& clock = PlatformClock();
  const std::string path = BuildSnapshotPathAt(dir, group, computer, clock.Now(), clock);
  const std::vector<std::string> shares = SplitShareList(shareList);

  // The writer stops between shares when no task runs, so this capture is one.
  SetActivityState(kCapturing);
  WriteReport report;
  WriteSnapshot(group, computer, path, shares, &report, *fileSystem, clock, codePage);
  SetActivityState(kIdle);
  if (smb != nullptr) smb->ForgetCredentials();

  ReportWarnings(report, computer, err);
  if (!report.complete) {
    if (report.nothingListed) {
      err << "mirrorvault-cli: none of the shares " << ShareNames(computer, shares)
          << " could be listed (" << DescribeIoError(report.error)
          << "); no snapshot was written\n";
    } else if (!report.keptTemporary.empty()) {
      err << "mirrorvault-cli: could not give the snapshot its name " << DisplayPath(path) << ": "
          << DescribeIoError(report.error) << "; the finished snapshot was kept as "
          << DisplayPath(report.keptTemporary) << "\n";
    } else if (report.error == IoError::kLogonRefused) {
      err << "mirrorvault-cli: " << RefusedLogonText(computer) << " for "
          << ShareNames(computer, shares) << "; no snapshot was written\n";
    } else if (report.stopped) {
      err << "mirrorvault-cli: the capture was stopped; no snapshot was kept\n";
    } else {
      err << "mirrorvault-cli: could not write the snapshot " << DisplayPath(path) << ": "
          << DescribeIoError(report.error) << "; no snapshot was kept\n";
    }
    return kExitFailure;
  }
  out << DisplayPath(path) << "\n";
  return kExitOk;
}

}  // namespace mv::cli
