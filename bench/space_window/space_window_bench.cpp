// Times the Space window over a snapshot: from its creation to the first map drawn (the
// status line names what the map shows), against a load of the same snapshot in the same
// process, the least the window must do. Prints both and their ratio.
//
//   space_window_bench SNAPSHOT [RUNS]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_timing.h"
#include "core/loaded_snapshot.h"
#include "res/resource_ids.h"
#include "ui/win32/space_window.h"
#include "ui/win32/window_text.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: space_window_bench SNAPSHOT [RUNS]\n");
    return 2;
  }
  const std::string path = argv[1];
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  const double load = mv::bench::BestOf(runs, [&] {
    mv::LoadedSnapshot snapshot;
    if (snapshot.Load(mv::PlatformFileSystem(), path) != mv::LoadResult::kAccepted) std::abort();
  });
  double shown = 1e300;
  std::string status;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    mv::SpaceSetup setup;
    setup.snapshotPath = path;
    HWND window = mv::OpenSpaceWindow(nullptr, setup);
    if (window == nullptr) return 1;
    HWND line = GetDlgItem(window, IDC_SPACE_STATUS);
    // Drawn once the worker's answer is taken: the status line then names the folder shown.
    while (mv::WholeWindowText(line).find(':') == std::string::npos) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      if (mv::bench::MillisecondsSince(start) > 120000) return 1;
      MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    shown = std::min(shown, mv::bench::MillisecondsSince(start));
    status = mv::WholeWindowText(line);
    DestroyWindow(window);
  }
  std::printf(
      "best of %d: load %.0f ms, Space window drawn %.0f ms (%s), ratio window / load = "
      "%.2f\n",
      runs, load, shown, status.c_str(), shown / load);
  return 0;
}
