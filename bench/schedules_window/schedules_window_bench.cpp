// Times the Schedules window over a schedules file of 50 schedules with 100 runs each: from
// its creation to its first drawing done, against reading and parsing the two files it shows
// (the least it must do), in the same process. Prints both and their ratio.
//
//   schedules_window_bench FOLDER [RUNS]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_timing.h"
#include "capture/schedule_service.h"
#include "res/resource_ids.h"
#include "ui/win32/schedules_window.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: schedules_window_bench FOLDER [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  mv::ScheduleFiles files =
      mv::ScheduleFilesAt(mv::ScheduleFilePath(argv[1], mv::kSchedulesFileName));
  for (int s = 0; s < 50; ++s) {
    mv::Schedule schedule;
    schedule.name = "Schedule " + std::to_string(s);
    schedule.groups = {"OFFICE"};
    schedule.computers = {"PC" + std::to_string(s)};
    schedule.when.hour = s % 24;
    schedule.retention.keepDaily = 14;
    files.schedules.push_back(schedule);
    mv::ScheduleRuns& record = mv::RunsOf(files.runs, schedule.name);
    for (int r = 0; r < 100; ++r) {
      mv::ScheduleRunRecord run;
      run.started = {2026, 1 + r / 28, 1 + r % 28, 2, 0, 0};
      run.ended = {2026, 1 + r / 28, 1 + r % 28, 2, 14, 9};
      run.ok = r % 7 != 0;
      run.outcome = run.ok ? "12 snapshots, 1 removed by retention"
                           : "11 snapshots; PC7: not found on the network";
      mv::AddScheduleRun(record, run);
    }
  }
  if (!mv::SaveSchedules(mv::PlatformFileSystem(), files).empty() ||
      !mv::SaveScheduleRuns(mv::PlatformFileSystem(), files).empty()) {
    std::fprintf(stderr, "cannot write the schedules files in %s\n", argv[1]);
    return 1;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  mv::UseSchedulesFile(files.schedulesPath, nullptr);

  const double read = mv::bench::BestOf(runs, [&] {
    mv::ScheduleFiles again = mv::ScheduleFilesAt(files.schedulesPath);
    std::string error;
    if (!mv::LoadScheduleFiles(mv::PlatformFileSystem(), again, error)) std::abort();
  });
  // Timed to its first drawing done; its closing is not (Wine takes seconds to hand the
  // activation on when a process's last window goes).
  int rows = 0;
  double open = 1e300;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    HWND window = mv::ShowSchedulesWindow(nullptr);
    if (window == nullptr) return 1;
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    open = std::min(open, mv::bench::MillisecondsSince(start));
    rows = static_cast<int>(SendDlgItemMessageW(window, IDC_SCHEDULE_LIST, LVM_GETITEMCOUNT, 0, 0) +
                            SendDlgItemMessageW(window, IDC_SCHEDULE_RUNS, LVM_GETITEMCOUNT, 0, 0));
    DestroyWindow(window);
  }
  std::printf(
      "best of %d: files read %.2f ms, window opened and drawn %.2f ms (%d rows), "
      "ratio window / read = %.1f\n",
      runs, read, open, rows, open / read);
  return 0;
}
