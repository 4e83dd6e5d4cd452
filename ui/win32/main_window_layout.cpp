// LayoutMainWindow and the splitter drag: the window reads the controls' rectangles,
// ui/main_layout decides where they go, and this file moves them.
#include <windows.h>

#include <windowsx.h>

#include "res/resource_ids.h"
#include "ui/main_layout.h"
#include "ui/win32/main_window_state.h"

namespace mv {
namespace {

LayoutRect ToLayout(const RECT& r) {
  return LayoutRect{r.left, r.top, r.right, r.bottom};
}

// A control's rectangle in its parent's client coordinates.
LayoutRect ClientRectOf(HWND parent, int id) {
  RECT r{};
  HWND control = GetDlgItem(parent, id);
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return ToLayout(r);
}

void Place(HWND parent, int id, const LayoutRect& r) {
  MoveWindow(GetDlgItem(parent, id), r.left, r.top, r.Width(), r.Height(), TRUE);
}

}  // namespace

void LayoutMainWindow(HWND window, WPARAM wParam, LPARAM lParam) {
  MainWindowState& s = MainState();
  LockWindowUpdate(window);
  if (s.status != nullptr) SendMessageA(s.status, WM_SIZE, wParam, lParam);

  RECT client{};
  GetClientRect(window, &client);
  RECT bar{};
  if (s.status != nullptr) GetWindowRect(s.status, &bar);

  MainLayoutInput in;
  in.clientWidth = client.right;
  in.clientHeight = client.bottom;
  in.statusBarHeight = bar.bottom - bar.top;
  in.splitter = ClientRectOf(window, IDC_SPLITTER);
  in.tree = ClientRectOf(window, IDC_SNAPSHOT_TREE);
  in.locationLabel = ClientRectOf(window, IDC_LOCATION_LABEL);
  in.location = ClientRectOf(window, IDC_LOCATION);
  in.fileList = ClientRectOf(window, IDC_FILE_LIST);
  const MainLayout out = ComputeMainLayout(in);

  Place(window, IDC_FILE_LIST, out.fileList);
  Place(window, IDC_LOCATION, out.location);
  Place(window, IDC_LOCATION_LABEL, out.locationLabel);
  Place(window, IDC_SNAPSHOT_TREE, out.tree);
  Place(window, IDC_SPLITTER, out.splitter);
  LockWindowUpdate(nullptr);
}

void OnSplitterMouse(HWND window, WPARAM keyFlags, LPARAM position) {
  MainWindowState& s = MainState();
  const LayoutRect bar = ClientRectOf(window, IDC_SPLITTER);
  const POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  const bool over = at.x >= bar.left && at.x < bar.right && at.y >= bar.top && at.y < bar.bottom;
  if (!over || s.dragState != kDragIdle) return;
  if (StartsSplitterDrag(static_cast<unsigned>(keyFlags))) {
    RECT frame{};
    GetWindowRect(window, &frame);
    const LayoutRect clip = SplitterDragClip(ToLayout(frame));
    const RECT clipRect{clip.left, clip.top, clip.right, clip.bottom};
    ClipCursor(&clipRect);
    s.dragState = kDragging;
    ShowWindow(GetDlgItem(window, IDC_SPLITTER), SW_SHOW);
  }
  SetCursor(s.sizeCursor);
}

void OnSplitterTimer(HWND window) {
  MainWindowState& s = MainState();
  if (s.dragState == kDragging) {
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT frame{};
    GetWindowRect(window, &frame);
    cursor.x = ClampToSplitterLimits(cursor.x, ToLayout(frame));
    ScreenToClient(window, &cursor);
    Place(window, IDC_SPLITTER, DraggedSplitterRect(cursor.x));
  }
  if (GetAsyncKeyState(VK_LBUTTON) == 0 && s.dragState != kDragIdle) {
    ClipCursor(nullptr);
    s.dragState = kDragIdle;
    ShowWindow(GetDlgItem(window, IDC_SPLITTER), SW_HIDE);
    SendMessageA(window, WM_SIZE, 0, 0);
  }
}

}  // namespace mv
