// Schedules: due times over missed runs and daylight-saving days, the files and their
// damage, the lock, and a run through the capture job that waits, retries and keeps.
#include "capture/schedule.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "capture/schedule_file.h"
#include "capture/schedule_form.h"
#include "capture/schedule_run.h"
#include "capture_rig.h"
#include "core/civil_date.h"
#include "platform/file_lock.h"

namespace mv {
namespace {

LocalTime At(const char* text) {
  LocalTime t;
  EXPECT_TRUE(ParseScheduleTime(text, t)) << text;
  return t;
}

ScheduleWhen When(const char* text) {
  ScheduleWhen when;
  EXPECT_TRUE(ParseScheduleWhen(text, when)) << text;
  return when;
}

// Wall-clock minutes of one day, as a clock that moves by a daylight-saving change shows
// them: from `from`, `skipped` minutes are left out (spring) or `repeated` minutes come
// twice (autumn) at 02:00.
std::vector<LocalTime> WallMinutes(const char* day, int skipped, int repeated) {
  std::vector<LocalTime> minutes;
  for (int m = 0; m < 24 * 60; ++m) {
    LocalTime t = At(day);
    t.hour = m / 60;
    t.minute = m % 60;
    if (m >= 120 && m < 120 + skipped) continue;
    minutes.push_back(t);
    if (m == 120 + 59 && repeated > 0) {
      for (int r = 120 + 60 - repeated; r < 180; ++r) {
        LocalTime again = t;
        again.hour = r / 60;
        again.minute = r % 60;
        minutes.push_back(again);
      }
    }
  }
  return minutes;
}

TEST(Schedule, DueOnceForMissedAndDaylightSavingTimes) {
  // Daily: due from its time on, once; missed days run once at the next look.
  const ScheduleWhen daily = When("daily 02:30");
  EXPECT_FALSE(IsScheduleDue(daily, At("2026-12-07 02:30:05"), At("2026-12-08 02:29:59")));
  EXPECT_TRUE(IsScheduleDue(daily, At("2026-12-07 02:30:05"), At("2026-12-08 02:30:00")));
  EXPECT_TRUE(IsScheduleDue(daily, At("2026-12-01 02:30:00"), At("2026-12-08 09:00:00")));
  EXPECT_FALSE(IsScheduleDue(daily, At("2026-12-08 09:00:00"), At("2026-12-08 23:59:59")));
  EXPECT_EQ(ScheduleTimeText(NextScheduledTime(daily, At("2026-12-31 23:00:00"))),
            "2027-01-01 02:30:00");
  EXPECT_EQ(ScheduleTimeText(
                NextScheduledTime(When("weekdays mon,fri 08:00"), At("2026-12-08 10:00:00"))),
            "2026-12-11 08:00:00");  // a Tuesday: Friday next
  EXPECT_EQ(
      ScheduleTimeText(NextScheduledTime(When("every 6h from 01:15"), At("2026-12-08 19:15:00"))),
      "2026-12-09 01:15:00");
  EXPECT_EQ(
      ScheduleTimeText(NextScheduledTime(When("every 6h from 01:15"), At("2026-12-08 13:00:00"))),
      "2026-12-08 13:15:00");

  // A clock looked at every minute over the spring day (02:00 to 02:59 never shows) and
  // the autumn day (02:00 to 02:59 shows twice): each schedule runs exactly once a day,
  // at 02:30 or at the first minute after it.
  for (const auto& [day, skipped, repeated] :
       {std::tuple{"2026-03-29 00:00:00", 60, 0}, std::tuple{"2026-10-25 00:00:00", 0, 60}}) {
    for (const char* when : {"daily 02:30", "weekdays sun 02:30", "every 24h from 02:30"}) {
      LocalTime reference = At(day);  // the day before's run
      reference.day -= 1;
      reference.hour = 2;
      reference.minute = 30;
      int runs = 0;
      for (const LocalTime& now : WallMinutes(day, skipped, repeated)) {
        if (!IsScheduleDue(When(when), reference, now)) continue;
        ++runs;
        EXPECT_EQ(now.hour, skipped > 0 ? 3 : 2) << day << " " << when;
        reference = now;
      }
      EXPECT_EQ(runs, 1) << day << " " << when;
    }
  }
  ScheduleWhen bad;
  for (const char* text : {"daily 24:00", "daily 2:30", "weekdays 02:00", "weekdays xyz 02:00",
                           "every 0h", "every 25h", "every 6h at 00:00", "hourly"}) {
    EXPECT_FALSE(ParseScheduleWhen(text, bad)) << text;
  }
}

TEST(ScheduleFile, RoundTripsAndNamesTheLineOfDamage) {
  const std::string text =
      "# deployed\n[Nightly]\ngroup=OFFICE\ncomputer=PC7\nshare=PC9\\Docs\n"
      "when=weekdays mon,fri 02:00\nkeep-daily=7\nkeep-within=30d\n\n[Hourly]\n"
      "computer=PC1\nwhen=every 1h from 00:05\n";
  std::vector<Schedule> schedules;
  ScheduleFileError error;
  ASSERT_TRUE(ParseSchedules(text, schedules, error)) << error.message;
  ASSERT_EQ(schedules.size(), 2u);
  EXPECT_EQ(schedules[0].shares, std::vector<std::string>{"PC9\\Docs"});
  std::vector<Schedule> again;
  ASSERT_TRUE(ParseSchedules(FormatSchedules(schedules), again, error));
  EXPECT_EQ(FormatSchedules(again), FormatSchedules(schedules));

  for (const auto& [damaged, line] : std::vector<std::pair<std::string, int>>{
           {"[A]\ncomputer=PC1\nwen=daily 02:00\n", 3},
           {"[A]\ncomputer=PC1\nwhen=daily 2\n", 3},
           {"[A]\ncomputer=X\nwhen=daily 02:00\n[a]\ncomputer=X\nwhen=daily 02:00\n", 4},
           {"[A]\nwhen=daily 02:00\n", 1},
           {"computer=PC1\n", 1},
           {"[A]\ncomputer=PC1\nwhen=daily 02:00\nshare=Docs\n", 4},
           {"[A]\r\ncomputer=PC\xFF\r\n", 2},
           {"[A\n", 1}}) {
    std::vector<Schedule> kept = schedules;
    EXPECT_FALSE(ParseSchedules(damaged, kept, error)) << damaged;
    EXPECT_EQ(error.line, line) << damaged << error.message;
    EXPECT_EQ(kept.size(), 2u);  // the schedules read before stay
  }

  // Runs: the last kKeptRunsPerSchedule stay; an outcome with ';' reads back whole.
  std::vector<ScheduleRuns> runs;
  for (int i = 0; i < 130; ++i) {
    AddScheduleRun(RunsOf(runs, "Nightly"),
                   {At("2026-12-08 02:00:00"), At("2026-12-08 02:01:00"), i % 2 == 0,
                    "run " + std::to_string(i) + "; PC7: not found"});
  }
  std::vector<ScheduleRuns> read;
  ASSERT_TRUE(ParseScheduleRuns(FormatScheduleRuns(runs), read, error)) << error.message;
  ASSERT_EQ(read.size(), 1u);
  ASSERT_EQ(read[0].runs.size(), kKeptRunsPerSchedule);
  EXPECT_EQ(read[0].runs.front().outcome, "run 30; PC7: not found");
  EXPECT_FALSE(ParseScheduleRuns("[A]\nrun=2026-12-08 02:00:00;x;ok;\n", read, error));
  EXPECT_EQ(error.line, 2);
}

TEST(ScheduleRun, WaitsForACaptureRetriesTheUnreachableAndKeeps) {
  // The lock is one holder's at a time, within one process too.
  test::ScratchDir lockDir;
  IoError error = IoError::kNone;
  auto first = TryLockFile(lockDir.Join(kScheduleLockFileName), error);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(TryLockFile(lockDir.Join(kScheduleLockFileName), error), nullptr);
  EXPECT_EQ(error, IoError::kSharingViolation);
  first.reset();
  EXPECT_NE(TryLockFile(lockDir.Join(kScheduleLockFileName), error), nullptr);

  test::CaptureRig rig(test::SampleNetwork());
  Schedule schedule;
  schedule.name = "Nightly";
  schedule.groups = {"office"};
  schedule.computers = {"PC7"};
  schedule.shares = {"PC1\\Music", "PC1\\Nothing"};
  schedule.retention.keepLast = 1;
  // An older snapshot of SERVER goes by retention; PC2's, not in the schedule, stays.
  for (const char* old :
       {"OFFICE.SERVER.01.12.2026.02.00.00.mirvaul", "WORKGROUP.PC2.01.12.2026.02.00.00.mirvaul"}) {
    test::WriteTextFile(rig.SnapshotDir() + "/" + old, "");
  }
  int pauses = 0;
  ScheduleRunContext context{*rig.scan.browser, *rig.job,          rig.scan.gate,         rig.fs,
                             PlatformClock(),   rig.SnapshotDir(), [&](int) { ++pauses; }};

  // A capture holds the gate: the run waits for it instead of being lost.
  ASSERT_TRUE(rig.scan.gate.TryEnterCapture());
  std::atomic<bool> done{false};
  ScheduleRunRecord record;
  std::thread run([&] {
    record = RunSchedule(schedule, context);
    done = true;
  });
  SleepMilliseconds(50);
  EXPECT_FALSE(done.load());
  rig.scan.gate.Leave();
  run.join();

  EXPECT_FALSE(record.ok);
  EXPECT_EQ(pauses, kUnreachableRetryCount);
  EXPECT_EQ(record.outcome,
            "2 snapshots, 1 removed by retention; PC1\\Nothing: not found on the network; "
            "PC7: not found on the network");
  const auto snapshots = rig.Snapshots();
  ASSERT_EQ(snapshots.count("PC1"), 1u);
  EXPECT_EQ(test::SharesIn(snapshots.find("PC1")->second), std::vector<std::string>{"Music"});
  EXPECT_EQ(snapshots.count("SERVER"), 1u);
  EXPECT_EQ(test::SharesIn(snapshots.find("SERVER")->second),
            (std::vector<std::string>{"Projects", "Backup"}));
  EXPECT_EQ(snapshots.count("PC2"), 1u);
}

TEST(ScheduleForm, RoundTripsAndRefusesWhatTheFileWould) {
  Schedule schedule;
  schedule.name = "Nightly";
  schedule.groups = {"OFFICE"};
  schedule.shares = {"PC9\\Docs", "PC9\\Music"};
  schedule.when = When("weekdays mon,fri 02:30");
  schedule.retention.keepDaily = 7;
  RetentionSpan span;
  ASSERT_TRUE(ParseRetentionSpan("30d", span));
  schedule.retention.keepWithin = span;
  const ScheduleForm form = FormOfSchedule(schedule);
  EXPECT_EQ(form.shares, "PC9\\Docs, PC9\\Music");
  Schedule back;
  std::string problem;
  ASSERT_TRUE(ScheduleOfForm(form, back, problem)) << problem;
  EXPECT_EQ(FormatSchedules({back}), FormatSchedules({schedule}));

  auto refused = [&](const std::function<void(ScheduleForm&)>& change) {
    ScheduleForm wrong = form;
    change(wrong);
    Schedule untouched;
    std::string why;
    return !ScheduleOfForm(wrong, untouched, why) && !why.empty() && untouched.name.empty();
  };
  EXPECT_TRUE(refused([](ScheduleForm& f) { f.name = "a]b"; }));
  EXPECT_TRUE(refused([](ScheduleForm& f) { f.groups = f.shares = ""; }));
  EXPECT_TRUE(refused([](ScheduleForm& f) { f.shares = "PC9"; }));
  EXPECT_TRUE(refused([](ScheduleForm& f) { f.computers = "PC1\nkeep-last=1"; }));
  EXPECT_TRUE(refused([](ScheduleForm& f) { f.time = "24:00"; }));
  EXPECT_TRUE(refused([](ScheduleForm& f) { f.weekdays = 0; }));
  EXPECT_TRUE(refused([](ScheduleForm& f) {
    f.repeat = ScheduleRepeat::kEveryHours;
    f.everyHours = "25";
  }));
  EXPECT_TRUE(refused([](ScheduleForm& f) { f.keepLast = "0"; }));
  EXPECT_TRUE(refused([](ScheduleForm& f) { f.keepWithin = "30x"; }));
}

TEST(ScheduleForm, TicksBecomeWholeGroupsComputersOrShares) {
  DiscoveryTables tables;
  TreeItem next = 1;
  std::vector<TreeItem> ticked;
  auto add = [&](bool tick) {
    if (tick) ticked.push_back(next);
    return next++;
  };
  const TreeItem whole = add(true), mixed = add(true), unticked = add(false);
  tables.AddGroup("WHOLE", whole);
  tables.AddGroup("MIXED", mixed);
  tables.AddGroup("NONE", unticked);
  auto computer = [&](const char* name, TreeItem group, bool tick,
                      std::vector<std::pair<const char*, bool>> shares) {
    const TreeItem item = add(tick);
    tables.AddComputer(name, group, item);
    for (const auto& [share, on] : shares) tables.AddShare(share, item, add(on));
  };
  computer("PC1", whole, true, {{"A", true}, {"B", true}});
  computer("PC2", whole, true, {});
  computer("PC3", mixed, true, {{"A", true}});
  computer("PC4", mixed, true, {{"A", false}, {"B", true}});
  computer("PC5", mixed, false, {{"A", true}});
  computer("PC6", unticked, true, {{"A", true}});
  Schedule schedule;
  ScheduleTargetsOfTicks(
      tables,
      [&](TreeItem item) { return std::find(ticked.begin(), ticked.end(), item) != ticked.end(); },
      schedule);
  EXPECT_EQ(schedule.groups, std::vector<std::string>{"WHOLE"});
  EXPECT_EQ(schedule.computers, std::vector<std::string>{"PC3"});
  EXPECT_EQ(schedule.shares, std::vector<std::string>{"PC4\\B"});
}

}  // namespace
}  // namespace mv
