// Times a scan of a large in-memory network (with the program's pauses, and without them as
// the baseline) and a capture of 64 computers' shares with eight workers against one, on
// the local disk and behind a simulated network round trip per directory listing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "capture/activity_state.h"
#include "capture/capture_job.h"
#include "net/network_browser.h"
#include "net/task_gate.h"
#include "platform/locked_tree_port.h"
#include "platform/memory/in_memory_network.h"
#include "platform/memory/memory_tree_port.h"
#include "platform/network_description.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

class SilentNotices : public mv::NoticePort {
 public:
  mv::MessageAnswer ShowMessage(const std::string&, mv::MessageKind) override {
    return mv::MessageAnswer::kOk;
  }
  void SetStatusText(int, const std::string&) override {}
};

// The platform's file system with a pause before each listing, as a listing over the
// network costs a round trip.
class RemoteFileSystem : public mv::FileSystem {
 public:
  explicit RemoteFileSystem(unsigned roundTripMs) : roundTripMs_(roundTripMs) {}
  std::unique_ptr<mv::DirectoryListing> List(const std::string& p, mv::IoError& e) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(roundTripMs_));
    return inner_.List(p, e);
  }
  mv::IoError IdentifyDirectory(const std::string& p, mv::DirectoryIdentity& i) override {
    return inner_.IdentifyDirectory(p, i);
  }
  std::unique_ptr<mv::OutputFile> Create(const std::string& p, mv::IoError& e) override {
    return inner_.Create(p, e);
  }
  mv::IoError Remove(const std::string& p) override { return inner_.Remove(p); }
  mv::IoError Replace(const std::string& f, const std::string& t) override {
    return inner_.Replace(f, t);
  }
  mv::IoError MakeDirectory(const std::string& p) override { return inner_.MakeDirectory(p); }
  mv::IoError ReadWholeExclusive(const std::string& p, std::uint64_t m,
                                 std::vector<char>& c) override {
    return inner_.ReadWholeExclusive(p, m, c);
  }

 private:
  mv::FileSystem& inner_ = mv::PlatformFileSystem();
  unsigned roundTripMs_;
};

struct Scanned {
  mv::InMemoryNetwork network;
  mv::MemoryTreePort memoryTree;
  mv::LockedTreePort tree{memoryTree};
  mv::TaskGate gate;
  std::unique_ptr<mv::NetworkBrowser> browser;

  Scanned(const mv::NetworkDescription& description, mv::ScanTiming timing) {
    network.AddDescribed(description, "Bench Network");
    browser = std::make_unique<mv::NetworkBrowser>(tree, network, gate, timing);
    browser->StartScanThread();
  }
  ~Scanned() { browser->Shutdown(); }

  double Scan() {
    const auto start = Clock::now();
    browser->RequestScan();
    gate.WaitUntilFree();
    return Seconds(start);
  }
};

// The scan of a network description (tools/sample-network/make-network.sh writes one), or of
// 32 groups x 16 computers x 8 shares without one.
void BenchScan(const std::string& descriptionFile) {
  mv::NetworkDescription network = mv::MakeUniformNetwork(32, 16, 8);
  if (!descriptionFile.empty()) {
    std::ifstream in(descriptionFile, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    if (!mv::ParseNetworkDescription(text, network, error)) {
      std::fprintf(stderr, "bench_network: %s: %s\n", descriptionFile.c_str(), error.c_str());
      std::exit(2);
    }
  }
  std::size_t computers = 0, shares = 0, mostComputers = 0;
  for (const auto& group : network.groups) {
    computers += group.computers.size();
    mostComputers = std::max(mostComputers, group.computers.size());
    for (const auto& computer : group.computers) shares += computer.shares.size();
  }
  Scanned paced(network, mv::ScanTiming{});
  const double pacedSeconds = paced.Scan();
  const std::size_t items =
      paced.tree.WithTree([&](mv::TreePort&) { return paced.memoryTree.size(); });
  const mv::DiscoveryTables& found = paced.browser->tables();
  Scanned unpaced(network, mv::ScanTiming{0, 1});
  double best = 1e9;
  for (int run = 0; run < 3; ++run) best = std::min(best, unpaced.Scan());
  std::printf("scan of %zu groups, %zu computers, %zu shares (%zu items)\n", network.groups.size(),
              computers, shares, items);
  std::printf("  in the tables: %zu groups, %zu computers, %zu shares\n", found.groups.size(),
              found.computers.size(), found.shares.size());
  std::printf("  with the 100 ms pauses: %.2f s\n", pacedSeconds);
  std::printf("  without pauses (baseline, best of 3): %.1f ms; ratio %.0fx\n", best * 1e3,
              pacedSeconds / best);
  std::printf(
      "  floor set by the pauses along the longest chain of starts: the groups one after the "
      "other, then the last group's computers: about %.1f s\n",
      0.1 * static_cast<double>(network.groups.size() + mostComputers));
}

void MakeShares(const std::string& root, const mv::NetworkDescription& network, int dirs,
                int filesPerDir) {
  for (const auto& group : network.groups) {
    for (const auto& computer : group.computers) {
      for (const auto& share : computer.shares) {
        for (int d = 0; d < dirs; ++d) {
          const std::string dir =
              root + "/" + computer.name + "/" + share + "/dir" + std::to_string(d);
          std::filesystem::create_directories(dir);
          for (int f = 0; f < filesPerDir; ++f) {
            std::ofstream(dir + "/file" + std::to_string(f) + ".txt") << "x";
          }
        }
      }
    }
  }
}

double CaptureSeconds(Scanned& scanned, mv::FileSystem& fs, int workers,
                      const std::string& snapshots) {
  SilentNotices notices;
  mv::CaptureJob job(*scanned.browser, notices, scanned.gate, fs, mv::PlatformClock(),
                     mv::CaptureTiming{0, 1});
  job.StartWorkers(workers);
  std::filesystem::remove_all(snapshots);
  std::filesystem::create_directories(snapshots);
  const auto start = Clock::now();
  job.StartCaptureOfTicked(snapshots);
  scanned.gate.WaitUntilFree();
  const double seconds = Seconds(start);
  job.Shutdown();
  return seconds;
}

void BenchCapture(const std::string& work) {
  const mv::NetworkDescription network = mv::MakeUniformNetwork(4, 16, 2);
  constexpr int kDirs = 10;
  constexpr int kFiles = 40;
  MakeShares(work + "/unc", network, kDirs, kFiles);
  mv::SetUncRoot(work + "/unc");
  Scanned scanned(network, mv::ScanTiming{0, 1});
  scanned.Scan();
  std::printf("capture of 64 computers x 2 shares x %d folders x %d files (%d entries)\n", kDirs,
              kFiles, 64 * 2 * kDirs * (kFiles + 1));
  for (const unsigned roundTrip : {0u, 2u}) {
    RemoteFileSystem fs(roundTrip);
    double one = 1e9, eight = 1e9;
    for (int run = 0; run < 2; ++run) {
      one = std::min(one, CaptureSeconds(scanned, fs, 1, work + "/snapshots"));
      eight = std::min(eight, CaptureSeconds(scanned, fs, 8, work + "/snapshots"));
    }
    std::printf("  %s: 1 worker %.3f s, 8 workers %.3f s, speed-up %.2fx\n",
                roundTrip == 0 ? "local disk" : "2 ms round trip per listing", one, eight,
                one / eight);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string work = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  mv::SetActivityState(mv::kIdle);
  BenchScan(argc > 2 ? argv[2] : "");
  BenchCapture(work);
  return 0;
}
