// The Growth window: see growth_window.h. The worker never touches a control: it leaves its
// answer under the lock and posts kGrowthReadyMessage.
#include "ui/win32/growth_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "core/civil_date.h"
#include "core/code_page_text.h"
#include "platform/code_page.h"
#include "platform/win32/escaped_exception.h"
#include "query/folder_space.h"
#include "query/space_growth.h"
#include "query/space_history.h"
#include "res/resource_ids.h"
#include "ui/win32/anchored_layout.h"
#include "ui/win32/key_routing.h"
#include "ui/win32/report_columns.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

constexpr wchar_t kChartClass[] = L"MirrorvaultGrowthChart";
constexpr std::array<ReportColumn, 5> kColumns = {{{L"Folder", 260},
                                                   {L"Growth", 90, LVCFMT_RIGHT},
                                                   {L"Files Added", 80, LVCFMT_RIGHT},
                                                   {L"Removed", 70, LVCFMT_RIGHT},
                                                   {L"Changed", 70, LVCFMT_RIGHT}}};
constexpr std::array<Anchor, 8> kAnchors = {{
    {IDC_GROWTH_TITLE, false, false, true, false},
    {IDC_GROWTH_CHART, false, false, true, false},
    {IDC_GROWTH_FROM_LABEL, false, false, false, false},
    {IDC_GROWTH_FROM, false, false, false, false},
    {IDC_GROWTH_TO_LABEL, false, false, false, false},
    {IDC_GROWTH_TO, false, false, false, false},
    {IDC_GROWTH_LIST, false, false, true, true},
    {IDC_GROWTH_STATUS, false, true, true, false},
}};
constexpr COLORREF kBytesColour = RGB(0x4E, 0x79, 0xA7);
constexpr COLORREF kFilesColour = RGB(0xF2, 0x8E, 0x2B);
constexpr COLORREF kGridColour = RGB(0xE4, 0xE4, 0xE4);
constexpr int kPad = 8;

struct GrowthAnswer {
  std::size_t from = 0, to = 0;
  bool done = false;
  GrowthResult result;
  DiffFailure failure;
};

struct GrowthWindow {
  GrowthSetup setup;
  HWND window = nullptr, chart = nullptr, from = nullptr, to = nullptr, list = nullptr,
       status = nullptr;
  AnchoredLayout layout;

  std::thread worker;
  std::mutex lock;
  std::condition_variable wake;
  bool quit = false;
  bool historyWanted = true;
  std::optional<std::pair<std::size_t, std::size_t>> growthWanted;
  std::unique_ptr<HistoryResult> historyReady;
  std::unique_ptr<GrowthAnswer> growthReady;

  std::vector<CaptureTotal> captures;  // those where the folder is, oldest first
  std::vector<std::int64_t> seconds;   // each one's time, for the chart's time axis
  std::vector<Grower> growers;
  int cursor = -1;
  std::string historyProblem;
};

GrowthWindow* StateOf(HWND window) {
  return reinterpret_cast<GrowthWindow*>(GetWindowLongPtrW(window, DWLP_USER));
}

std::string CountText(std::uint64_t n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), ",");
  }
  return digits;
}

std::string SignedSizeText(std::int64_t bytes) {
  if (bytes < 0) return "-" + SpaceSizeText(static_cast<std::uint64_t>(-bytes));
  return "+" + SpaceSizeText(static_cast<std::uint64_t>(bytes));
}

// "05.12.2026 09:04:05" as seconds, for the chart's time axis; 0 when it reads otherwise.
std::int64_t SecondsOf(const std::string& dateText) {
  int d = 0, mo = 0, y = 0, h = 0, mi = 0, s = 0;
  if (std::sscanf(dateText.c_str(), "%d.%d.%d %d:%d:%d", &d, &mo, &y, &h, &mi, &s) != 6) return 0;
  return CivilSecondsOf(LocalTime{y, mo, d, h, mi, s});
}

std::string SnapshotPath(const GrowthWindow& s, const CaptureTotal& capture) {
  std::string path = s.setup.snapshotsDirectory;
  AppendPathComponent(path, capture.fileName);
  return path;
}

// ---- The worker ----

void WorkerLoop(GrowthWindow& s) {
  CodePageDecoder ansiNames;
  if (!ansiNames.Open(SystemAnsiCodePage())) ansiNames.Open(kDefaultCodePage);
  for (;;) {
    bool history = false;
    std::optional<std::pair<std::size_t, std::size_t>> growth;
    std::vector<std::string> paths;
    {
      std::unique_lock<std::mutex> hold(s.lock);
      s.wake.wait(hold, [&] { return s.quit || s.historyWanted || s.growthWanted; });
      if (s.quit) return;
      history = std::exchange(s.historyWanted, false);
      if (!history) {
        growth = std::exchange(s.growthWanted, std::nullopt);
        for (const std::size_t i : {growth->first, growth->second}) {
          paths.push_back(i < s.captures.size() ? SnapshotPath(s, s.captures[i]) : std::string());
        }
      }
    }
    if (history) {
      HistoryRequest request;
      request.group = s.setup.group;
      request.computer = s.setup.computer;
      if (!s.setup.folder.empty()) {
        request.folder = [&s, &ansiNames](NameEncoding encoding) {
          std::string bytes;
          if (encoding == NameEncoding::kAnsi && ansiNames.SpellInCodePage(s.setup.folder, bytes)) {
            return bytes;
          }
          return s.setup.folder;
        };
      }
      auto answer = std::make_unique<HistoryResult>(
          ComputerHistory(PlatformFileSystem(), s.setup.snapshotsDirectory, request));
      std::lock_guard<std::mutex> hold(s.lock);
      s.historyReady = std::move(answer);
    } else {
      auto answer = std::make_unique<GrowthAnswer>();
      answer->from = growth->first;
      answer->to = growth->second;
      GrowthRequest request;
      request.oldPath = paths[0];
      request.newPath = paths[1];
      request.within = s.setup.folder;
      answer->done =
          LargestGrowers(PlatformFileSystem(), request, ansiNames, answer->result, answer->failure);
      std::lock_guard<std::mutex> hold(s.lock);
      s.growthReady = std::move(answer);
    }
    PostMessageW(s.window, kGrowthReadyMessage, 0, 0);
  }
}

void Want(GrowthWindow& s, std::size_t from, std::size_t to) {
  {
    std::lock_guard<std::mutex> hold(s.lock);
    s.growthWanted = std::make_pair(from, to);
  }
  s.wake.notify_one();
  SetWindowTextUtf8(s.status, "Comparing " + s.captures[from].dateText + " with " +
                                  s.captures[to].dateText + "...");
}

// ---- The chart ----

void ShowCursorTotals(GrowthWindow& s) {
  if (s.cursor < 0 || s.cursor >= static_cast<int>(s.captures.size())) return;
  const CaptureTotal& c = s.captures[static_cast<std::size_t>(s.cursor)];
  auto counted = [](std::uint64_t n, const char* one, const char* many) {
    return CountText(n) + (n == 1 ? one : many);
  };
  SetWindowTextUtf8(s.status, c.dateText + ": " + SpaceSizeText(c.total.bytes) + " in " +
                                  counted(c.total.files, " file, ", " files, ") +
                                  counted(c.folders, " folder", " folders"));
}

struct ChartFrame {
  RECT plot{};
  const std::vector<std::int64_t>* seconds = nullptr;
  std::int64_t firstSecond = 0, lastSecond = 0;
  std::uint64_t maxBytes = 1, maxFiles = 1;
  // The x of capture i.
  int X(std::size_t i) const {
    if (lastSecond <= firstSecond) return (plot.left + plot.right) / 2;
    const double at = static_cast<double>((*seconds)[i] - firstSecond) /
                      static_cast<double>(lastSecond - firstSecond);
    return plot.left + static_cast<int>(at * (plot.right - plot.left));
  }
  int Y(std::uint64_t value, std::uint64_t max) const {
    const double at = static_cast<double>(value) / static_cast<double>(max);
    return plot.bottom - static_cast<int>(at * (plot.bottom - plot.top));
  }
};

ChartFrame FrameOf(const GrowthWindow& s, const RECT& client, int line) {
  ChartFrame f;
  f.plot = {client.left + kPad, client.top + kPad + line, client.right - kPad,
            client.bottom - kPad - line};
  f.seconds = &s.seconds;
  if (!s.seconds.empty()) {
    f.firstSecond = s.seconds.front();
    f.lastSecond = s.seconds.back();
  }
  for (const CaptureTotal& c : s.captures) {
    f.maxBytes = std::max(f.maxBytes, c.total.bytes);
    f.maxFiles = std::max(f.maxFiles, c.total.files);
  }
  return f;
}

void DrawText(HDC dc, int x, int y, const std::string& text, UINT align, COLORREF colour) {
  const std::wstring wide = WideFromText(text, NameEncoding::kUtf8);
  SetTextColor(dc, colour);
  SetTextAlign(dc, align);
  TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

void PaintChart(GrowthWindow& s, HWND chart) {
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(chart, &paint);
  RECT client{};
  GetClientRect(chart, &client);
  // Drawn off screen first: no flicker while the window is sized.
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  HGDIOBJ oldFont =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(s.window, WM_GETFONT, 0, 0)));
  FillRect(dc, &client, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int line = metrics.tmHeight;
  const ChartFrame f = FrameOf(s, client, line);
  HPEN grid = CreatePen(PS_SOLID, 1, kGridColour);
  HGDIOBJ oldPen = SelectObject(dc, grid);
  for (int i = 0; i <= 4; ++i) {
    const int y = f.plot.top + (f.plot.bottom - f.plot.top) * i / 4;
    MoveToEx(dc, f.plot.left, y, nullptr);
    LineTo(dc, f.plot.right, y);
  }
  if (s.captures.empty()) {
    DrawText(dc, (f.plot.left + f.plot.right) / 2, (f.plot.top + f.plot.bottom) / 2 - line / 2,
             s.historyProblem.empty() ? "Reading the captures..." : s.historyProblem, TA_CENTER,
             RGB(0x60, 0x60, 0x60));
  } else {
    DrawText(dc, f.plot.left, kPad / 2, "size, up to " + SpaceSizeText(f.maxBytes), TA_LEFT,
             kBytesColour);
    DrawText(dc, f.plot.right, kPad / 2, "files, up to " + CountText(f.maxFiles), TA_RIGHT,
             kFilesColour);
    DrawText(dc, f.plot.left, f.plot.bottom + 2, s.captures.front().dateText, TA_LEFT,
             RGB(0x40, 0x40, 0x40));
    DrawText(dc, f.plot.right, f.plot.bottom + 2, s.captures.back().dateText, TA_RIGHT,
             RGB(0x40, 0x40, 0x40));
    struct Series {
      COLORREF colour;
      bool bytes;
    };
    for (const Series series : {Series{kFilesColour, false}, Series{kBytesColour, true}}) {
      HPEN pen = CreatePen(PS_SOLID, 2, series.colour);
      HBRUSH dot = CreateSolidBrush(series.colour);
      SelectObject(dc, pen);
      HGDIOBJ oldBrush = SelectObject(dc, dot);
      for (std::size_t i = 0; i < s.captures.size(); ++i) {
        const CaptureTotal& c = s.captures[i];
        const int x = f.X(i);
        const int y =
            series.bytes ? f.Y(c.total.bytes, f.maxBytes) : f.Y(c.total.files, f.maxFiles);
        if (i == 0) {
          MoveToEx(dc, x, y, nullptr);
        } else {
          LineTo(dc, x, y);
        }
        if (s.captures.size() <= 120) Ellipse(dc, x - 3, y - 3, x + 4, y + 4);
        MoveToEx(dc, x, y, nullptr);
      }
      SelectObject(dc, oldBrush);
      SelectObject(dc, grid);
      DeleteObject(dot);
      DeleteObject(pen);
    }
    if (s.cursor >= 0 && s.cursor < static_cast<int>(s.captures.size())) {
      HPEN cursor = CreatePen(PS_DOT, 1, RGB(0x30, 0x30, 0x30));
      SelectObject(dc, cursor);
      const int x = f.X(static_cast<std::size_t>(s.cursor));
      MoveToEx(dc, x, f.plot.top, nullptr);
      LineTo(dc, x, f.plot.bottom);
      SelectObject(dc, grid);
      DeleteObject(cursor);
    }
  }
  if (GetFocus() == chart) {
    RECT focus = client;
    InflateRect(&focus, -2, -2);
    DrawFocusRect(dc, &focus);
  }
  BitBlt(screen, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(grid);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EndPaint(chart, &paint);
}

void MoveCursor(GrowthWindow& s, int to) {
  if (s.captures.empty()) return;
  s.cursor = std::clamp(to, 0, static_cast<int>(s.captures.size()) - 1);
  InvalidateRect(s.chart, nullptr, FALSE);
  ShowCursorTotals(s);
}

LRESULT CALLBACK ChartProc(HWND chart, UINT message, WPARAM wParam, LPARAM lParam) {
  GrowthWindow* s = StateOf(GetParent(chart));
  switch (message) {
    case WM_PAINT:
      if (s != nullptr) {
        PaintChart(*s, chart);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_SIZE:
      InvalidateRect(chart, nullptr, FALSE);
      return 0;
    case WM_KEYDOWN:
      if (s == nullptr) break;
      if (wParam == VK_LEFT) MoveCursor(*s, s->cursor - 1);
      if (wParam == VK_RIGHT) MoveCursor(*s, s->cursor + 1);
      if (wParam == VK_HOME) MoveCursor(*s, 0);
      if (wParam == VK_END) MoveCursor(*s, static_cast<int>(s->captures.size()) - 1);
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(chart);
      if (s == nullptr || s->captures.empty()) return 0;
      RECT client{};
      GetClientRect(chart, &client);
      const ChartFrame f = FrameOf(*s, client, 0);
      const int x = static_cast<short>(LOWORD(lParam));
      int best = 0;
      for (std::size_t i = 1; i < s->captures.size(); ++i) {
        if (std::abs(f.X(i) - x) < std::abs(f.X(static_cast<std::size_t>(best)) - x)) {
          best = static_cast<int>(i);
        }
      }
      MoveCursor(*s, best);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(chart, message, wParam, lParam);
}

void RegisterChartClass() {
  WNDCLASSEXW type{};
  type.cbSize = sizeof(type);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kChartClass, &type)) return;
  type.lpfnWndProc = ChartProc;
  type.hInstance = GetModuleHandleW(nullptr);
  type.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  type.lpszClassName = kChartClass;
  RegisterClassExW(&type);
}

// ---- The window ----

void FillCombos(GrowthWindow& s) {
  for (HWND combo : {s.from, s.to}) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const CaptureTotal& c : s.captures) {
      const std::wstring text = WideFromText(c.dateText, NameEncoding::kUtf8);
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
  }
}

void TakeHistory(GrowthWindow& s, HistoryResult& history) {
  s.captures.clear();
  for (CaptureTotal& c : history.captures) {
    if (c.present) s.captures.push_back(std::move(c));
  }
  s.seconds.clear();
  for (const CaptureTotal& c : s.captures) s.seconds.push_back(SecondsOf(c.dateText));
  if (s.captures.empty()) {
    s.historyProblem = s.setup.folder.empty() ? "No capture of this computer can be read."
                                              : "No capture holds this folder.";
  }
  FillCombos(s);
  const std::size_t n = s.captures.size();
  std::string status = CountText(n) + (n == 1 ? " capture" : " captures");
  if (!history.unreadable.empty()) {
    status += "; " + CountText(history.unreadable.size()) + " could not be read (" +
              history.unreadable.front() + ")";
  }
  SetWindowTextUtf8(s.status, status);
  if (n >= 2) {
    SendMessageW(s.from, CB_SETCURSEL, n - 2, 0);
    SendMessageW(s.to, CB_SETCURSEL, n - 1, 0);
    Want(s, n - 2, n - 1);
  }
  s.cursor = n > 0 ? static_cast<int>(n) - 1 : -1;
  InvalidateRect(s.chart, nullptr, FALSE);
}

void TakeGrowth(GrowthWindow& s, GrowthAnswer& answer) {
  SendMessageW(s.list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(s.list, LVM_DELETEALLITEMS, 0, 0);
  if (!answer.done) {
    SetWindowTextUtf8(s.status,
                      "Could not compare: " + answer.failure.path + " " + answer.failure.reason);
  } else {
    int row = 0;
    for (const Grower& g : answer.result.growers) {
      InsertReportRow(
          s.list, row++,
          std::vector<std::string>{g.path, SignedSizeText(g.bytes), CountText(g.filesAdded),
                                   CountText(g.filesRemoved), CountText(g.filesChanged)});
    }
    const DiffSummary& sum = answer.result.summary;
    SetWindowTextUtf8(s.status, s.captures[answer.from].dateText + " to " +
                                    s.captures[answer.to].dateText + ": " + CountText(sum.added) +
                                    " added, " + CountText(sum.removed) + " removed, " +
                                    CountText(sum.changed) + " changed; " +
                                    SignedSizeText(static_cast<std::int64_t>(sum.bytesAdded) -
                                                   static_cast<std::int64_t>(sum.bytesRemoved)));
  }
  SendMessageW(s.list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(s.list, nullptr, TRUE);
}

void TakeAnswers(GrowthWindow& s) {
  std::unique_ptr<HistoryResult> history;
  std::unique_ptr<GrowthAnswer> growth;
  bool another = false;  // a pair asked for since
  {
    std::lock_guard<std::mutex> hold(s.lock);
    history = std::move(s.historyReady);
    growth = std::move(s.growthReady);
    another = s.growthWanted.has_value();
  }
  if (history) TakeHistory(s, *history);
  // A list for a pair no longer chosen is left for the one asked for since.
  if (growth && !another &&
      SendMessageW(s.from, CB_GETCURSEL, 0, 0) == static_cast<LRESULT>(growth->from) &&
      SendMessageW(s.to, CB_GETCURSEL, 0, 0) == static_cast<LRESULT>(growth->to)) {
    TakeGrowth(s, *growth);
  }
}

void OnPairChanged(GrowthWindow& s) {
  const LRESULT from = SendMessageW(s.from, CB_GETCURSEL, 0, 0);
  const LRESULT to = SendMessageW(s.to, CB_GETCURSEL, 0, 0);
  if (from < 0 || to < 0 || from == to) return;
  Want(s, static_cast<std::size_t>(from), static_cast<std::size_t>(to));
}

void InitWindow(HWND window, GrowthWindow& s) {
  s.window = window;
  s.chart = GetDlgItem(window, IDC_GROWTH_CHART);
  s.from = GetDlgItem(window, IDC_GROWTH_FROM);
  s.to = GetDlgItem(window, IDC_GROWTH_TO);
  s.list = GetDlgItem(window, IDC_GROWTH_LIST);
  s.status = GetDlgItem(window, IDC_GROWTH_STATUS);
  std::string title =
      "Growth of " + (s.setup.group.empty() ? "" : s.setup.group + "\\") + s.setup.computer;
  if (!s.setup.folder.empty()) title += ", folder " + s.setup.folder;
  title += " over its captures: size (blue) and files (orange)";
  SetWindowTextUtf8(GetDlgItem(window, IDC_GROWTH_TITLE), title);
  SetWindowTextUtf8(s.status, "Reading the captures...");
  SendMessageW(s.list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  InsertReportColumns(s.list, kColumns);
  s.layout.Remember(window, kAnchors);
  AddModelessWindow(window);
  s.worker = std::thread([&s] { RunGuarded([&] { WorkerLoop(s); }); });
  SetFocus(s.chart);
}

INT_PTR CALLBACK GrowthWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    InitWindow(window, *reinterpret_cast<GrowthWindow*>(lParam));
    return FALSE;  // the focus was set
  }
  GrowthWindow* s = StateOf(window);
  if (s == nullptr) return FALSE;
  switch (message) {
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) s->layout.Apply(LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = s->layout.minimum();
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
      if ((LOWORD(wParam) == IDC_GROWTH_FROM || LOWORD(wParam) == IDC_GROWTH_TO) &&
          HIWORD(wParam) == CBN_SELCHANGE) {
        OnPairChanged(*s);
      }
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(window);
      return TRUE;
    case kGrowthReadyMessage:
      TakeAnswers(*s);
      return TRUE;
    case WM_DESTROY:
      RemoveModelessWindow(window);
      return TRUE;
    case WM_NCDESTROY: {
      {
        std::lock_guard<std::mutex> hold(s->lock);
        s->quit = true;
      }
      s->wake.notify_one();
      if (s->worker.joinable()) s->worker.join();
      SetWindowLongPtrW(window, DWLP_USER, 0);
      delete s;
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

HWND OpenGrowthWindow(HWND owner, GrowthSetup setup) {
  RegisterChartClass();
  auto* state = new GrowthWindow;
  state->setup = std::move(setup);
  HWND window =
      CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_GROWTH), owner,
                         GuardedDialogProc<GrowthWindowProc>, reinterpret_cast<LPARAM>(state));
  if (window == nullptr) {
    delete state;
    return nullptr;
  }
  ShowWindow(window, SW_SHOW);
  return window;
}

}  // namespace mv
