// The Space window: see space_window.h.
#include "ui/win32/space_window.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/loaded_snapshot.h"
#include "platform/file_system.h"
#include "platform/win32/escaped_exception.h"
#include "query/folder_space.h"
#include "res/resource_ids.h"
#include "ui/treemap_layout.h"
#include "ui/win32/key_routing.h"
#include "ui/win32/report_columns.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

constexpr int kMargin = 8;
constexpr wchar_t kMapClass[] = L"MirrorvaultTreemap";
constexpr ReportColumn kColumns[] = {{L"Name", 150}, {L"Size", 80}, {L"Files", 70}, {L"Share", 90}};
constexpr int kShareColumn = 3;
// Cushions: the height of the top level's ridges and how much lower each level's are.
constexpr double kCushionHeight = 0.3;
constexpr double kCushionFalloff = 0.91;
// A folder this many levels below the one shown is drawn as one cushion: a chain of folders
// each holding one folder keeps its size all the way down, and each level drawn takes stack.
// The ridges of deeper levels would be too flat to see.
constexpr int kMaxMapLevels = 64;
// The light's direction (normalised in Shade), its ambient and spot parts (0-255).
constexpr double kLightX = 0.09759, kLightY = -0.19518, kLightZ = 0.9759;
constexpr double kAmbient = 80, kSpot = 175;
// Colours of files by their extension, and of folders drawn without their contents.
constexpr std::uint32_t kPalette[] = {0x4E79A7, 0xF28E2B, 0xE15759, 0x76B7B2, 0x59A14F,
                                      0xEDC948, 0xB07AA1, 0xFF9DA7, 0x9C755F, 0x86BCB6};
constexpr std::uint32_t kFolderColour = 0xA0A0A0;

// A rectangle of the map that is drawn: a file, or a folder too small to show inside.
struct MapLeaf {
  RECT rect{};
  std::string path;
  bool isFolder = false;
  FolderTotal total;
  int item = -1;  // the folder's item (row of the list) the leaf lies in
};

// What the worker hands over: the folder's items and its map at one size.
struct SpaceView {
  std::uint64_t generation = 0;
  bool loaded = false;
  std::string failure;  // the snapshot could not be read
  NameEncoding encoding = NameEncoding::kAnsi;
  std::string computer;
  std::string location;
  FolderTotal total;
  std::vector<SpaceItem> items;  // largest first
  std::vector<RECT> itemRects;   // each item's rectangle on the map
  std::vector<MapLeaf> leaves;
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
};

struct SpaceRequest {
  std::uint64_t generation = 0;
  std::string location;
  int width = 0, height = 0;
};

struct SpaceWindow {
  SpaceSetup setup;
  HWND window = nullptr;
  HWND map = nullptr;
  HWND list = nullptr;
  HWND status = nullptr;
  HWND locationText = nullptr;
  HMENU menu = nullptr;
  // The worker and what passes to and from it under the lock.
  std::thread worker;
  std::mutex lock;
  std::condition_variable wake;
  bool quit = false;
  std::unique_ptr<SpaceRequest> request;
  std::unique_ptr<SpaceView> ready;
  std::atomic<std::uint64_t> generation{0};
  // The window's side.
  std::unique_ptr<SpaceView> view;
  std::string location;  // the folder asked for last
  HBITMAP bitmap = nullptr;
  int hovered = -1;  // leaf under the mouse
  std::wstring cell;
};

SpaceWindow* StateOf(HWND window) {
  return reinterpret_cast<SpaceWindow*>(GetWindowLongPtrW(window, DWLP_USER));
}

std::string ParentOf(const std::string& location) {
  const std::size_t cut = location.rfind('\\');
  return cut == std::string::npos ? std::string() : location.substr(0, cut);
}

std::string_view NameOf(std::string_view path) {
  const std::size_t cut = path.rfind('\\');
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::uint32_t ColourOf(const std::string& path, bool isFolder) {
  if (isFolder) return kFolderColour;
  const std::string_view name = NameOf(path);
  const std::size_t dot = name.rfind('.');
  std::uint32_t hash = 2166136261u;
  if (dot != std::string_view::npos && dot > 0) {
    for (std::size_t i = dot + 1; i < name.size(); ++i) {
      const char c = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] + 32) : name[i];
      hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
  }
  return kPalette[hash % std::size(kPalette)];
}

// Cushion surface coefficients: x linear, y linear, x square, y square.
struct Surface {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

void AddRidges(Surface& s, const TreemapRect& r, double height) {
  if (r.width > 0) {
    s.x1 += 4 * height * (2 * r.x + r.width) / r.width;
    s.x2 -= 4 * height / r.width;
  }
  if (r.height > 0) {
    s.y1 += 4 * height * (2 * r.y + r.height) / r.height;
    s.y2 -= 4 * height / r.height;
  }
}

RECT PixelsOf(const TreemapRect& r) {
  return RECT{static_cast<LONG>(std::lround(r.x)), static_cast<LONG>(std::lround(r.y)),
              static_cast<LONG>(std::lround(r.x + r.width)),
              static_cast<LONG>(std::lround(r.y + r.height))};
}

void Shade(SpaceView& view, const RECT& rect, const Surface& s, std::uint32_t colour) {
  const double norm = std::sqrt(kLightX * kLightX + kLightY * kLightY + kLightZ * kLightZ);
  for (LONG y = std::max<LONG>(0, rect.top); y < std::min<LONG>(view.height, rect.bottom); ++y) {
    for (LONG x = std::max<LONG>(0, rect.left); x < std::min<LONG>(view.width, rect.right); ++x) {
      const double nx = -(2 * s.x2 * (x + 0.5) + s.x1);
      const double ny = -(2 * s.y2 * (y + 0.5) + s.y1);
      const double cosine =
          (nx * kLightX + ny * kLightY + kLightZ) / (std::sqrt(nx * nx + ny * ny + 1) * norm);
      const double light = (kAmbient + std::max(0.0, kSpot * cosine)) / 255;
      std::uint32_t pixel = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        const double channel = static_cast<double>((colour >> shift) & 0xFF) * light;
        pixel |= static_cast<std::uint32_t>(std::min(255.0, channel)) << shift;
      }
      view.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(view.width) +
                  static_cast<std::size_t>(x)] = pixel;
    }
  }
}

std::string ChildPathOf(const std::string& folder, std::string_view name) {
  std::string path = folder;
  path += '\\';
  path.append(name);
  return path;
}

// Draws one item into r: a folder with its own items inside it while it is at least two
// pixels each way and fewer than kMaxMapLevels deep, anything else (or an empty folder) as one
// cushion. Items below a pixel are left out before their path is made. False when a newer
// request came meanwhile.
bool DrawItem(const LoadedSnapshot& snapshot, SpaceView& view, std::string path, bool isFolder,
              const FolderTotal& total, const TreemapRect& r, Surface surface, double height,
              int level, int owner, const std::atomic<std::uint64_t>& generation) {
  const RECT pixels = PixelsOf(r);
  AddRidges(surface, r, height);
  if (isFolder && r.width >= 2 && r.height >= 2 && level < kMaxMapLevels) {
    std::string text;
    std::vector<SpaceName> inner;
    if (ListSpaceNames(snapshot, path, text, inner) && !inner.empty()) {
      std::vector<std::uint64_t> sizes;
      sizes.reserve(inner.size());
      for (const SpaceName& child : inner) sizes.push_back(child.total.bytes);
      const std::vector<TreemapRect> rects = SquarifiedLayout(sizes, r);
      for (std::size_t i = 0; i < inner.size(); ++i) {
        if (generation.load() != view.generation) return false;
        const RECT p = PixelsOf(rects[i]);
        if (p.right <= p.left || p.bottom <= p.top) continue;  // below a pixel
        if (!DrawItem(snapshot, view, ChildPathOf(path, inner[i].name), inner[i].isFolder,
                      inner[i].total, rects[i], surface, height * kCushionFalloff, level + 1, owner,
                      generation)) {
          return false;
        }
      }
      return true;
    }
  }
  Shade(view, pixels, surface, ColourOf(path, isFolder));
  view.leaves.push_back({pixels, std::move(path), isFolder, total, owner});
  return true;
}

// Lays out and draws the location's items (sorted) inside bounds, each keeping its rectangle.
void DrawItems(const LoadedSnapshot& snapshot, SpaceView& view, const TreemapRect& bounds,
               const std::atomic<std::uint64_t>& generation) {
  std::vector<std::uint64_t> sizes;
  sizes.reserve(view.items.size());
  for (const SpaceItem& item : view.items) sizes.push_back(item.total.bytes);
  const std::vector<TreemapRect> rects = SquarifiedLayout(sizes, bounds);
  for (std::size_t i = 0; i < view.items.size(); ++i) {
    if (generation.load() != view.generation) return;
    const RECT pixels = PixelsOf(rects[i]);
    if (pixels.right <= pixels.left || pixels.bottom <= pixels.top) continue;  // below a pixel
    view.itemRects[i] = pixels;
    const SpaceItem& item = view.items[i];
    if (!DrawItem(snapshot, view, item.path, item.isFolder, item.total, rects[i], {},
                  kCushionHeight, 0, static_cast<int>(i), generation)) {
      return;
    }
  }
}

// The worker's answer to one request.
std::unique_ptr<SpaceView> Answer(const LoadedSnapshot& snapshot, const SpaceRequest& request,
                                  const std::atomic<std::uint64_t>& generation) {
  auto view = std::make_unique<SpaceView>();
  view->generation = request.generation;
  view->loaded = true;
  view->location = request.location;
  std::vector<SpaceItem> self;
  if (!FolderSpace(snapshot, request.location, 0, self) ||
      !ListSpace(snapshot, request.location, view->items)) {
    view->failure = snapshot.readFailed() ? "The file could not be read." : "No such folder.";
    return view;
  }
  view->total = self.front().total;
  SortBySpace(view->items);
  view->itemRects.assign(view->items.size(), RECT{});
  view->width = std::max(0, request.width);
  view->height = std::max(0, request.height);
  view->pixels.assign(
      static_cast<std::size_t>(view->width) * static_cast<std::size_t>(view->height), 0xFFFFFF);
  DrawItems(snapshot, *view,
            {0, 0, static_cast<double>(view->width), static_cast<double>(view->height)},
            generation);
  return view;
}

void WorkerLoop(SpaceWindow& s) {
  LoadedSnapshot snapshot;
  const LoadResult loaded = snapshot.Load(PlatformFileSystem(), s.setup.snapshotPath);
  for (;;) {
    std::unique_ptr<SpaceRequest> request;
    {
      std::unique_lock<std::mutex> hold(s.lock);
      s.wake.wait(hold, [&] { return s.quit || s.request != nullptr; });
      if (s.quit) return;
      request = std::move(s.request);
    }
    std::unique_ptr<SpaceView> view;
    if (loaded != LoadResult::kAccepted) {
      view = std::make_unique<SpaceView>();
      view->generation = request->generation;
      view->failure =
          std::string("Could not open the snapshot: ") + DescribeLoadResult(loaded) + ".";
    } else {
      view = Answer(snapshot, *request, s.generation);
      view->encoding = snapshot.info().encoding;
      view->computer = snapshot.info().computer;
    }
    {
      std::lock_guard<std::mutex> hold(s.lock);
      if (view->generation != s.generation.load()) continue;  // a newer request waits
      s.ready = std::move(view);
    }
    PostMessageW(s.window, kSpaceReadyMessage, 0, 0);
  }
}

// Asks the worker for the items and the map of location at the map's size.
void Request(SpaceWindow& s, const std::string& location) {
  s.location = location;
  RECT client{};
  GetClientRect(s.map, &client);
  auto request = std::make_unique<SpaceRequest>();
  request->generation = ++s.generation;
  request->location = location;
  request->width = client.right;
  request->height = client.bottom;
  {
    std::lock_guard<std::mutex> hold(s.lock);
    s.request = std::move(request);
  }
  s.wake.notify_one();
  SetWindowTextW(s.status, s.view ? L"Drawing the map..." : L"Reading the snapshot...");
}

std::wstring Wide(const SpaceWindow& s, std::string_view text) {
  return WideFromText(text, s.view ? s.view->encoding : NameEncoding::kAnsi);
}

// "Docs\Sub: 1.5 GB in 1,234 files" as the status line tells an item or the folder.
std::wstring TotalText(const SpaceWindow& s, const std::string& path, const FolderTotal& total,
                       bool isFolder) {
  std::wstring text = path.empty() ? L"All shares" : Wide(s, path);
  text += L": " + WideFromText(SpaceSizeText(total.bytes), NameEncoding::kUtf8);
  if (isFolder) {
    text += L" in " + std::to_wstring(total.files) + (total.files == 1 ? L" file" : L" files");
  }
  return text;
}

// Rows of the list: ".." first below the top, then the items.
bool HasUpRow(const SpaceWindow& s) {
  return s.view != nullptr && !s.view->location.empty();
}

int ItemOfRow(const SpaceWindow& s, int row) {
  return HasUpRow(s) ? row - 1 : row;
}

int SelectedRow(const SpaceWindow& s) {
  return static_cast<int>(
      SendMessageW(s.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

const SpaceItem* SelectedItem(const SpaceWindow& s) {
  const int item = ItemOfRow(s, SelectedRow(s));
  if (!s.view || item < 0 || static_cast<std::size_t>(item) >= s.view->items.size()) return nullptr;
  return &s.view->items[static_cast<std::size_t>(item)];
}

void SelectRow(SpaceWindow& s, int row) {
  ListView_SetItemState(s.list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row < 0) return;
  ListView_SetItemState(s.list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(s.list, row, FALSE);
}

void GoUp(SpaceWindow& s) {
  if (s.location.empty()) return;
  Request(s, ParentOf(s.location));
}

void OpenItem(SpaceWindow& s, const SpaceItem* item) {
  if (item != nullptr && item->isFolder) Request(s, item->path);
}

void ShowInMain(SpaceWindow& s, const std::string& path) {
  if (!s.setup.showEntry || !s.view || path.empty()) return;
  CompareEntry entry;
  entry.snapshotPath = s.setup.snapshotPath;
  const std::size_t first = path.find('\\');
  entry.share = path.substr(0, first);
  if (first != std::string::npos) {
    const std::string rest = path.substr(first + 1);
    entry.folder = ParentOf(rest);
    entry.name = std::string(NameOf(rest));
  }
  s.setup.showEntry(entry);
}

void TakeView(SpaceWindow& s) {
  std::unique_ptr<SpaceView> view;
  {
    std::lock_guard<std::mutex> hold(s.lock);
    view = std::move(s.ready);
  }
  if (!view || view->generation != s.generation.load()) return;
  if (!view->loaded) {
    SetWindowTextW(s.status, WideFromText(view->failure, NameEncoding::kUtf8).c_str());
    return;
  }
  // Coming up, the folder left is selected in its parent's list.
  const std::string previous = s.view ? s.view->location : std::string();
  s.view = std::move(view);
  s.hovered = -1;
  if (s.bitmap != nullptr) DeleteObject(s.bitmap);
  s.bitmap = nullptr;
  if (s.view->width > 0 && s.view->height > 0) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = s.view->width;
    info.bmiHeader.biHeight = -s.view->height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    s.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (s.bitmap != nullptr) {
      std::copy(s.view->pixels.begin(), s.view->pixels.end(), static_cast<std::uint32_t*>(bits));
    }
  }
  const std::wstring where = L"\\\\" + Wide(s, s.view->computer) +
                             (s.view->location.empty() ? L"" : L"\\" + Wide(s, s.view->location));
  SetWindowTextW(s.locationText, where.c_str());
  SetWindowTextW(s.window, (L"Space - " + where).c_str());
  if (!s.view->failure.empty()) {
    SetWindowTextW(s.status, WideFromText(s.view->failure, NameEncoding::kUtf8).c_str());
  } else {
    SetWindowTextW(s.status, TotalText(s, s.view->location, s.view->total, true).c_str());
  }
  const int rows = static_cast<int>(s.view->items.size()) + (HasUpRow(s) ? 1 : 0);
  SendMessageW(s.list, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows), 0);
  int select = rows > 0 ? 0 : -1;
  for (std::size_t i = 0; i < s.view->items.size(); ++i) {
    if (!previous.empty() && s.view->items[i].path == previous) {
      select = static_cast<int>(i) + (HasUpRow(s) ? 1 : 0);
    }
  }
  SelectRow(s, select);
  InvalidateRect(s.list, nullptr, TRUE);
  InvalidateRect(s.map, nullptr, FALSE);
}

void FillDisplayInfo(SpaceWindow& s, NMLVDISPINFOW& info) {
  if ((info.item.mask & LVIF_TEXT) == 0 || !s.view) return;
  const int item = ItemOfRow(s, info.item.iItem);
  if (item < 0) {
    s.cell = info.item.iSubItem == 0 ? L".." : L"";
  } else if (static_cast<std::size_t>(item) < s.view->items.size()) {
    const SpaceItem& row = s.view->items[static_cast<std::size_t>(item)];
    switch (info.item.iSubItem) {
      case 0:
        s.cell = Wide(s, NameOf(row.path));
        break;
      case 1:
        s.cell = WideFromText(SpaceSizeText(row.total.bytes), NameEncoding::kUtf8);
        break;
      case 2:
        s.cell = std::to_wstring(row.total.files);
        break;
      default: {
        const double share = s.view->total.bytes == 0
                                 ? 0
                                 : 100.0 * static_cast<double>(row.total.bytes) /
                                       static_cast<double>(s.view->total.bytes);
        wchar_t text[32];
        swprintf(text, std::size(text), L"%.1f %%", share);
        s.cell = text;
      }
    }
  } else {
    return;
  }
  info.item.pszText = s.cell.data();
}

// The share column gets a bar under its text.
LRESULT OnCustomDraw(SpaceWindow& s, NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const int item = ItemOfRow(s, static_cast<int>(draw.nmcd.dwItemSpec));
      if (draw.iSubItem != kShareColumn || !s.view || item < 0 ||
          static_cast<std::size_t>(item) >= s.view->items.size() || s.view->total.bytes == 0) {
        return CDRF_DODEFAULT;
      }
      RECT cell{};
      cell.top = kShareColumn;
      cell.left = LVIR_BOUNDS;
      SendMessageW(s.list, LVM_GETSUBITEMRECT, draw.nmcd.dwItemSpec,
                   reinterpret_cast<LPARAM>(&cell));
      const double part =
          static_cast<double>(s.view->items[static_cast<std::size_t>(item)].total.bytes) /
          static_cast<double>(s.view->total.bytes);
      RECT bar = cell;
      InflateRect(&bar, -2, -2);
      bar.right = bar.left + static_cast<LONG>(std::lround((bar.right - bar.left) * part));
      FillRect(draw.nmcd.hdc, &cell, GetSysColorBrush(COLOR_WINDOW));
      HBRUSH brush = CreateSolidBrush(RGB(0x9E, 0xC5, 0xEA));
      FillRect(draw.nmcd.hdc, &bar, brush);
      DeleteObject(brush);
      NMLVDISPINFOW info{};
      info.item.mask = LVIF_TEXT;
      info.item.iItem = static_cast<int>(draw.nmcd.dwItemSpec);
      info.item.iSubItem = kShareColumn;
      FillDisplayInfo(s, info);
      SetBkMode(draw.nmcd.hdc, TRANSPARENT);
      SetTextColor(draw.nmcd.hdc, GetSysColor(COLOR_WINDOWTEXT));
      InflateRect(&cell, -4, 0);
      DrawTextW(draw.nmcd.hdc, s.cell.c_str(), -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
      return CDRF_SKIPDEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

int LeafAt(const SpaceWindow& s, POINT point) {
  if (!s.view) return -1;
  for (std::size_t i = 0; i < s.view->leaves.size(); ++i) {
    if (PtInRect(&s.view->leaves[i].rect, point)) return static_cast<int>(i);
  }
  return -1;
}

void PaintMap(SpaceWindow& s, HDC dc) {
  RECT client{};
  GetClientRect(s.map, &client);
  if (s.bitmap == nullptr) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    return;
  }
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, s.bitmap);
  BitBlt(dc, 0, 0, s.view->width, s.view->height, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  // The item selected in the list is framed on the map.
  const int item = ItemOfRow(s, SelectedRow(s));
  if (item >= 0 && static_cast<std::size_t>(item) < s.view->itemRects.size()) {
    RECT frame = s.view->itemRects[static_cast<std::size_t>(item)];
    for (int width = 0; width < 2 && frame.right - frame.left > 2; ++width) {
      FrameRect(dc, &frame,
                static_cast<HBRUSH>(GetStockObject(width == 0 ? BLACK_BRUSH : WHITE_BRUSH)));
      InflateRect(&frame, -1, -1);
    }
  }
}

void ShowMenu(SpaceWindow& s, POINT screen, const std::string& path, bool canOpen) {
  HMENU popup = GetSubMenu(s.menu, 0);
  EnableMenuItem(popup, IDM_SPACE_OPEN, MF_BYCOMMAND | (canOpen ? MF_ENABLED : MF_GRAYED));
  EnableMenuItem(popup, IDM_SPACE_SHOW_IN_MAIN,
                 MF_BYCOMMAND | (path.empty() ? MF_GRAYED : MF_ENABLED));
  const bool growth = canOpen && !path.empty() && s.setup.showGrowth;
  EnableMenuItem(popup, IDM_SPACE_SHOW_GROWTH, MF_BYCOMMAND | (growth ? MF_ENABLED : MF_GRAYED));
  const int command = static_cast<int>(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                      screen.x, screen.y, 0, s.window, nullptr));
  if (command == IDM_SPACE_SHOW_IN_MAIN) ShowInMain(s, path);
  if (command == IDM_SPACE_OPEN) Request(s, path);
  if (command == IDM_SPACE_SHOW_GROWTH && growth) {
    s.setup.showGrowth(Utf8FromText(path, s.view ? s.view->encoding : NameEncoding::kAnsi));
  }
}

LRESULT CALLBACK MapProc(HWND map, UINT message, WPARAM wParam, LPARAM lParam) {
  SpaceWindow* s = StateOf(GetParent(map));
  if (s == nullptr) return DefWindowProcW(map, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(map, &paint);
      PaintMap(*s, dc);
      EndPaint(map, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE: {
      const int leaf =
          LeafAt(*s, {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      if (leaf != s->hovered && s->view) {
        s->hovered = leaf;
        const std::wstring text =
            leaf < 0 ? TotalText(*s, s->view->location, s->view->total, true)
                     : TotalText(*s, s->view->leaves[static_cast<std::size_t>(leaf)].path,
                                 s->view->leaves[static_cast<std::size_t>(leaf)].total,
                                 s->view->leaves[static_cast<std::size_t>(leaf)].isFolder);
        SetWindowTextW(s->status, text.c_str());
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      // A click opens the folder of the folder's items it lies in.
      const int leaf =
          LeafAt(*s, {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      if (leaf >= 0) {
        const int item = s->view->leaves[static_cast<std::size_t>(leaf)].item;
        SelectRow(*s, item + (HasUpRow(*s) ? 1 : 0));
        OpenItem(*s, &s->view->items[static_cast<std::size_t>(item)]);
      }
      SetFocus(s->list);
      return 0;
    }
    case WM_CONTEXTMENU: {
      POINT screen{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      POINT client = screen;
      ScreenToClient(map, &client);
      const int leaf = LeafAt(*s, client);
      if (leaf >= 0) {
        const MapLeaf& hit = s->view->leaves[static_cast<std::size_t>(leaf)];
        const SpaceItem& item = s->view->items[static_cast<std::size_t>(hit.item)];
        ShowMenu(*s, screen, hit.path, item.isFolder ? true : false);
      }
      return 0;
    }
    default:
      return DefWindowProcW(map, message, wParam, lParam);
  }
}

void Layout(SpaceWindow& s) {
  RECT client{};
  GetClientRect(s.window, &client);
  RECT text{};
  GetWindowRect(s.status, &text);
  const int line = text.bottom - text.top;
  const int top = kMargin + line + kMargin / 2;
  const int bottom = client.bottom - kMargin - line - kMargin / 2;
  const int width = client.right - 2 * kMargin;
  const int listWidth = std::min(width / 2, std::max(260, width * 2 / 5));
  MoveWindow(s.locationText, kMargin, kMargin, width, line, TRUE);
  MoveWindow(s.map, kMargin, top, width - listWidth - kMargin, std::max(0, bottom - top), TRUE);
  MoveWindow(s.list, client.right - kMargin - listWidth, top, listWidth, std::max(0, bottom - top),
             TRUE);
  MoveWindow(s.status, kMargin, client.bottom - kMargin - line, width, line, TRUE);
}

void InitWindow(HWND window, SpaceWindow& s) {
  s.window = window;
  s.map = GetDlgItem(window, IDC_SPACE_MAP);
  s.list = GetDlgItem(window, IDC_SPACE_LIST);
  s.status = GetDlgItem(window, IDC_SPACE_STATUS);
  s.locationText = GetDlgItem(window, IDC_SPACE_LOCATION);
  s.menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_SPACE_MENU));
  SendMessageW(s.list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  InsertReportColumns(s.list, kColumns);
  AddModelessWindow(window);
  Layout(s);
  s.worker = std::thread([&s] { RunGuarded([&] { WorkerLoop(s); }); });
  Request(s, s.setup.location);
  SetFocus(s.list);
}

bool OnNotify(SpaceWindow& s, const NMHDR& header, LPARAM lParam, LRESULT& result) {
  if (header.idFrom != IDC_SPACE_LIST) return false;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      FillDisplayInfo(s, *reinterpret_cast<NMLVDISPINFOW*>(lParam));
      return true;
    case NM_CUSTOMDRAW:
      result = OnCustomDraw(s, *reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
      return true;
    case LVN_ITEMCHANGED:
      InvalidateRect(s.map, nullptr, FALSE);
      return true;
    case NM_DBLCLK: {
      const int row = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
      if (ItemOfRow(s, row) < 0 && row >= 0) {
        GoUp(s);
      } else {
        OpenItem(s, SelectedItem(s));
      }
      return true;
    }
    case LVN_KEYDOWN:
      if (reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_BACK) GoUp(s);
      return true;
    case NM_RCLICK: {
      POINT screen{};
      GetCursorPos(&screen);
      const SpaceItem* item = SelectedItem(s);
      if (item != nullptr) ShowMenu(s, screen, item->path, item->isFolder);
      return true;
    }
    default:
      return false;
  }
}

INT_PTR CALLBACK SpaceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    InitWindow(window, *reinterpret_cast<SpaceWindow*>(lParam));
    return FALSE;  // the focus was set
  }
  SpaceWindow* s = StateOf(window);
  if (s == nullptr) return FALSE;
  switch (message) {
    case WM_SIZE:
      Layout(*s);
      if (s->view) Request(*s, s->location);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDM_SPACE_OPEN) {  // Enter
        if (ItemOfRow(*s, SelectedRow(*s)) < 0 && SelectedRow(*s) >= 0) {
          GoUp(*s);
        } else {
          OpenItem(*s, SelectedItem(*s));
        }
      }
      if (LOWORD(wParam) == IDM_SPACE_SHOW_IN_MAIN && SelectedItem(*s) != nullptr) {
        ShowInMain(*s, SelectedItem(*s)->path);
      }
      return TRUE;
    case WM_CONTEXTMENU:
      // The keyboard's menu key on the list: the selected item's menu beside it.
      if (reinterpret_cast<HWND>(wParam) == s->list && lParam == -1) {
        RECT row{};
        row.left = LVIR_BOUNDS;
        SendMessageW(s->list, LVM_GETITEMRECT, static_cast<WPARAM>(std::max(0, SelectedRow(*s))),
                     reinterpret_cast<LPARAM>(&row));
        POINT screen{row.left + 16, row.bottom};
        ClientToScreen(s->list, &screen);
        const SpaceItem* item = SelectedItem(*s);
        if (item != nullptr) ShowMenu(*s, screen, item->path, item->isFolder);
      }
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(window);
      return TRUE;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (!OnNotify(*s, *reinterpret_cast<const NMHDR*>(lParam), lParam, result)) return FALSE;
      SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case kSpaceReadyMessage:
      TakeView(*s);
      return TRUE;
    case WM_DESTROY:
      RemoveModelessWindow(window);
      return TRUE;
    case WM_NCDESTROY: {
      {
        std::lock_guard<std::mutex> hold(s->lock);
        s->quit = true;
      }
      ++s->generation;  // a map being drawn stops at its next item
      s->wake.notify_one();
      if (s->worker.joinable()) s->worker.join();
      if (s->bitmap != nullptr) DeleteObject(s->bitmap);
      if (s->menu != nullptr) DestroyMenu(s->menu);
      SetWindowLongPtrW(window, DWLP_USER, 0);
      delete s;
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void RegisterMapClass() {
  WNDCLASSEXW type{};
  type.cbSize = sizeof(type);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kMapClass, &type)) return;
  type.lpfnWndProc = MapProc;
  type.hInstance = GetModuleHandleW(nullptr);
  type.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));  // IDC_HAND
  type.lpszClassName = kMapClass;
  RegisterClassExW(&type);
}

}  // namespace

HWND OpenSpaceWindow(HWND owner, SpaceSetup setup) {
  RegisterMapClass();
  auto* state = new SpaceWindow;
  state->setup = std::move(setup);
  HWND window =
      CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SPACE), owner,
                         GuardedDialogProc<SpaceWindowProc>, reinterpret_cast<LPARAM>(state));
  if (window == nullptr) {
    delete state;
    return nullptr;
  }
  ShowWindow(window, SW_SHOW);
  return window;
}

}  // namespace mv
