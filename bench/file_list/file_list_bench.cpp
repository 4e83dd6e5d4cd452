// Times the main window's file list on folders of 2,000, 5,000 and 100,000 files: from the
// double click on the folder's row to the filled and painted list, and a click on the Size
// column to the sorted and painted list. The baseline, in the same run, is loading the
// snapshot file that holds the folder. Prints milliseconds.
//
//   file_list_bench SCRATCH_FOLDER [ROWS...]
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "res/resource_ids.h"
#include "ui/win32/main_window.h"
#include "ui/win32/main_window_state.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of the process so far, in milliseconds: on a busy machine the wall clock
// also counts other programs.
double ProcessorMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto value = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                               t.dwLowDateTime) /
           1e4;
  };
  return value(kernel) + value(user);
}

// Everything the window has queued, painting included.
void Settle(HWND window) {
  UpdateWindow(window);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  UpdateWindow(window);
}

// A snapshot of one share holding the folder Big with `rows` files of mixed types and sizes.
std::string WriteSnapshot(const std::string& folder, int rows) {
  const std::string path =
      folder + "\\WG.PC" + std::to_string(rows) + ".05.12.2026.09.04.05.mirvaul";
  std::ofstream out(path, std::ios::binary);
  out << "Mirrorvault file\r\nVERSION: 1.0\r\nCOMPUTER: PC" << rows
      << "\r\nGROUP: WG\r\nDATE CREATED: 05.12.2026 09:04:05\r\n\r\nSHARENAME: Data\r\n"
      << "Big;;d;;0;;1.15.2010\r\n";
  const char* types[] = {"pdf", "docx", "jpg", "txt", "xlsx", "zip", "msg", "tif"};
  for (int i = 0; i < rows; ++i) {
    const unsigned h = static_cast<unsigned>(i) * 2654435761u;
    out << "Big\\scan" << h % 1000003 << "_" << i << "." << types[h % 8] << ";;f;;" << h % 5000000
        << ";;" << h % 12 + 1 << "." << h % 28 + 1 << "." << 2000 + h % 25 << "\r\n";
  }
  out << "END\r\n";
  return path;
}

int RowNamed(const std::string& name) {
  mv::FileListPort& list = *mv::MainState().fileList;
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.CellText(row, mv::kNameColumn) == name) return row;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: file_list_bench SCRATCH_FOLDER [ROWS...]\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {2000, 5000, 100000};

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  mv::MainWindowSetup setup;
  setup.snapshotsDirectory = folder;
  setup.exitApplication = [] {};
  mv::SetMainWindowSetup(std::move(setup));
  HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                   mv::MainWindowProc, 0);
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOW);
  Settle(window);
  mv::MainWindowState& s = mv::MainState();

  for (const int rows : sizes) {
    const std::string path = WriteSnapshot(folder, rows);
    Clock::time_point start = Clock::now();
    if (s.browser->LoadSnapshot(path) != 1) return 1;
    const double load = MillisecondsSince(start);
    s.browser->ClearNavigationPath();
    s.browser->SetSnapshotComputer(s.browser->info().computer);
    s.browser->OpenLocation("");
    s.browser->OpenLocation("Data");
    Settle(window);

    // A double click on Big: the list tells the window, as a click on the row does.
    s.fileList->SelectOnly(RowNamed("Big"));
    NMITEMACTIVATE click{};
    click.hdr = {s.list, IDC_FILE_LIST, static_cast<UINT>(NM_DBLCLK)};
    start = Clock::now();
    double cpu = ProcessorMilliseconds();
    SendMessageA(window, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&click));
    Settle(window);
    const double open = MillisecondsSince(start);
    const double openCpu = ProcessorMilliseconds() - cpu;
    const int shown = s.fileList->RowCount();

    NMLISTVIEW header{};
    header.hdr = {s.list, IDC_FILE_LIST, static_cast<UINT>(LVN_COLUMNCLICK)};
    header.iItem = -1;
    header.iSubItem = mv::kSizeColumn;
    start = Clock::now();
    cpu = ProcessorMilliseconds();
    SendMessageA(window, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&header));
    Settle(window);
    const double sort = MillisecondsSince(start);
    const double sortCpu = ProcessorMilliseconds() - cpu;

    std::printf(
        "rows=%d (list %d): open_ms=%.1f (processor %.1f) sort_ms=%.1f (processor %.1f); "
        "baseline: load_ms=%.1f, open/load %.2f\n",
        rows, shown, open, openCpu, sort, sortCpu, load, open / load);
    std::fflush(stdout);
    DeleteFileA(path.c_str());
  }
  DestroyWindow(window);
  return 0;
}
