// The Find in All Snapshots window: see find_window.h. The search's thread never touches a
// control: it posts kFindBatchMessage and the window takes the batch on its own thread.
#include "ui/win32/find_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "core/library_snapshots.h"
#include "platform/win32/escaped_exception.h"
#include "res/resource_ids.h"
#include "ui/find_in_snapshots.h"
#include "ui/win32/anchored_layout.h"
#include "ui/win32/key_routing.h"
#include "ui/win32/main_window.h"
#include "ui/win32/main_window_snapshots.h"
#include "ui/win32/report_columns.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

constexpr wchar_t kCaption[] = L"Find in All Snapshots";
// While hits pour in, the list and the progress line change at most this often (the first
// batch of a search is shown at once): each change of a long list redraws its scroll bar,
// and a window redrawn for every snapshot searched takes the processor from the search.
constexpr UINT kRefreshMilliseconds = 100;
constexpr UINT_PTR kRefreshTimer = 1;
constexpr std::array<ReportColumn, kFindColumnCount> kColumns = {{{L"Name", 150},
                                                                  {L"In Folder", 200},
                                                                  {L"Size", 70, LVCFMT_RIGHT},
                                                                  {L"Date Created", 80},
                                                                  {L"Snapshot", 120},
                                                                  {L"Computer", 80},
                                                                  {L"Captures", 220}}};
// The kinds box, in the order of EntryKinds' choices offered.
constexpr std::array<const wchar_t*, 3> kKindTexts = {L"Files and folders", L"Files only",
                                                      L"Folders only"};
constexpr std::array<EntryKinds, 3> kKinds = {EntryKinds::kAll, EntryKinds::kFiles,
                                              EntryKinds::kDirectories};
// The show box, in the order of FindShow.
constexpr std::array<const wchar_t*, 3> kShowTexts = {
    L"Every hit in every snapshot", L"Each entry once, with the captures that held it",
    L"Entries gone from each computer's newest capture"};

constexpr std::array<Anchor, 6> kAnchors = {{
    {IDC_FIND_NAME, false, false, true, false},
    {IDC_FIND_START, true, false, false, false},
    {IDC_FIND_STOP, true, false, false, false},
    {IDC_FIND_LIST, false, false, true, true},
    {IDC_FIND_PROGRESS, false, true, true, false},
    {IDC_FIND_SCOPE, false, false, true, false},
}};

struct FindWindowState {
  FindWindowSetup setup;
  HWND window = nullptr;
  HWND list = nullptr;
  std::vector<FindScope> scopes;
  std::unique_ptr<FindSearch> search;
  FindResults results;
  FindBatch waiting;        // taken from the search, not yet shown
  bool refreshDue = false;  // the refresh timer runs
  DWORD shownAt = 0;        // GetTickCount() of the last change shown
  bool firstShown = false;  // the search's first batch is on the screen
  bool finished = true;
  std::wstring cell;  // the text of the last cell asked for
  AnchoredLayout layout;
};

std::unique_ptr<FindWindowState>& State() {
  static std::unique_ptr<FindWindowState> state;
  return state;
}

std::wstring Utf8Wide(std::string_view text) {
  return WideFromText(text, NameEncoding::kUtf8);
}

void SetText(HWND window, int id, std::string_view utf8) {
  SetDlgItemTextW(window, id, Utf8Wide(utf8).c_str());
}

void ShowProgress(FindWindowState& s) {
  const std::size_t total = s.search ? s.search->total() : 0;
  const bool stopped = s.search && s.search->stopped();
  SetText(s.window, IDC_FIND_PROGRESS, s.results.ProgressText(total, s.finished, stopped));
  EnableWindow(GetDlgItem(s.window, IDC_FIND_STOP), s.finished ? FALSE : TRUE);
}

// The sort arrow on the header of the sorted column.
void ShowSortArrow(const FindWindowState& s) {
  const auto header = reinterpret_cast<HWND>(SendMessageW(s.list, LVM_GETHEADER, 0, 0));
  for (int column = 0; column < kFindColumnCount; ++column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (column == s.results.sortColumn()) {
      item.fmt |= s.results.descending() ? HDF_SORTDOWN : HDF_SORTUP;
    }
    SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
  }
}

void FillScopes(FindWindowState& s, const std::vector<LibrarySnapshot>& library) {
  std::vector<FindScope> scopes = ScopesOfLibrary(library);
  // Unchanged, the box is left alone: refilled, it would be drawn again as the search starts.
  if (!s.scopes.empty() && scopes == s.scopes) return;
  HWND box = GetDlgItem(s.window, IDC_FIND_SCOPE);
  const auto chosen = static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0));
  const std::optional<FindScope> before =
      chosen > 0 && static_cast<std::size_t>(chosen) < s.scopes.size()
          ? std::optional<FindScope>(s.scopes[static_cast<std::size_t>(chosen)])
          : std::nullopt;
  s.scopes = std::move(scopes);
  SendMessageW(box, CB_RESETCONTENT, 0, 0);
  int select = 0;
  for (std::size_t i = 0; i < s.scopes.size(); ++i) {
    const FindScope& scope = s.scopes[i];
    std::wstring text = scope.kind == FindScope::Kind::kAll     ? L"All computers"
                        : scope.kind == FindScope::Kind::kGroup ? L"Group: "
                                                                : L"Computer: ";
    text += Utf8Wide(scope.name);
    SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (before == scope) {
      select = static_cast<int>(i);
    }
  }
  SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

std::vector<LibrarySnapshot> ListLibrary(const FindWindowState& s) {
  if (s.setup.fileSystem == nullptr || !s.setup.snapshotsDirectory) return {};
  return ListLibrarySnapshots(*s.setup.fileSystem, s.setup.snapshotsDirectory());
}

void CancelRefresh(FindWindowState& s) {
  if (!s.refreshDue) return;
  KillTimer(s.window, kRefreshTimer);
  s.refreshDue = false;
}

void StartFind(FindWindowState& s) {
  s.search.reset();  // stops and waits for the one running
  // A batch of the old search may still be posted: it finds nothing to take.
  s.results.Clear();
  s.waiting = FindBatch{};
  s.firstShown = false;
  CancelRefresh(s);
  const std::vector<LibrarySnapshot> library = ListLibrary(s);
  FindChoices choices;
  choices.name =
      TextFromWide(WholeWindowTextW(GetDlgItem(s.window, IDC_FIND_NAME)), NameEncoding::kUtf8);
  choices.newestOnly = IsDlgButtonChecked(s.window, IDC_FIND_NEWEST) == BST_CHECKED;
  const auto kind = SendDlgItemMessageW(s.window, IDC_FIND_KINDS, CB_GETCURSEL, 0, 0);
  choices.kinds = kind >= 0 && static_cast<std::size_t>(kind) < kKinds.size()
                      ? kKinds[static_cast<std::size_t>(kind)]
                      : EntryKinds::kAll;
  const auto show = SendDlgItemMessageW(s.window, IDC_FIND_SHOW, CB_GETCURSEL, 0, 0);
  choices.show = show == 1   ? FindShow::kEachEntry
                 : show == 2 ? FindShow::kGone
                             : FindShow::kEveryHit;
  if (s.setup.snapshotsDirectory) choices.directory = s.setup.snapshotsDirectory();
  const auto scope = SendDlgItemMessageW(s.window, IDC_FIND_SCOPE, CB_GETCURSEL, 0, 0);
  if (scope > 0 && static_cast<std::size_t>(scope) < s.scopes.size()) {
    choices.scope = s.scopes[static_cast<std::size_t>(scope)];
  }
  s.finished = choices.name.empty() || s.setup.fileSystem == nullptr;
  if (!s.finished) {
    // The search starts before the window is tidied: its first file is being read meanwhile.
    HWND window = s.window;
    s.search = std::make_unique<FindSearch>(
        *s.setup.fileSystem, SnapshotsToSearch(library, choices), choices,
        [window] { PostMessageW(window, kFindBatchMessage, 0, 0); });
  }
  SendMessageW(s.list, LVM_SETITEMCOUNT, 0, 0);
  ShowSortArrow(s);
  FillScopes(s, library);
  if (s.finished) {
    SetText(s.window, IDC_FIND_PROGRESS, "Type a name to find.");
    return;
  }
  ShowProgress(s);
}

// Shows what was taken and not yet shown.
void ShowWaiting(FindWindowState& s) {
  CancelRefresh(s);
  const bool finished = s.waiting.finished;
  const bool sorted = s.results.sortColumn() >= 0;
  s.results.Add(std::move(s.waiting));
  s.waiting = FindBatch{};
  SendMessageW(s.list, LVM_SETITEMCOUNT, s.results.rowCount(),
               LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  if (sorted) InvalidateRect(s.list, nullptr, FALSE);
  s.finished = finished;
  ShowProgress(s);
  s.shownAt = GetTickCount();
  // The first snapshot's outcome is drawn before the search's other threads start reading
  // (see UseAllThreads); a batch posted by an earlier search brings nothing and counts not.
  if (!s.firstShown && s.search && (s.results.searched() > 0 || finished)) {
    s.firstShown = true;
    UpdateWindow(s.list);
    s.search->UseAllThreads();
  }
}

// A batch is ready: taken at once, so the search never waits on the window, and shown at
// once while the list is empty and at the end, otherwise when the refresh timer comes.
void TakeBatch(FindWindowState& s) {
  if (!s.search) return;
  s.waiting.Append(s.search->Take());
  const DWORD since = GetTickCount() - s.shownAt;
  if (s.results.rowCount() == 0 || s.waiting.finished || since >= kRefreshMilliseconds) {
    ShowWaiting(s);
  } else if (!s.refreshDue) {
    s.refreshDue = SetTimer(s.window, kRefreshTimer, kRefreshMilliseconds - since, nullptr) != 0;
    if (!s.refreshDue) ShowWaiting(s);
  }
}

void OpenHit(FindWindowState& s, int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= s.results.rowCount() || !s.setup.openEntry) {
    return;
  }
  const FindHit& hit = s.results.Hit(static_cast<std::size_t>(row));
  const FindHitSnapshot& snapshot = s.results.SnapshotOf(static_cast<std::size_t>(row));
  // Copies: showing it may run this window's messages.
  const std::string path = snapshot.path, folder = hit.folder, name = hit.name;
  if (!s.setup.openEntry(path, folder, name)) {
    MessageBoxW(s.window, L"The entry is no longer where the snapshot had it.", kCaption,
                MB_OK | MB_ICONWARNING);
  }
}

void FillCell(FindWindowState& s, NMLVDISPINFOW& info) {
  if ((info.item.mask & LVIF_TEXT) == 0 || info.item.pszText == nullptr ||
      info.item.cchTextMax <= 0) {
    return;
  }
  info.item.pszText[0] = L'\0';
  if (info.item.iItem < 0 || static_cast<std::size_t>(info.item.iItem) >= s.results.rowCount()) {
    return;
  }
  const FindResults::Cell cell =
      s.results.CellOf(static_cast<std::size_t>(info.item.iItem), info.item.iSubItem);
  s.cell = WideFromText(cell.text, cell.encoding);
  const std::size_t length =
      std::min(s.cell.size(), static_cast<std::size_t>(info.item.cchTextMax - 1));
  s.cell.copy(info.item.pszText, length);
  info.item.pszText[length] = L'\0';
}

void InitWindow(FindWindowState& s, HWND window) {
  s.window = window;
  s.list = GetDlgItem(window, IDC_FIND_LIST);
  SendMessageW(s.list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  InsertReportColumns(s.list, kColumns);
  for (const wchar_t* text : kKindTexts) {
    SendDlgItemMessageW(window, IDC_FIND_KINDS, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  SendDlgItemMessageW(window, IDC_FIND_KINDS, CB_SETCURSEL, 0, 0);
  for (const wchar_t* text : kShowTexts) {
    SendDlgItemMessageW(window, IDC_FIND_SHOW, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  SendDlgItemMessageW(window, IDC_FIND_SHOW, CB_SETCURSEL, 0, 0);
  FillScopes(s, ListLibrary(s));
  s.layout.Remember(window, kAnchors);
  ShowProgress(s);
  SetText(window, IDC_FIND_PROGRESS, "");
  AddModelessWindow(window);
}

// Enter: on the list it opens the hit in focus, elsewhere it finds.
void OnEnter(FindWindowState& s) {
  if (GetFocus() == s.list) {
    OpenHit(s, static_cast<int>(
                   SendMessageW(s.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
  } else {
    StartFind(s);
  }
}

INT_PTR CALLBACK FindMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::unique_ptr<FindWindowState>& state = State();
  if (message == WM_INITDIALOG) {
    InitWindow(*state, window);
    return TRUE;
  }
  if (!state || state->window != window) return FALSE;
  FindWindowState& s = *state;
  switch (message) {
    case kFindBatchMessage:
      TakeBatch(s);
      return TRUE;
    case WM_TIMER:
      if (wParam != kRefreshTimer) return FALSE;
      ShowWaiting(s);
      return TRUE;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) s.layout.Apply(LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = s.layout.minimum();
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_FIND_START:
        case IDOK:
          OnEnter(s);
          break;
        case IDC_FIND_STOP:
          if (s.search) s.search->Stop();
          break;
        case IDC_FIND_SHOW:
          // Each entry once looks at every capture: the newest alone would tell no history.
          if (HIWORD(wParam) == CBN_SELCHANGE) {
            EnableWindow(GetDlgItem(window, IDC_FIND_NEWEST),
                         SendDlgItemMessageW(window, IDC_FIND_SHOW, CB_GETCURSEL, 0, 0) == 0);
          }
          break;
        case IDCANCEL:
          DestroyWindow(window);
          break;
        default:
          break;
      }
      return TRUE;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (header.idFrom != IDC_FIND_LIST) return FALSE;
      if (header.code == LVN_GETDISPINFOW) {
        FillCell(s, *reinterpret_cast<NMLVDISPINFOW*>(lParam));
      } else if (header.code == LVN_COLUMNCLICK) {
        s.results.ClickColumn(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
        ShowSortArrow(s);
        InvalidateRect(s.list, nullptr, FALSE);
      } else if (header.code == NM_DBLCLK) {
        OpenHit(s, reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
      }
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return TRUE;
    case WM_DESTROY:
      RemoveModelessWindow(window);
      // Stops the search and waits for its thread; its last post finds no window.
      state.reset();
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

FindWindowSetup MainWindowFindSetup() {
  FindWindowSetup setup;
  setup.fileSystem = &PlatformFileSystem();
  setup.snapshotsDirectory = [] { return SnapshotsDirectory(); };
  setup.openEntry = OpenSnapshotAtEntry;
  return setup;
}

HWND OpenFindWindow() {
  const std::unique_ptr<FindWindowState>& state = State();
  return state ? state->window : nullptr;
}

HWND ShowFindWindow(HWND owner, FindWindowSetup setup) {
  std::unique_ptr<FindWindowState>& state = State();
  if (!state) {
    state = std::make_unique<FindWindowState>();
    state->setup = std::move(setup);
    if (CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FIND), owner,
                           GuardedDialogProc<FindMessages>, 0) == nullptr) {
      state.reset();
      return nullptr;
    }
  }
  BringModelessForward(state->window, GetDlgItem(state->window, IDC_FIND_NAME));
  return state->window;
}

}  // namespace mv
