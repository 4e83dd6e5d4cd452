// The Compare window: see compare_window.h.
#include "ui/win32/compare_window.h"

#include <commctrl.h>

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/code_page_text.h"
#include "core/library_snapshots.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/win32/escaped_exception.h"
#include "query/snapshot_diff.h"
#include "res/resource_ids.h"
#include "ui/compare_rows.h"
#include "ui/win32/key_routing.h"
#include "ui/win32/report_columns.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

constexpr int kMargin = 8;  // pixels around and between the controls
constexpr ReportColumn kColumns[kCompareColumns] = {
    {L"Change", 95}, {L"Path", 340}, {L"Size", 130}, {L"Date Created", 160}};
constexpr wchar_t kComparing[] = L"Comparing...";

struct CompareWindow {
  CompareSetup setup;
  HWND window = nullptr;
  HWND list = nullptr;
  HWND combo = nullptr;
  HWND summary = nullptr;
  std::vector<LibrarySnapshot> others;  // the combo's choices, in its order
  std::string oldPath;                  // the older side of the comparison shown or running
  std::thread worker;
  // Handed from the worker to the window under the lock.
  std::mutex lock;
  std::unique_ptr<SnapshotComparison> finished;
  std::string failure;
  // What the list shows.
  std::unique_ptr<SnapshotComparison> comparison;
  std::unique_ptr<ComparisonRows> rows;
  std::wstring cell;  // the text a display request last got
};

CompareWindow* StateOf(HWND window) {
  return reinterpret_cast<CompareWindow*>(GetWindowLongPtrW(window, DWLP_USER));
}

// "WG \ PC1  05.12.2026 09:04:05": a snapshot as the tree shows it.
std::wstring SnapshotLabel(const LibrarySnapshot& snapshot) {
  return WideFromText(snapshot.group + " \\ " + snapshot.computer + "  " + snapshot.dateText,
                      NameEncoding::kUtf8);
}

bool Checked(HWND window, int id) {
  return SendDlgItemMessageW(window, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ShowRows(CompareWindow& s) {
  const std::size_t count = s.rows ? s.rows->size() : 0;
  SendMessageW(s.list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
  InvalidateRect(s.list, nullptr, TRUE);
}

void ApplyFilter(CompareWindow& s) {
  if (!s.rows) return;
  s.rows->Filter({Checked(s.window, IDC_COMPARE_ADDED), Checked(s.window, IDC_COMPARE_REMOVED),
                  Checked(s.window, IDC_COMPARE_CHANGED)});
  ShowRows(s);
}

// Compares the combo's choice (the older side) with the window's snapshot on the worker.
void StartComparison(CompareWindow& s) {
  const LRESULT choice = SendMessageW(s.combo, CB_GETCURSEL, 0, 0);
  if (choice < 0 || static_cast<std::size_t>(choice) >= s.others.size()) return;
  if (s.worker.joinable()) s.worker.join();
  s.rows.reset();
  s.comparison.reset();
  ShowRows(s);
  SetWindowTextW(s.summary, kComparing);
  EnableWindow(s.combo, FALSE);
  s.oldPath = s.others[static_cast<std::size_t>(choice)].path;
  s.worker = std::thread([&s, oldPath = s.oldPath] {
    RunGuarded([&] {
      auto comparison = std::make_unique<SnapshotComparison>();
      DiffFailure failure;
      // Names of an ANSI snapshot are read in the system's code page, as the window shows them.
      CodePageDecoder ansiNames;
      if (!ansiNames.Open(SystemAnsiCodePage())) ansiNames.Open(kDefaultCodePage);
      const bool done = CompareSnapshotFiles(PlatformFileSystem(), oldPath, s.setup.snapshotPath,
                                             ansiNames, *comparison, failure);
      {
        std::lock_guard<std::mutex> hold(s.lock);
        if (done) {
          s.finished = std::move(comparison);
        } else {
          s.failure = "'" + failure.path + "' " + failure.reason;
        }
      }
      PostMessageW(s.window, kCompareDoneMessage, 0, 0);
    });
  });
}

void FinishComparison(CompareWindow& s) {
  std::string failure;
  {
    std::lock_guard<std::mutex> hold(s.lock);
    s.comparison = std::move(s.finished);
    failure = std::move(s.failure);
    s.failure.clear();
  }
  EnableWindow(s.combo, TRUE);
  if (!s.comparison) {
    SetWindowTextW(s.summary,
                   WideFromText("Could not compare: " + failure, NameEncoding::kUtf8).c_str());
    return;
  }
  s.rows = std::make_unique<ComparisonRows>(*s.comparison);
  ApplyFilter(s);
  SetWindowTextW(s.summary,
                 WideFromText(CompareSummaryText(s.comparison->summary, s.comparison->rows.size(),
                                                 s.comparison->rowsLeftOut),
                              NameEncoding::kUtf8)
                     .c_str());
}

void FillChoices(CompareWindow& s) {
  const std::vector<LibrarySnapshot> all =
      ListLibrarySnapshots(PlatformFileSystem(), s.setup.snapshotsDirectory);
  const LibrarySnapshot* selected = nullptr;
  for (const LibrarySnapshot& snapshot : all) {
    if (snapshot.path == s.setup.snapshotPath) selected = &snapshot;
  }
  // The list holds each computer's snapshots newest first: the one after the selected one of
  // its computer is the one before it in time.
  int previous = -1;
  bool passed = false;
  for (const LibrarySnapshot& snapshot : all) {
    if (&snapshot == selected) {
      passed = true;
      continue;
    }
    if (passed && previous < 0 && selected != nullptr && snapshot.group == selected->group &&
        snapshot.computer == selected->computer) {
      previous = static_cast<int>(s.others.size());
    }
    s.others.push_back(snapshot);
    SendMessageW(s.combo, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(SnapshotLabel(snapshot).c_str()));
  }
  const std::wstring title =
      selected == nullptr ? std::wstring(L"Compare")
                          : L"Compare " + SnapshotLabel(*selected) + L" with an earlier snapshot";
  SetWindowTextW(s.window, title.c_str());
  if (previous >= 0) {
    SendMessageW(s.combo, CB_SETCURSEL, static_cast<WPARAM>(previous), 0);
    StartComparison(s);
  } else {
    SetWindowTextW(s.summary, L"No earlier snapshot of this computer: choose one to compare with.");
  }
}

void Layout(CompareWindow& s) {
  RECT client{};
  GetClientRect(s.window, &client);
  RECT comboRect{};
  GetWindowRect(s.combo, &comboRect);
  MapWindowPoints(HWND_DESKTOP, s.window, reinterpret_cast<POINT*>(&comboRect), 2);
  RECT summaryRect{};
  GetWindowRect(s.summary, &summaryRect);
  const int summaryHeight = summaryRect.bottom - summaryRect.top;
  const int width = client.right - 2 * kMargin;
  const int top = comboRect.bottom + kMargin;
  const int summaryTop = client.bottom - kMargin - summaryHeight;
  MoveWindow(s.list, kMargin, top, width, summaryTop - kMargin - top, TRUE);
  MoveWindow(s.summary, kMargin, summaryTop, width, summaryHeight, TRUE);
}

void InitWindow(HWND window, CompareWindow& s) {
  s.window = window;
  s.list = GetDlgItem(window, IDC_COMPARE_LIST);
  s.combo = GetDlgItem(window, IDC_COMPARE_WITH);
  s.summary = GetDlgItem(window, IDC_COMPARE_SUMMARY);
  for (const int id : {IDC_COMPARE_ADDED, IDC_COMPARE_REMOVED, IDC_COMPARE_CHANGED}) {
    CheckDlgButton(window, id, BST_CHECKED);
  }
  SendMessageW(s.list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  InsertReportColumns(s.list, kColumns);
  AddModelessWindow(window);
  Layout(s);
  FillChoices(s);
}

void FillDisplayInfo(CompareWindow& s, NMLVDISPINFOW& info) {
  if ((info.item.mask & LVIF_TEXT) == 0 || !s.rows || info.item.iItem < 0 ||
      static_cast<std::size_t>(info.item.iItem) >= s.rows->size()) {
    return;
  }
  const auto row = static_cast<std::size_t>(info.item.iItem);
  s.cell = WideFromText(s.rows->CellText(row, info.item.iSubItem), s.rows->RowEncoding(row));
  info.item.pszText = s.cell.data();
}

void OpenRow(CompareWindow& s, int index) {
  if (!s.rows || !s.setup.openEntry || index < 0 ||
      static_cast<std::size_t>(index) >= s.rows->size()) {
    return;
  }
  const auto row = static_cast<std::size_t>(index);
  const DiffRow& diff = s.rows->Row(row);
  CompareEntry entry;
  entry.snapshotPath = s.rows->RowIsOld(row) ? s.oldPath : s.setup.snapshotPath;
  entry.share = std::string(diff.share);
  const std::size_t slash = diff.path.rfind('\\');
  if (slash != std::string_view::npos) entry.folder = std::string(diff.path.substr(0, slash));
  entry.name =
      std::string(slash == std::string_view::npos ? diff.path : diff.path.substr(slash + 1));
  s.setup.openEntry(entry);
}

bool OnNotify(CompareWindow& s, const NMHDR& header, LPARAM lParam) {
  if (header.idFrom != IDC_COMPARE_LIST) return false;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      FillDisplayInfo(s, *reinterpret_cast<NMLVDISPINFOW*>(lParam));
      return true;
    case LVN_COLUMNCLICK:
      if (s.rows) {
        s.rows->SortBy(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
        ShowRows(s);
      }
      return true;
    case NM_DBLCLK:
      OpenRow(s, reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
      return true;
    default:
      return false;
  }
}

INT_PTR CALLBACK CompareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    InitWindow(window, *reinterpret_cast<CompareWindow*>(lParam));
    return TRUE;
  }
  CompareWindow* s = StateOf(window);
  if (s == nullptr) return FALSE;
  switch (message) {
    case WM_SIZE:
      Layout(*s);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
      if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) >= IDC_COMPARE_ADDED &&
          LOWORD(wParam) <= IDC_COMPARE_CHANGED) {
        ApplyFilter(*s);
      }
      if (LOWORD(wParam) == IDC_COMPARE_WITH && HIWORD(wParam) == CBN_SELCHANGE) {
        StartComparison(*s);
      }
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(window);
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(*s, *reinterpret_cast<const NMHDR*>(lParam), lParam) ? TRUE : FALSE;
    case kCompareDoneMessage:
      FinishComparison(*s);
      return TRUE;
    case WM_DESTROY:
      RemoveModelessWindow(window);
      return TRUE;
    case WM_NCDESTROY:
      // The worker posts to this window: it ends before the state it writes goes.
      if (s->worker.joinable()) s->worker.join();
      SetWindowLongPtrW(window, DWLP_USER, 0);
      delete s;
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

HWND OpenCompareWindow(HWND owner, CompareSetup setup) {
  // The window owns its state once it has taken it, and deletes it as it goes.
  auto* state = new CompareWindow;
  state->setup = std::move(setup);
  HWND window =
      CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_COMPARE), owner,
                         GuardedDialogProc<CompareWindowProc>, reinterpret_cast<LPARAM>(state));
  if (window == nullptr) {
    delete state;  // creation failed before the dialog took it
    return nullptr;
  }
  ShowWindow(window, SW_SHOW);
  return window;
}

}  // namespace mv
