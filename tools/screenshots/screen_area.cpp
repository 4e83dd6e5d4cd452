// The screen area of a program's windows, and the request files the screenshot scripts read.
#include "tools/screenshots/screen_area.h"

namespace mv::shots {
namespace {

constexpr int kDesktopWidth = 1280;
constexpr int kDesktopHeight = 800;
constexpr int kMainWindowWidth = 840;
constexpr int kMainWindowHeight = 540;

struct Search {
  DWORD process;
  RECT area;
  bool any;
};

BOOL CALLBACK AddWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  if (process != search->process || !IsWindowVisible(window) ||
      (style & WS_CAPTION) != WS_CAPTION) {
    return TRUE;
  }
  RECT r{};
  GetWindowRect(window, &r);
  if (search->any) {
    UnionRect(&search->area, &search->area, &r);
  } else {
    search->area = r;
    search->any = true;
  }
  return TRUE;
}

}  // namespace

void PlaceMainWindow(HWND window) {
  // A little above the middle, clear of the taskbar at the bottom.
  SetWindowPos(window, nullptr, (kDesktopWidth - kMainWindowWidth) / 2,
               (kDesktopHeight - kMainWindowHeight) / 2 - 20, kMainWindowWidth, kMainWindowHeight,
               SWP_NOZORDER);
}

RECT CaptionedWindowsOf(DWORD process) {
  Search search{process, RECT{}, false};
  EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&search));
  return search.area;
}

std::string AreaText(const RECT& area) {
  return std::to_string(area.left) + " " + std::to_string(area.top) + " " +
         std::to_string(area.right) + " " + std::to_string(area.bottom);
}

bool WriteWhole(const std::string& path, const std::string& text) {
  const std::string partial = path + ".part";
  HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL wrote =
      WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return wrote && written == text.size() &&
         MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace mv::shots
