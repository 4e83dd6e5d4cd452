// Scheduled captures in the window: see schedules_window.h. The runner's thread never touches
// a window: it queues what happened and posts kScheduleRanMessage to the main window.
#include "ui/win32/schedules_window.h"

#include <commctrl.h>

#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "capture/activity_state.h"
#include "capture/schedule_form.h"
#include "capture/schedule_runner.h"
#include "capture/schedule_service.h"
#include "capture/take_snapshots.h"
#include "core/text.h"
#include "platform/win32/escaped_exception.h"
#include "res/resource_ids.h"
#include "ui/win32/anchored_layout.h"
#include "ui/win32/key_routing.h"
#include "ui/win32/main_window.h"
#include "ui/win32/main_window_snapshots.h"
#include "ui/win32/main_window_state.h"
#include "ui/win32/report_columns.h"
#include "ui/win32/win32_notice_port.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

constexpr std::array<ReportColumn, 6> kScheduleColumns = {{{L"Name", 110},
                                                           {L"What", 150},
                                                           {L"When", 130},
                                                           {L"Last Run", 120},
                                                           {L"Outcome", 200},
                                                           {L"Next Run", 120}}};
constexpr std::array<ReportColumn, 4> kRunColumns = {
    {{L"Started", 130}, {L"Ended", 130}, {L"Result", 60}, {L"Outcome", 420}}};
constexpr std::array<Anchor, 9> kAnchors = {{
    {IDC_SCHEDULE_LIST, false, false, true, false},
    {IDC_SCHEDULE_NEW, true, false, false, false},
    {IDC_SCHEDULE_EDIT, true, false, false, false},
    {IDC_SCHEDULE_REMOVE, true, false, false, false},
    {IDC_SCHEDULE_RUN_NOW, true, false, false, false},
    {IDCANCEL, true, false, false, false},
    {IDC_SCHEDULE_RUNS_LABEL, false, false, true, false},
    {IDC_SCHEDULE_RUNS, false, false, true, true},
    {IDC_SCHEDULE_STATUS, false, true, true, false},
}};
// The next-run column follows the clock.
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMilliseconds = 30000;
constexpr std::array<const wchar_t*, 3> kRepeatTexts = {L"Daily", L"On weekdays", L"Every N hours"};

// What the runner told, waiting for the main thread.
struct RunNews {
  std::string schedule;  // empty: a round that could not run
  ScheduleRunRecord record;
  std::string problem;
};

struct Shared {
  std::mutex mutex;
  std::vector<RunNews> news;
  std::string schedulesPath;
  Clock* clock = nullptr;
};

Shared& Common() {
  static Shared shared;
  return shared;
}

std::string SchedulesPath() {
  std::lock_guard lock(Common().mutex);
  return Common().schedulesPath;
}

LocalTime Now() {
  Clock* clock = nullptr;
  {
    std::lock_guard lock(Common().mutex);
    clock = Common().clock;
  }
  return (clock != nullptr ? *clock : PlatformClock()).Now();
}

void Tell(HWND owner, const std::string& text, MessageKind kind) {
  Win32NoticePort(owner).ShowMessage(text, kind);
}

// ---- The form ----

struct Editing {
  ScheduleForm form;
  // What else must hold (a name no other schedule has); the problem, else empty.
  std::function<std::string(const Schedule&)> check;
  Schedule result;
};

std::string FieldText(HWND dialog, int id) {
  return WholeWindowText(GetDlgItem(dialog, id));
}
void SetField(HWND dialog, int id, const std::string& text) {
  SetWindowTextUtf8(GetDlgItem(dialog, id), text);
}

ScheduleRepeat RepeatChosen(HWND dialog) {
  const auto chosen = SendDlgItemMessageW(dialog, IDC_SCHEDULE_REPEAT, CB_GETCURSEL, 0, 0);
  return chosen == 1   ? ScheduleRepeat::kWeekdays
         : chosen == 2 ? ScheduleRepeat::kEveryHours
                       : ScheduleRepeat::kDaily;
}

// Only the fields of the repeat chosen can be changed.
void EnableRepeatFields(HWND dialog) {
  const ScheduleRepeat repeat = RepeatChosen(dialog);
  for (int day = 0; day < 7; ++day) {
    EnableWindow(GetDlgItem(dialog, IDC_SCHEDULE_MONDAY + day),
                 repeat == ScheduleRepeat::kWeekdays);
  }
  EnableWindow(GetDlgItem(dialog, IDC_SCHEDULE_HOURS), repeat == ScheduleRepeat::kEveryHours);
}

void FillForm(HWND dialog, const ScheduleForm& form) {
  SetField(dialog, IDC_SCHEDULE_NAME, form.name);
  SetField(dialog, IDC_SCHEDULE_GROUPS, form.groups);
  SetField(dialog, IDC_SCHEDULE_COMPUTERS, form.computers);
  SetField(dialog, IDC_SCHEDULE_SHARES, form.shares);
  for (const wchar_t* text : kRepeatTexts) {
    SendDlgItemMessageW(dialog, IDC_SCHEDULE_REPEAT, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(text));
  }
  SendDlgItemMessageW(dialog, IDC_SCHEDULE_REPEAT, CB_SETCURSEL, static_cast<WPARAM>(form.repeat),
                      0);
  SetField(dialog, IDC_SCHEDULE_TIME, form.time);
  SetField(dialog, IDC_SCHEDULE_HOURS, form.everyHours);
  for (int day = 0; day < 7; ++day) {
    CheckDlgButton(dialog, IDC_SCHEDULE_MONDAY + day,
                   (form.weekdays & (1u << day)) != 0 ? BST_CHECKED : BST_UNCHECKED);
  }
  SetField(dialog, IDC_SCHEDULE_KEEP_LAST, form.keepLast);
  SetField(dialog, IDC_SCHEDULE_KEEP_DAILY, form.keepDaily);
  SetField(dialog, IDC_SCHEDULE_KEEP_WEEKLY, form.keepWeekly);
  SetField(dialog, IDC_SCHEDULE_KEEP_MONTHLY, form.keepMonthly);
  SetField(dialog, IDC_SCHEDULE_KEEP_WITHIN, form.keepWithin);
  EnableRepeatFields(dialog);
}

ScheduleForm ReadForm(HWND dialog) {
  ScheduleForm form;
  form.name = FieldText(dialog, IDC_SCHEDULE_NAME);
  form.groups = FieldText(dialog, IDC_SCHEDULE_GROUPS);
  form.computers = FieldText(dialog, IDC_SCHEDULE_COMPUTERS);
  form.shares = FieldText(dialog, IDC_SCHEDULE_SHARES);
  form.repeat = RepeatChosen(dialog);
  form.time = FieldText(dialog, IDC_SCHEDULE_TIME);
  form.everyHours = FieldText(dialog, IDC_SCHEDULE_HOURS);
  form.weekdays = 0;
  for (int day = 0; day < 7; ++day) {
    if (IsDlgButtonChecked(dialog, IDC_SCHEDULE_MONDAY + day) == BST_CHECKED) {
      form.weekdays |= 1u << day;
    }
  }
  form.keepLast = FieldText(dialog, IDC_SCHEDULE_KEEP_LAST);
  form.keepDaily = FieldText(dialog, IDC_SCHEDULE_KEEP_DAILY);
  form.keepWeekly = FieldText(dialog, IDC_SCHEDULE_KEEP_WEEKLY);
  form.keepMonthly = FieldText(dialog, IDC_SCHEDULE_KEEP_MONTHLY);
  form.keepWithin = FieldText(dialog, IDC_SCHEDULE_KEEP_WITHIN);
  return form;
}

INT_PTR CALLBACK FormMessages(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* editing = reinterpret_cast<Editing*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      FillForm(dialog, reinterpret_cast<Editing*>(lParam)->form);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_SCHEDULE_REPEAT && HIWORD(wParam) == CBN_SELCHANGE) {
        EnableRepeatFields(dialog);
      } else if (LOWORD(wParam) == IDOK && editing != nullptr) {
        std::string problem;
        Schedule schedule;
        if (ScheduleOfForm(ReadForm(dialog), schedule, problem) && editing->check) {
          problem = editing->check(schedule);
        }
        if (!problem.empty()) {
          Tell(dialog, problem, MessageKind::kInformation);
          return TRUE;
        }
        editing->result = std::move(schedule);
        EndDialog(dialog, IDOK);
      } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
      }
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

// Runs the form; true with editing.result on OK.
bool RunForm(HWND owner, Editing& editing) {
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SCHEDULE_EDIT), owner,
                         GuardedDialogProc<FormMessages>,
                         reinterpret_cast<LPARAM>(&editing)) == IDOK;
}

// ---- Changing the schedules file ----

// The files as they are now; false, told to the user, when they cannot be read: a damaged
// file is never written over.
bool LoadForChange(HWND owner, ScheduleFiles& files) {
  files = ScheduleFilesAt(SchedulesPath());
  std::string error;
  if (LoadScheduleFiles(PlatformFileSystem(), files, error)) return true;
  Tell(owner, "The schedules cannot be changed: " + error + "\nMend or remove the file first.",
       MessageKind::kError);
  return false;
}

bool Save(HWND owner, const ScheduleFiles& files) {
  const std::string error = SaveSchedules(PlatformFileSystem(), files);
  if (!error.empty()) {
    Tell(owner, "The schedules could not be saved: " + error + ".", MessageKind::kError);
    return false;
  }
  TheScheduleRunner().LookNow();
  return true;
}

// "Nightly", or the first "Schedule N" free.
std::string FreeName(const ScheduleFiles& files, std::string name) {
  auto taken = [&](const std::string& candidate) {
    for (const Schedule& s : files.schedules) {
      if (EqualsIgnoreCase(s.name, candidate)) return true;
    }
    return false;
  };
  for (int n = 1; name.empty() || taken(name); ++n) name = "Schedule " + std::to_string(n);
  return name;
}

// Makes or changes the schedule at position (none: a new one); true when saved.
bool EditAndSave(HWND owner, ScheduleForm form, std::optional<std::size_t> position) {
  ScheduleFiles files;
  if (!LoadForChange(owner, files)) return false;
  const std::string oldName = position ? files.schedules[*position].name : std::string();
  Editing editing;
  editing.form = std::move(form);
  editing.check = [&](const Schedule& schedule) -> std::string {
    for (const Schedule& other : files.schedules) {
      if (EqualsIgnoreCase(other.name, schedule.name) && !EqualsIgnoreCase(other.name, oldName)) {
        return "There is a schedule '" + other.name + "' already: choose another name.";
      }
    }
    return std::string();
  };
  if (!RunForm(owner, editing)) return false;
  // Read again: the runner or another program may have written meanwhile.
  if (!LoadForChange(owner, files)) return false;
  auto at = files.schedules.end();
  for (auto it = files.schedules.begin(); it != files.schedules.end(); ++it) {
    if (position && EqualsIgnoreCase(it->name, oldName)) at = it;
  }
  if (at != files.schedules.end()) {
    *at = editing.result;
  } else {
    files.schedules.push_back(editing.result);
  }
  return Save(owner, files);
}

// ---- The Schedules window ----

struct WindowState {
  HWND window = nullptr;
  HWND list = nullptr;
  HWND runs = nullptr;
  ScheduleFiles files;
  bool loaded = false;       // the files could be read: they may be changed
  std::string selectedName;  // kept over refreshes
  AnchoredLayout layout;
};

std::unique_ptr<WindowState>& State() {
  static std::unique_ptr<WindowState> state;
  return state;
}

int SelectedRow(const WindowState& s) {
  return static_cast<int>(
      SendMessageW(s.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::optional<std::size_t> SelectedSchedule(const WindowState& s) {
  for (std::size_t i = 0; i < s.files.schedules.size(); ++i) {
    if (EqualsIgnoreCase(s.files.schedules[i].name, s.selectedName)) return i;
  }
  return std::nullopt;
}

void EnableButtons(const WindowState& s) {
  const bool chosen = s.loaded && SelectedSchedule(s).has_value();
  EnableWindow(GetDlgItem(s.window, IDC_SCHEDULE_NEW), s.loaded);
  EnableWindow(GetDlgItem(s.window, IDC_SCHEDULE_EDIT), chosen);
  EnableWindow(GetDlgItem(s.window, IDC_SCHEDULE_REMOVE), chosen);
  EnableWindow(GetDlgItem(s.window, IDC_SCHEDULE_RUN_NOW), chosen);
}

void FillRuns(WindowState& s) {
  SendMessageW(s.runs, WM_SETREDRAW, FALSE, 0);
  SendMessageW(s.runs, LVM_DELETEALLITEMS, 0, 0);
  const std::optional<std::size_t> chosen = SelectedSchedule(s);
  std::string label = "Runs:";
  if (chosen) {
    const ScheduleRuns& runs = RunsOf(s.files.runs, s.files.schedules[*chosen].name);
    label = "Runs of '" + s.files.schedules[*chosen].name + "', newest first (the last " +
            std::to_string(kKeptRunsPerSchedule) + " are kept):";
    int row = 0;
    for (auto it = runs.runs.rbegin(); it != runs.runs.rend(); ++it) {
      InsertReportRow(
          s.runs, row++,
          std::vector<std::string>{ScheduleTimeText(it->started), ScheduleTimeText(it->ended),
                                   it->ok ? "ok" : "failed", it->outcome});
    }
  }
  SetWindowTextUtf8(GetDlgItem(s.window, IDC_SCHEDULE_RUNS_LABEL), label);
  SendMessageW(s.runs, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(s.runs, nullptr, TRUE);
  EnableButtons(s);
}

void Reload(WindowState& s) {
  s.files = ScheduleFilesAt(SchedulesPath());
  std::string error;
  s.loaded = LoadScheduleFiles(PlatformFileSystem(), s.files, error);
  if (!s.loaded) s.files.schedules.clear();
  const LocalTime now = Now();
  SendMessageW(s.list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(s.list, LVM_DELETEALLITEMS, 0, 0);
  int selected = -1;
  for (std::size_t i = 0; i < s.files.schedules.size(); ++i) {
    const Schedule& schedule = s.files.schedules[i];
    const ScheduleRuns& runs = RunsOf(s.files.runs, schedule.name);
    std::string last = "never", outcome;
    if (!runs.runs.empty()) {
      last = ScheduleTimeText(runs.runs.back().started);
      outcome = (runs.runs.back().ok ? "ok: " : "failed: ") + runs.runs.back().outcome;
    }
    InsertReportRow(s.list, static_cast<int>(i),
                    std::vector<std::string>{schedule.name, ScheduleWhatText(schedule),
                                             ScheduleWhenText(schedule.when), last, outcome,
                                             NextRunText(schedule, runs, now)});
    if (EqualsIgnoreCase(schedule.name, s.selectedName)) selected = static_cast<int>(i);
  }
  if (selected < 0 && !s.files.schedules.empty()) {
    selected = 0;
    s.selectedName = s.files.schedules[0].name;
  }
  if (selected >= 0) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(s.list, LVM_SETITEMSTATE, static_cast<WPARAM>(selected),
                 reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(s.list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(s.list, nullptr, TRUE);
  std::string status;
  if (!s.loaded) {
    status = error + " (nothing is changed here until the file is mended)";
  } else if (s.files.schedules.empty()) {
    status =
        "No schedule yet: New... makes one; Take Snapshots' \"Save as schedule...\" makes "
        "one of the ticks.";
  } else {
    status = std::to_string(s.files.schedules.size()) + " schedules in " + s.files.schedulesPath;
  }
  SetWindowTextUtf8(GetDlgItem(s.window, IDC_SCHEDULE_STATUS), status);
  FillRuns(s);
}

void OnListChange(WindowState& s) {
  const int row = SelectedRow(s);
  const std::string name = row >= 0 && static_cast<std::size_t>(row) < s.files.schedules.size()
                               ? s.files.schedules[static_cast<std::size_t>(row)].name
                               : std::string();
  if (name == s.selectedName) return;
  s.selectedName = name;
  FillRuns(s);
}

void OnNew(WindowState& s) {
  ScheduleForm form;
  form.name = FreeName(s.files, "");
  if (EditAndSave(s.window, form, std::nullopt)) {
    s.selectedName = form.name;
    Reload(s);
  }
}

void OnEdit(WindowState& s) {
  const std::optional<std::size_t> chosen = SelectedSchedule(s);
  if (!chosen) return;
  if (EditAndSave(s.window, FormOfSchedule(s.files.schedules[*chosen]), chosen)) Reload(s);
}

void OnRemove(WindowState& s) {
  const std::optional<std::size_t> chosen = SelectedSchedule(s);
  if (!chosen) return;
  const std::string name = s.files.schedules[*chosen].name;
  if (Win32NoticePort(s.window).ShowMessage(
          "Remove the schedule '" + name + "'? The snapshots it took stay.",
          MessageKind::kQuestion) != MessageAnswer::kYes) {
    return;
  }
  ScheduleFiles files;
  if (!LoadForChange(s.window, files)) return;
  std::erase_if(files.schedules, [&](const Schedule& x) { return EqualsIgnoreCase(x.name, name); });
  Save(s.window, files);
  s.selectedName.clear();
  Reload(s);
}

void OnRunNow(WindowState& s) {
  const std::optional<std::size_t> chosen = SelectedSchedule(s);
  if (!chosen) return;
  const std::string name = s.files.schedules[*chosen].name;
  TheScheduleRunner().RunNow(name);
  SetWindowTextUtf8(GetDlgItem(s.window, IDC_SCHEDULE_STATUS),
                    "'" + name + "' runs now, once any capture under way has ended.");
}

void InitWindow(WindowState& s, HWND window) {
  s.window = window;
  s.list = GetDlgItem(window, IDC_SCHEDULE_LIST);
  s.runs = GetDlgItem(window, IDC_SCHEDULE_RUNS);
  for (HWND list : {s.list, s.runs}) {
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  }
  InsertReportColumns(s.list, kScheduleColumns);
  InsertReportColumns(s.runs, kRunColumns);
  s.layout.Remember(window, kAnchors);
  Reload(s);
  SetTimer(window, kRefreshTimer, kRefreshMilliseconds, nullptr);
  AddModelessWindow(window);
}

INT_PTR CALLBACK WindowMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::unique_ptr<WindowState>& state = State();
  if (message == WM_INITDIALOG) {
    InitWindow(*state, window);
    return TRUE;
  }
  if (!state || state->window != window) return FALSE;
  WindowState& s = *state;
  switch (message) {
    case WM_TIMER:
      if (wParam == kRefreshTimer) Reload(s);
      return TRUE;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) s.layout.Apply(LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = s.layout.minimum();
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_SCHEDULE_NEW:
          OnNew(s);
          break;
        case IDC_SCHEDULE_EDIT:
        case IDOK:  // Enter
          OnEdit(s);
          break;
        case IDC_SCHEDULE_REMOVE:
          OnRemove(s);
          break;
        case IDC_SCHEDULE_RUN_NOW:
          OnRunNow(s);
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
      if (header.idFrom == IDC_SCHEDULE_LIST && header.code == LVN_ITEMCHANGED) OnListChange(s);
      if (header.idFrom == IDC_SCHEDULE_LIST && header.code == NM_DBLCLK) OnEdit(s);
      if (header.idFrom == IDC_SCHEDULE_LIST && header.code == LVN_KEYDOWN &&
          reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_DELETE) {
        OnRemove(s);
      }
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return TRUE;
    case WM_DESTROY:
      KillTimer(window, kRefreshTimer);
      RemoveModelessWindow(window);
      state.reset();
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void UseSchedulesFile(const std::string& path, Clock* clock) {
  std::lock_guard lock(Common().mutex);
  Common().schedulesPath = path;
  Common().clock = clock;
}

void StartScheduleRunsOfWindow(HWND window) {
  const MainWindowSetup& setup = MainState().setup;
  UseSchedulesFile(setup.schedulesPath, setup.scheduleClock);
  ScheduleRunnerSetup runner;
  runner.schedulesPath = setup.schedulesPath;
  runner.snapshotsDirectory = [] { return SnapshotsDirectory(); };
  runner.clock = setup.scheduleClock;
  runner.lookMilliseconds = setup.scheduleLookMilliseconds;
  auto post = [window](RunNews news) {
    {
      std::lock_guard lock(Common().mutex);
      Common().news.push_back(std::move(news));
    }
    PostMessageW(window, kScheduleRanMessage, 0, 0);
  };
  runner.ran = [post](const std::string& schedule, const ScheduleRunRecord& record) {
    RunNews news;
    news.schedule = schedule;
    news.record = record;
    post(std::move(news));
  };
  runner.stopped = [post](const std::string& problem) {
    RunNews news;
    news.problem = problem;
    post(std::move(news));
  };
  TheScheduleRunner().Configure(std::move(runner));
}

void OnScheduleRunsMessage(HWND window) {
  std::vector<RunNews> news;
  {
    std::lock_guard lock(Common().mutex);
    news.swap(Common().news);
  }
  bool captured = false;
  for (const RunNews& item : news) {
    if (item.schedule.empty()) {
      SetStatusText(kStatusPartDetails, "Scheduled runs: " + item.problem);
      continue;
    }
    captured = true;
    if (item.record.ok) continue;
    const std::string title = "Schedule '" + item.schedule + "' failed";
    const AppShellHooks& shell = MainState().setup.appShell;
    if (!shell.notify || !shell.notify(window, title, item.record.outcome)) {
      SetStatusText(kStatusPartDetails, title + ": " + item.record.outcome);
    }
  }
  if (captured) RefreshSnapshotTreeKeepingSelection();
  if (State()) Reload(*State());
}

HWND OpenSchedulesWindow() {
  const std::unique_ptr<WindowState>& state = State();
  return state ? state->window : nullptr;
}

HWND ShowSchedulesWindow(HWND owner) {
  std::unique_ptr<WindowState>& state = State();
  if (!state) {
    state = std::make_unique<WindowState>();
    if (CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SCHEDULES), owner,
                           GuardedDialogProc<WindowMessages>, 0) == nullptr) {
      state.reset();
      return nullptr;
    }
  }
  BringModelessForward(state->window, state->list);
  return state->window;
}

void SaveTicksAsSchedule(HWND dialog) {
  if (SchedulesPath().empty()) return;
  if (GetActivityState() != kIdle) {
    Tell(dialog, "Please wait until the scan or the capture has ended.", MessageKind::kInformation);
    return;
  }
  Schedule ticked;
  ScheduleTargetsOfTicks(TheNetworkBrowser().tables(), IsItemTicked, ticked);
  if (ticked.groups.empty() && ticked.computers.empty() && ticked.shares.empty()) {
    Tell(dialog, "Tick the groups, computers or shares to capture first.",
         MessageKind::kInformation);
    return;
  }
  ScheduleFiles files;
  if (!LoadForChange(dialog, files)) return;
  ticked.name = FreeName(files, "Nightly");
  ticked.when.hour = 2;
  // The Schedules window lives on the main window's thread, which this dialog's may not be.
  if (EditAndSave(dialog, FormOfSchedule(ticked), std::nullopt)) {
    PostMessageW(GetMainWindow(), kScheduleRanMessage, 0, 0);
  }
}

}  // namespace mv
