// End to end under Wine: the sample network provider registered in the prefix is scanned
// through the real WNetOpenEnumA, and a capture walks the real UNC paths, which lead to the
// folders that tools/sample-network/register.sh linked.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "capture/activity_state.h"
#include "capture/capture_job.h"
#include "capture/end_of_job_message.h"
#include "core/library_name.h"
#include "net/network_browser.h"
#include "recording_notices.h"
#include "scan_rig.h"
#include "snapshot_texts.h"
#include "test_support.h"

namespace mv {
namespace {

// The system's network scanned into a tree, with the program's own pauses.
struct SystemScan : test::ScanRig {
  SystemScan() : ScanRig(ScanTiming{}, &PlatformNetwork()) { Scan(); }
};

// The shares and entries a snapshot of the computer should hold, read from the folders that
// its shares are linked to.
std::set<std::string> FolderEntries(const std::filesystem::path& computerFolder,
                                    const std::vector<std::string>& shares) {
  std::set<std::string> entries;
  for (const std::string& share : shares) {
    entries.insert("SHARENAME: " + share);
    const std::filesystem::path root = computerFolder / share;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      std::string relative = std::filesystem::relative(entry.path(), root).string();
      std::replace(relative.begin(), relative.end(), '/', '\\');
      entries.insert(
          share + "\\" + relative +
          (entry.is_directory() ? ";;d;;0" : ";;f;;" + std::to_string(entry.file_size())));
    }
  }
  return entries;
}

TEST(SampleNetwork, ScanFindsItAndCaptureHoldsExactlyWhatTheLinkedFoldersHold) {
  const char* sharesRoot = std::getenv("MV_SAMPLE_SHARES");
  ASSERT_NE(sharesRoot, nullptr) << "run through ctest: the sample network fixture sets it";
  std::string hostRoot = std::string("Z:") + sharesRoot;
  std::replace(hostRoot.begin(), hostRoot.end(), '/', '\\');

  SystemScan scan;
  // Groups come in the provider's order; the provider itself gets no item.
  using Texts = std::vector<std::string>;
  ASSERT_EQ(scan.tree.Texts(""), (Texts{"WORKGROUP", "OFFICE"}));
  EXPECT_EQ(scan.tree.Texts("WORKGROUP"), (Texts{"PC1", "PC2"}));
  EXPECT_EQ(scan.tree.Texts("OFFICE"), (Texts{"SERVER"}));
  // Everything is ticked after the scan: every computer is captured, with its shares.
  test::ScratchDir snapshots;
  test::RecordingNotices notices;
  CaptureJob job(*scan.browser, notices, scan.gate);
  ASSERT_EQ(job.StartWorkers(), kCaptureWorkers);
  ASSERT_TRUE(job.StartCaptureOfTicked(snapshots.path()));
  scan.gate.WaitUntilFree();
  job.Shutdown();
  EXPECT_EQ(notices.Messages(), (std::vector<std::pair<std::string, MessageKind>>{
                                    {kSnapshotsCreated, MessageKind::kInformation}}));

  std::map<std::string, std::string> found;
  for (const auto& file : std::filesystem::directory_iterator(snapshots.path())) {
    const std::string name = file.path().filename().string();
    EXPECT_TRUE(name.ends_with(".mirvaul")) << name;
    found[std::string(SnapshotNamePieces(name).Piece(kPieceComputer))] =
        test::ReadTextFile(file.path().string());
  }
  EXPECT_EQ(found.size(), 3u);
  for (const DescribedGroup& group : test::SampleNetwork().groups) {
    for (const DescribedComputer& computer : group.computers) {
      const std::string& text = found[computer.name];
      const std::vector<std::string> captured = test::SnapshotEntries(text);
      EXPECT_EQ(std::set<std::string>(captured.begin(), captured.end()),
                FolderEntries(std::filesystem::path(hostRoot) / computer.name, computer.shares))
          << computer.name;
      EXPECT_NE(text.find("\r\nGROUP: " + group.name + "\r\n"), std::string::npos);
    }
  }
}

// Points the provider's DescriptionFile value (read at every open) at a network of its own.
class DescribedNetwork {
 public:
  explicit DescribedNetwork(const std::string& description) {
    test::WriteTextFile(folder_.Join("network.txt"), description);
    DWORD size = sizeof previous_;
    RegGetValueW(HKEY_LOCAL_MACHINE, kKey, L"DescriptionFile", RRF_RT_REG_SZ, nullptr, previous_,
                 &size);
    Point(std::filesystem::path(folder_.Join("network.txt")).wstring());
  }
  ~DescribedNetwork() { Point(previous_); }

 private:
  static constexpr wchar_t kKey[] =
      L"System\\CurrentControlSet\\Services\\MirrorvaultSample\\NetworkProvider";
  void Point(const std::wstring& file) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, L"DescriptionFile", REG_SZ, file.c_str(),
                    static_cast<DWORD>((file.size() + 1) * sizeof(wchar_t)));
  }
  test::ScratchDir folder_;
  wchar_t previous_[1024] = {};
};

// A share record larger than the 256 bytes offered (a long name: the description has no
// comments) between two others: asked for again with the whole buffer, nothing is lost.
TEST(SampleNetworkRecords, ARecordLargerThanTheOfferLosesNothing) {
  const std::string longName(300, 'L');
  DescribedNetwork network("group LONG\n computer PCL\n  share First\n  share " + longName +
                           "\n  share Third\n");
  SystemScan scan;
  EXPECT_EQ(scan.tree.Texts("LONG/PCL"), (std::vector<std::string>{"First", longName, "Third"}));
  EXPECT_EQ(scan.browser->ContainersNotListed(), 0);
}

}  // namespace
}  // namespace mv
