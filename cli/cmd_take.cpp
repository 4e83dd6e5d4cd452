// mirrorvault-cli take: the main job from the command line. Scans the network (a described
// one, or the system's), shows the network tree, then captures every computer with all its
// shares, as "Take Snapshots" does right after a scan, and prints the end-of-job message.
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

#include "capture/capture_job.h"
#include "capture/take_snapshots.h"
#include "capture/task_gate.h"
#include "cli/args.h"
#include "cli/cli.h"
#include "net/network_browser.h"
#include "platform/in_memory_network.h"
#include "platform/locked_tree_port.h"
#include "platform/memory_tree_port.h"

namespace mv::cli {
namespace {

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

int RunTake(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--snapshots", "--network", "--unc-root"}, {});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (!parsed.positionals.empty()) {
    return UsageError(err, "unexpected argument '" + parsed.positionals.front() + "'");
  }
  if (parsed.Option("--snapshots").value_or("").empty()) {
    return UsageError(err, "take needs a non-empty --snapshots");
  }
  if (const auto root = parsed.Option("--unc-root")) SetUncRoot(*root);

  InMemoryNetwork described;
  NetworkPort* network = &PlatformNetwork();
  if (const auto file = parsed.Option("--network")) {
    std::ifstream in(*file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    NetworkDescription description;
    std::string error;
    if (!in || !ParseNetworkDescription(text.str(), description, error)) {
      err << "mirrorvault-cli: cannot read the network " << *file << ": "
          << (error.empty() ? "cannot open it" : error) << "\n";
      return kExitFailure;
    }
    described.AddDescribed(description, "Described Network");
    network = &described;
  }

  MemoryTreePort shownTree;
  LockedTreePort tree(shownTree);
  TaskGate gate;
  NetworkBrowser browser(tree, *network, gate);
  PrintedNotices notices(out);
  CaptureJob job(browser, notices, gate);
  const std::string problems =
      BackgroundTaskProblems(job.StartWorkers(), browser.StartScanThread());
  if (!problems.empty()) {
    err << "mirrorvault-cli: " << problems << "\n";
    job.Shutdown();
    browser.Shutdown();
    return kExitFailure;
  }
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

  const bool started = job.StartCaptureOfTicked(*parsed.Option("--snapshots"));
  gate.WaitUntilFree();
  job.Shutdown();
  browser.Shutdown();
  if (!started) {
    err << "mirrorvault-cli: the capture could not start\n";
    return kExitFailure;
  }
  return notices.failed() ? kExitFailure : kExitOk;
}

}  // namespace mv::cli
