// Stops during a capture job: only unfinished files go, the message still comes once, and a
// new scan or job waits until every worker of the stopped job is back.
#include <gtest/gtest.h>

#include <atomic>
#include <set>

#include "capture/end_of_job_message.h"
#include "capture_rig.h"
#include "platform/threading.h"

namespace mv {
namespace {

using test::CaptureRig;

TEST(CaptureStop, AStopDeletesOnlyTheUnfinishedFiles) {
  for (const int stopAt : {1, 7, 40, 95, 160}) {
    CaptureRig rig(MakeUniformNetwork(4, 8, 2));
    std::atomic<int> listings{0};
    rig.fs.onList = [&](const std::string&) {
      if (++listings == stopAt) SetActivityState(kStopRequest);
    };
    rig.CaptureTicked();
    const auto created = rig.fs.Created();
    const auto removed = rig.fs.Removed();
    EXPECT_EQ(std::set<std::string>(created.begin(), created.end()).size(), created.size())
        << "a computer captured twice";
    EXPECT_LE(removed.size(), static_cast<std::size_t>(kCaptureWorkers));
    const auto snapshots = rig.Snapshots();
    EXPECT_EQ(snapshots.size() + removed.size(), created.size()) << "stop at " << stopAt;
    for (const auto& [computer, text] : snapshots) EXPECT_TRUE(test::EndsComplete(text));
    EXPECT_EQ(rig.notices.Messages(), (std::vector<std::pair<std::string, MessageKind>>{
                                          {kSnapshotsCreated, MessageKind::kInformation}}));
  }
}

// The dialog closed during the stop and opened again asks for a scan at once: it must not
// start while a worker of the stopped job is still walking a share.
TEST(CaptureStop, NewScanWaitsUntilTheStoppedJobsLastWorkerIsBack) {
  CaptureRig rig(MakeUniformNetwork(1, 4, 1));
  ManualResetEvent stragglerInside;
  ManualResetEvent letStragglerGo;
  rig.fs.onList = [&](const std::string& pattern) {
    if (pattern.find("G1PC1") == std::string::npos) return;
    SetActivityState(kStopRequest);
    stragglerInside.Set();
    letStragglerGo.Wait();
  };
  const int scansBefore = rig.scan.browser->CompletedScans();
  const int insertsBefore = rig.scan.tree.InsertCalls();
  ASSERT_TRUE(rig.job->StartCaptureOfTicked(rig.SnapshotDir()));
  stragglerInside.Wait();
  rig.scan.browser->RequestScan();
  EXPECT_FALSE(rig.job->StartCaptureOfTicked(rig.SnapshotDir()));
  SleepMilliseconds(50);
  EXPECT_EQ(GetActivityState(), kIdle);  // the new scan has not hidden the stop
  EXPECT_EQ(rig.scan.tree.InsertCalls(), insertsBefore);
  EXPECT_EQ(rig.job->CompletedJobs(), 0);

  letStragglerGo.Set();
  rig.scan.gate.WaitUntilFree();
  EXPECT_EQ(rig.job->CompletedJobs(), 1);
  EXPECT_EQ(rig.scan.browser->CompletedScans(), scansBefore + 1);
  EXPECT_EQ(rig.Snapshots().count("G1PC1"), 0u);  // the straggler's file was deleted
  EXPECT_EQ(rig.notices.Messages().size(), 1u);
  EXPECT_EQ(rig.scan.CheckTablesMatchTree(), 1 + 4 + 4);
}

// Nothing starts while a scan is wanted or running, nor while the end-of-job message is on
// screen.
// The refusal says which.
TEST(CaptureStop, NothingStartsWhileAScanOrTheEndOfJobMessageHoldsTheGate) {
  EXPECT_EQ(CaptureRig(test::SampleNetwork(), 0).job->TryStartCaptureOfTicked(""),
            CaptureRefusal::kNoWorkers);
  CaptureRig rig(test::SampleNetwork());
  rig.scan.gate.NoteScanWanted();
  EXPECT_EQ(rig.job->TryStartCaptureOfTicked(rig.SnapshotDir()), CaptureRefusal::kScanPending);
  rig.scan.gate.EnterScan();
  EXPECT_EQ(rig.job->TryStartCaptureOfTicked(rig.SnapshotDir()), CaptureRefusal::kTaskEnding);
  rig.scan.gate.Leave();

  rig.notices.Hold();
  ASSERT_TRUE(rig.job->StartCaptureOfTicked(rig.SnapshotDir()));
  while (rig.notices.Messages().empty()) SleepMilliseconds(1);
  EXPECT_FALSE(rig.job->StartCaptureOfTicked(rig.SnapshotDir()));
  const int scansBefore = rig.scan.browser->CompletedScans();
  rig.scan.browser->RequestScan();
  SleepMilliseconds(20);
  EXPECT_EQ(rig.scan.browser->CompletedScans(), scansBefore);
  rig.notices.Release();
  rig.scan.gate.WaitUntilFree();
  EXPECT_EQ(rig.scan.browser->CompletedScans(), scansBefore + 1);
  EXPECT_EQ(rig.Snapshots().size(), 3u);
  rig.CaptureTicked();
  EXPECT_EQ(rig.notices.Messages().size(), 2u);
}

}  // namespace
}  // namespace mv
