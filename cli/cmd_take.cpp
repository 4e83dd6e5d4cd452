// mirrorvault-cli take: the main job from the command line. Scans the network (a described
// one, the system's, or with --smb the SMB network read from the servers), shows the network
// tree, then captures every computer with all its shares, as "Take Snapshots" does right
// after a scan, and prints the end-of-job message.
#include <algorithm>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

#include "capture/capture_job.h"
#include "capture/take_snapshots.h"
#include "cli/args.h"
#include "cli/cli.h"
#include "cli/smb_choice.h"
#include "net/network_browser.h"
#include "net/task_gate.h"
#include "platform/locked_tree_port.h"
#include "platform/memory/in_memory_network.h"
#include "platform/memory/memory_tree_port.h"

namespace mv::cli {
namespace {

// The group of computers named with --computer unless --group names another.
constexpr char kDefaultGroup[] = "WORKGROUP";

class PrintedNotices : public NoticePort {
 public:
  explicit PrintedNotices(std::ostream& out) : out_(out) {}
  MessageAnswer ShowMessage(const std::string& text, MessageKind kind) override {
    out_ << text << "\n";
    failed_ = failed_ || kind == MessageKind::kError;
    return MessageAnswer::kOk;
  }
  void SetStatusText(int, const std::string&) override {}
  bool failed() const { return failed_; }

 private:
  std::ostream& out_;
  bool failed_ = false;
};

}  // namespace

bool ReadDescription(const std::string& file, NetworkDescription& description, std::ostream& err) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string error;
  if (!in || !ParseNetworkDescription(text.str(), description, error)) {
    err << "mirrorvault-cli: cannot read the network " << file << ": "
        << (error.empty() ? "cannot open it" : error) << "\n";
    return false;
  }
  return true;
}

bool StartCaptureTasks(CaptureJob& job, NetworkBrowser& browser, std::ostream& err) {
  const std::string problems =
      BackgroundTaskProblems(job.StartWorkers(), browser.StartScanThread());
  if (problems.empty()) return true;
  err << "mirrorvault-cli: " << problems << "\n";
  job.Shutdown();
  browser.Shutdown();
  return false;
}

int RunTake(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args,
                                      {"--snapshots", "--network", "--unc-root", "--computer",
                                       "--group", "--auth-file", "--codepage", "--smb-port"},
                                      {"--smb", "--auth-browsed"});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (!parsed.positionals.empty()) {
    return UsageError(err, "unexpected argument '" + parsed.positionals.front() + "'");
  }
  if (parsed.Option("--snapshots").value_or("").empty()) {
    return UsageError(err, "take needs a non-empty --snapshots");
  }
  SmbChoice smbChoice;
  std::string usageError;
  unsigned codePage = kDefaultCodePage;
  if (!ReadSmbChoice(parsed, smbChoice, usageError) ||
      !ReadSnapshotCodePage(parsed, codePage, usageError)) {
    return UsageError(err, usageError);
  }
  const std::vector<std::string> computers = parsed.Values("--computer");
  if (!computers.empty() && (!smbChoice.wanted || parsed.Option("--network"))) {
    return UsageError(err, "--computer goes with --smb and without --network");
  }
  if (parsed.Option("--group") && computers.empty()) {
    return UsageError(err, "--group goes with --computer");
  }
  if (const auto root = parsed.Option("--unc-root")) SetUncRoot(*root);

  NetworkDescription description;
  if (const auto file = parsed.Option("--network")) {
    if (!ReadDescription(*file, description, err)) return kExitFailure;
  }
  InMemoryNetwork described;
  NetworkPort* network = &PlatformNetwork();
  FileSystem* fileSystem = &PlatformFileSystem();
  std::unique_ptr<SmbClient> smb;
  if (smbChoice.wanted) {
    // The groups and computers given (or none: browse); their shares come from the servers.
    smbChoice.options.computers = description;
    if (!computers.empty()) {
      DescribedGroup group{parsed.Option("--group").value_or(kDefaultGroup), {}};
      for (const std::string& name : computers) group.computers.push_back({name, {}});
      smbChoice.options.computers.groups.push_back(std::move(group));
    }
    smb = OpenChosenSmbClient(smbChoice, err);
    if (smb == nullptr) return kExitFailure;
    network = &smb->network();
    fileSystem = &smb->fileSystem();
  } else if (parsed.Option("--network")) {
    described.AddDescribed(description, "Described Network");
    network = &described;
  }

  MemoryTreePort shownTree;
  LockedTreePort tree(shownTree);
  TaskGate gate;
  NetworkBrowser browser(tree, *network, gate);
  PrintedNotices notices(out);
  CaptureJob job(browser, notices, gate, *fileSystem);
  job.SetAnsiCodePage(codePage);
  if (!StartCaptureTasks(job, browser, err)) return kExitFailure;
  browser.RequestScan();
  gate.WaitUntilFree();
  if (browser.ContainersNotListed() > 0) {
    err << "mirrorvault-cli: warning: " << browser.ContainersNotListed()
        << " network containers were not listed whole: a record was larger than the "
           "enumeration buffer\n";
  }
  shownTree.Walk([&](const MemoryTreePort::Node& node, int depth) {
    out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << node.text << "\n";
  });

  // Nothing to capture is no success: there was no network to scan, or no share on it.
  const DiscoveryTables& found = browser.tables();
  const bool anyComputer = std::any_of(found.computers.begin(), found.computers.end(),
                                       [](const NetComputerEntry& c) { return !c.name.empty(); });
  const bool anyShare = std::any_of(found.shares.begin(), found.shares.end(),
                                    [](const NetShareEntry& s) { return !s.name.empty(); });
  const bool started = anyShare && job.StartCaptureOfTicked(*parsed.Option("--snapshots"));
  gate.WaitUntilFree();
  job.Shutdown();
  browser.Shutdown();
  if (smb != nullptr) smb->ForgetCredentials();
  int code = notices.failed() ? kExitFailure : kExitOk;
  for (const std::string& share : job.LastSharesNotListed()) {
    err << "mirrorvault-cli: warning: " << share
        << " could not be listed; the snapshot of its computer lacks it\n";
  }
  if (smb != nullptr) {
    // A computer whose shares could not be listed stands in the tree without any, and so
    // was not captured.
    for (const UnlistedComputer& computer : smb->UnlistedComputers()) {
      err << "mirrorvault-cli: "
          << (computer.error == IoError::kLogonRefused
                  ? RefusedLogonText(computer.name)
                  : "the shares of " + computer.name + " could not be listed (" +
                        DescribeIoError(computer.error) + ")")
          << "; no snapshot of it was written\n";
      code = kExitFailure;
    }
  }
  if (!anyShare) {
    err << "mirrorvault-cli: "
        << (anyComputer ? "no share was found on the network"
            : smb != nullptr
                ? "no group or computer could be browsed (name the computers with --computer "
                  "NAME, or describe them with --network FILE)"
                : "no network was given or found (describe one with --network FILE, or on "
                  "Linux read real shares with --smb)")
        << ", so nothing was captured\n";
    return kExitFailure;
  }
  if (!started) {
    err << "mirrorvault-cli: the capture could not start\n";
    return kExitFailure;
  }
  return code;
}

}  // namespace mv::cli
