// The capture job over a scanned network: what is captured, the end-of-job message, limits,
// and many computers at once.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "capture/end_of_job_message.h"
#include "capture/take_snapshots.h"
#include "capture_rig.h"

namespace mv {
namespace {

using test::CaptureRig;
using test::SampleNetwork;
using test::SharesIn;

// Everything is ticked after a scan; shares are read at their computer's turn, in table
// order; a group and a computer must both be ticked, so a computer at the root is never
// captured; nothing chosen still ends with the one message.
TEST(CaptureJob, OnlyTickedSharesOfTickedComputersInTickedGroupsAreCaptured) {
  using Captured = std::map<std::string, std::vector<std::string>>;
  const std::pair<std::vector<const char*>, Captured> cases[] = {
      {{}, {{"PC1", {"Docs", "Music"}}, {"PC2", {"Public"}}, {"SERVER", {"Projects", "Backup"}}}},
      {{"WORKGROUP/PC1/Music", "WORKGROUP/PC2/Public"},
       {{"PC1", {"Docs"}}, {"SERVER", {"Projects", "Backup"}}}},
      {{"OFFICE", "WORKGROUP/PC2"}, {{"PC1", {"Docs", "Music"}}}},
      {{"WORKGROUP", "OFFICE"}, {}},
  };
  for (const auto& [unticked, expected] : cases) {
    CaptureRig rig(SampleNetwork(), unticked.empty() ? 1 : kCaptureWorkers);  // one does all
    const auto loner = rig.scan.network.AddComputer(rig.scan.network.AddProvider("Loose"), "PC0");
    rig.scan.network.AddShare(loner, "PC0", "Data");
    rig.scan.Scan();
    for (const char* path : unticked) rig.scan.tree.SetTicked(rig.scan.tree.FindPath(path), false);
    rig.CaptureTicked();
    Captured captured;
    for (const auto& [computer, text] : rig.Snapshots()) {
      captured[computer] = SharesIn(text);
      EXPECT_TRUE(test::EndsComplete(text));
      if (computer != "SERVER") continue;
      EXPECT_NE(text.find("GROUP: OFFICE\r\n"), std::string::npos);
      EXPECT_NE(text.find("sub\\b.txt;;f;;2;;"), std::string::npos);
    }
    EXPECT_EQ(captured, expected) << unticked.size();
    EXPECT_EQ(rig.notices.Messages(), (std::vector<std::pair<std::string, MessageKind>>{
                                          {kSnapshotsCreated, MessageKind::kInformation}}));
  }
}

TEST(CaptureJob, UnwritableSnapshotsAreReportedOnceWithTheErrorIcon) {
  CaptureRig rig(SampleNetwork());
  rig.CaptureTicked(rig.scratch.Join("no such folder"));
  const auto messages = rig.notices.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].second, MessageKind::kError);
  EXPECT_EQ(messages[0].first.find(kSnapshotsCreated), std::string::npos);
  for (const char* computer : {"PC1", "PC2", "SERVER"}) {
    EXPECT_NE(messages[0].first.find(std::string("\n") + computer + " ("), std::string::npos)
        << messages[0].first;
  }
}

// Long names reach the file whole, and every share is captured.
TEST(CaptureJob, EveryShareIsCapturedHoweverMany) {
  const std::string computer(70, 'C'), share(90, 's');
  NetworkDescription network;
  network.groups.push_back({std::string(64, 'G'), {{computer, {}}}});
  for (int i = 1; i <= 70; ++i)
    network.groups[0].computers[0].shares.push_back(share + std::to_string(i));
  CaptureRig rig(network);
  rig.CaptureTicked();
  const auto snapshots = rig.Snapshots();
  ASSERT_EQ(snapshots.count(computer), 1u);
  const auto shares = SharesIn(snapshots.begin()->second);
  ASSERT_EQ(shares.size(), 70u);
  EXPECT_EQ(shares.back(), share + "70");
  const auto messages = rig.notices.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], std::pair(std::string(kSnapshotsCreated), MessageKind::kInformation));
}

// Shares go to the writer as a list: a name holding ';' is walked under its own name. A
// computer none of whose shares could be listed gets no snapshot and is named as failed; a
// share that could not be listed on a computer otherwise read has a heading of its own.
TEST(CaptureJob, SharesAreAListAndAComputerNotReadIsAFailure) {
  NetworkDescription network;
  network.groups.push_back({"WG", {{"PC1", {"a;b", "Gone"}}, {"OFF", {"Docs"}}}});
  CaptureRig rig(network);
  std::filesystem::remove_all(rig.scratch.Join("unc/OFF"));
  std::filesystem::remove_all(rig.scratch.Join("unc/PC1/Gone"));
  rig.CaptureTicked();
  const auto snapshots = rig.Snapshots();
  ASSERT_EQ(snapshots.size(), 1u);
  const std::string& text = snapshots.begin()->second;
  EXPECT_NE(text.find("\r\nSHARENAME: a;b\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nsub\\b.txt;;f;;2;;"), std::string::npos);
  const auto messages = rig.notices.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].second, MessageKind::kError);
  EXPECT_NE(messages[0].first.find("\nOFF (none of its shares could be listed: not found)\n"),
            std::string::npos);
  EXPECT_NE(messages[0].first.find(std::string(kSharesNotListedHeading) + "\n\\\\PC1\\Gone"),
            std::string::npos);
}

// More groups and computers than fixed tables would hold, over several jobs: each captured
// once, whole, and one message per job.
TEST(CaptureJob, ManyJobsOverManyComputersCaptureEachOnceAndEndOnce) {
  CaptureRig rig(MakeUniformNetwork(40, 14, 1));
  for (int round = 1; round <= 2; ++round) {
    std::filesystem::remove_all(rig.SnapshotDir());
    std::filesystem::create_directories(rig.SnapshotDir());
    rig.CaptureTicked();
    const auto snapshots = rig.Snapshots();
    std::set<std::string> computers;
    for (const auto& [computer, text] : snapshots) {
      computers.insert(computer);
      EXPECT_TRUE(test::EndsComplete(text));
    }
    EXPECT_EQ(snapshots.size(), 560u);
    EXPECT_EQ(computers.size(), 560u);
    EXPECT_EQ(rig.notices.Messages().size(), static_cast<std::size_t>(round));
  }
}

TEST(EndOfJobMessage, ListsAreCutShort) {
  std::vector<std::string> failed;
  for (int i = 0; i < 25; ++i) failed.push_back("PC" + std::to_string(i));
  const EndOfJobMessage message = ComposeEndOfJobMessage(failed, {"\\\\PC1\\X"});
  EXPECT_EQ(message.kind, MessageKind::kError);
  EXPECT_NE(message.text.find("\nPC19\n... and 5 more\n\n"), std::string::npos) << message.text;
  EXPECT_EQ(message.text.find("PC20"), std::string::npos);
  EXPECT_NE(message.text.find("\\\\PC1\\X"), std::string::npos);
  EXPECT_EQ(DescribeFailedComputer("PC7", IoError::kAccessDenied), "PC7 (access denied)");
  // Altered names are told after the lists, and do not make a success an error.
  const EndOfJobMessage altered = ComposeEndOfJobMessage({}, {}, 2);
  EXPECT_EQ(altered.kind, MessageKind::kInformation);
  EXPECT_EQ(altered.text, "Snapshots successfully created.\n\n" + DescribeNamesAltered(2));
}

// Out of handles: nothing waits on a missing event (it would wake at once, forever).
TEST(CaptureJob, MissingEventsStartNothingThatSpins) {
  FailNextEventCreations(2);  // the scan event, then the capture event
  test::ScanRig scan;
  test::RecordingNotices notices;
  CaptureJob job(*scan.browser, notices, scan.gate, PlatformFileSystem(), PlatformClock(),
                 test::kFastCapture);
  EXPECT_FALSE(scan.browser->StartScanThread());
  EXPECT_EQ(job.StartWorkers(), 0);
  EXPECT_EQ(BackgroundTaskProblems(0, false),
            "The capture workers could not be started: no snapshot can be taken.\n"
            "The network scan could not be started: the network cannot be browsed.");
  EXPECT_EQ(BackgroundTaskProblems(5, true), "Only 5 of the 8 capture workers could be started.");
  EXPECT_EQ(BackgroundTaskProblems(kCaptureWorkers, true), "");
}

}  // namespace
}  // namespace mv
