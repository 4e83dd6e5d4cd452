// schedule list|run|run-due over a described network: first sight, a run, the lock.
#include <gtest/gtest.h>

#include <filesystem>

#include "capture/schedule.h"
#include "cli_run.h"
#include "platform/file_lock.h"
#include "platform/threading.h"
#include "test_support.h"

namespace mv::cli {
namespace {

#ifndef _WIN32
TEST(CliSchedule, FirstSightRunAndTheLock) {
  test::ScratchDir scratch;
  test::WriteTextFile(scratch.Join("network.txt"),
                      "group WORKGROUP\n computer PC1\n  share Docs\n");
  for (const char* folder : {"unc/PC1/Docs", "snapshots"})
    std::filesystem::create_directories(scratch.Join(folder));
  const std::string schedules = scratch.Join(kSchedulesFileName);
  test::WriteTextFile(schedules, "[Nightly]\ncomputer=pc1\nwhen=daily 02:00\nkeep-last=1\n");
  const Args common = {"--schedules", schedules,
                       "--snapshots", scratch.Join("snapshots"),
                       "--network",   scratch.Join("network.txt"),
                       "--unc-root",  scratch.Join("unc")};
  auto run = [&](Args args) {
    args.insert(args.end(), common.begin(), common.end());
    return test::RunCommand(args);
  };

  // Seen for the first time: recorded, not run.
  EXPECT_EQ(run({"schedule", "run-due"}).code, kExitOk);
  EXPECT_NE(test::ReadTextFile(scratch.Join(kScheduleRunsFileName)).find("seen="),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(scratch.Join("snapshots")));

  for (int i = 0; i < 2; ++i) {
    const test::CliRun now = run({"schedule", "run", "NIGHTLY"});
    EXPECT_EQ(now.code, kExitOk) << now.err;
    EXPECT_EQ(now.out, i == 0 ? "Nightly: ok: 1 snapshot\n"
                              : "Nightly: ok: 1 snapshot, 1 removed by retention\n");
    SleepMilliseconds(1100);  // the next capture gets another name
  }
  const test::CliRun list = run({"schedule", "list"});
  EXPECT_NE(list.out.find("  last run: "), std::string::npos);
  EXPECT_NE(list.out.find(" ok: 1 snapshot, 1 removed by retention\n"), std::string::npos)
      << list.out;

  IoError error = IoError::kNone;
  const auto held = TryLockFile(scratch.Join(kScheduleLockFileName), error);
  ASSERT_NE(held, nullptr);
  const test::CliRun locked = run({"schedule", "run", "Nightly"});
  EXPECT_EQ(locked.code, kExitFailure);
  EXPECT_NE(locked.err.find("another run of the schedules is under way"), std::string::npos);

  test::WriteTextFile(schedules, "[Nightly]\ncomputer=pc1\nwhen=nightly\n");
  const test::CliRun damaged = run({"schedule", "list"});
  EXPECT_EQ(damaged.code, kExitFailure);
  EXPECT_NE(damaged.err.find(", line 3: wrong value for when"), std::string::npos) << damaged.err;
}
#endif

}  // namespace
}  // namespace mv::cli
