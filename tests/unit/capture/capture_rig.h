// A capture job over a scanned in-memory network whose shares are real folders below a
// scratch folder, with a notice port that records (and may hold) the messages.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "capture/capture_job.h"
#include "core/library_name.h"
#include "core/snapshot_format.h"
#include "forwarding_file_system.h"
#include "recording_notices.h"
#include "scan_rig.h"
#include "snapshot_texts.h"
#include "test_support.h"

namespace mv::test {

inline constexpr CaptureTiming kFastCapture{0, 1};

// The platform's file system with \\COMPUTER\SHARE\rest led to <root>\COMPUTER\SHARE\rest,
// so that the shares are scratch folders on either backend (under Wine the real UNC folders
// belong to the prefix). It calls onList as each listing starts and records the files
// created and removed.
class RigFileSystem : public ForwardingFileSystem {
 public:
  explicit RigFileSystem(std::string root)
      : ForwardingFileSystem(PlatformFileSystem()), root_(std::move(root)) {}
  std::function<void(const std::string&)> onList;

  std::unique_ptr<DirectoryListing> List(const std::string& pattern, IoError& error) override {
    if (onList) onList(pattern);
    return inner_.List(Map(pattern), error);
  }
  IoError IdentifyDirectory(const std::string& path, DirectoryIdentity& identity) override {
    return inner_.IdentifyDirectory(Map(path), identity);
  }
  std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) override {
    Note(created_, path);
    return inner_.Create(path, error);
  }
  IoError Remove(const std::string& path) override {
    Note(removed_, path);
    return inner_.Remove(path);
  }
  std::vector<std::string> Created() { return Note(created_, {}); }
  std::vector<std::string> Removed() { return Note(removed_, {}); }

 private:
  std::string Map(const std::string& path) const {
    return path.rfind("\\\\", 0) == 0 ? root_ + "\\" + path.substr(2) : path;
  }
  // Adds path to list (unless empty) and returns the list, under the lock.
  std::vector<std::string> Note(std::vector<std::string>& list, const std::string& path) {
    std::lock_guard lock(mutex_);
    if (!path.empty()) list.push_back(path);
    return list;
  }
  std::string root_;
  std::mutex mutex_;
  std::vector<std::string> created_, removed_;
};

struct CaptureRig {
  ScratchDir scratch;
  ScanRig scan;
  RecordingNotices notices;
  RigFileSystem fs{scratch.Join("unc")};
  std::unique_ptr<CaptureJob> job;

  // Makes a folder with two files and a subfolder for every share, scans the network, and
  // starts workerCount workers.
  explicit CaptureRig(const NetworkDescription& network, int workerCount = kCaptureWorkers) {
    namespace stdfs = std::filesystem;
    for (const DescribedGroup& group : network.groups) {
      for (const DescribedComputer& computer : group.computers) {
        for (const std::string& share : computer.shares) {
          const std::string folder = scratch.Join("unc/" + computer.name + "/" + share);
          stdfs::create_directories(folder + "/sub");
          WriteTextFile(folder + "/a.txt", "a");
          WriteTextFile(folder + "/sub/b.txt", "bb");
        }
      }
    }
    stdfs::create_directories(scratch.Join("snapshots"));
    scan.network.AddDescribed(network, "Sample Network");
    scan.Scan();
    job = std::make_unique<CaptureJob>(*scan.browser, notices, scan.gate, fs, PlatformClock(),
                                       kFastCapture);
    EXPECT_EQ(job->StartWorkers(workerCount), workerCount);
  }
  ~CaptureRig() { job->Shutdown(); }

  std::string SnapshotDir() { return scratch.Join("snapshots"); }

  // Starts a capture of what is ticked into folder (the snapshots folder if empty) and waits
  // for its end.
  void CaptureTicked(const std::string& folder = "") {
    const int before = job->CompletedJobs();
    ASSERT_TRUE(job->StartCaptureOfTicked(folder.empty() ? SnapshotDir() : folder));
    scan.gate.WaitUntilFree();
    ASSERT_EQ(job->CompletedJobs(), before + 1);
    ASSERT_EQ(GetActivityState(), kIdle);
  }

  // The snapshot files by computer name (the second piece of the file name), and their text.
  std::multimap<std::string, std::string> Snapshots() {
    std::multimap<std::string, std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(SnapshotDir())) {
      const std::string name = entry.path().filename().string();
      // Nothing but finished snapshots is ever left: no unfinished part survives a stop.
      EXPECT_TRUE(name.ends_with(kSnapshotExtension)) << name;
      found.emplace(SnapshotNamePieces(name).Piece(kPieceComputer),
                    ReadTextFile(entry.path().string()));
    }
    return found;
  }
};

// The shares of a snapshot, in file order.
inline std::vector<std::string> SharesIn(const std::string& snapshot) {
  std::vector<std::string> shares;
  for (const std::string& line : SnapshotEntries(snapshot)) {
    if (line.starts_with("SHARENAME: ")) shares.push_back(line.substr(11));
  }
  return shares;
}

inline bool EndsComplete(const std::string& snapshot) {
  return snapshot.size() >= 5 && snapshot.compare(snapshot.size() - 5, 5, "END\r\n") == 0;
}

}  // namespace mv::test
