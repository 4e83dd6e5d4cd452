// The About box: see about_dialog.h. The links are plain statics that the dialog draws in
// blue; a 1 ms timer polls the mouse, so the hovered link is right even when the pointer
// crosses a link without the dialog receiving a mouse move.
#include "ui/win32/about_dialog.h"

#include <array>
#include <string>

#include "platform/shell_port.h"
#include "platform/win32/escaped_exception.h"
#include "res/resource_ids.h"

namespace mv {
namespace {

constexpr UINT_PTR kHoverTimer = 0;
constexpr UINT kHoverTimerPeriodMs = 1;
constexpr int kWidthBeyondBanner = 5;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

struct Link {
  int control;
  std::string target;
};

// The open box's state; one About box at a time.
struct AboutState {
  ShellPort* shell = nullptr;
  // In the order the timer tests them: a later hit overrides an earlier one.
  std::array<Link, 3> links;
  const Link* hovered = nullptr;
  HCURSOR hand = nullptr;
  HBRUSH face = nullptr;
};

AboutState& State() {
  static AboutState state;
  return state;
}

// Web addresses show without their scheme and closing slash; the mail link shows the
// address itself.
std::string ShownText(const Link& link) {
  const std::string& target = link.target;
  const std::size_t scheme = target.find("://");
  if (scheme == std::string::npos) return target.substr(target.find(':') + 1);
  std::string shown = target.substr(scheme + 3);
  if (!shown.empty() && shown.back() == '/') shown.pop_back();
  return shown;
}

void OnOpen(HWND dialog) {
  RECT banner{};
  GetClientRect(GetDlgItem(dialog, IDC_BANNER), &banner);
  RECT frame{};
  GetWindowRect(dialog, &frame);
  SetWindowPos(dialog, nullptr, 0, 0, banner.right + kWidthBeyondBanner, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER);
  for (const Link& link : State().links)
    SetDlgItemTextA(dialog, link.control, ShownText(link).c_str());
  AboutState& state = State();
  state.hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
  state.hovered = nullptr;
  state.face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  SetTimer(dialog, kHoverTimer, kHoverTimerPeriodMs, nullptr);
}

void OnTimer(HWND dialog) {
  AboutState& state = State();
  state.hovered = nullptr;
  POINT at{};
  GetCursorPos(&at);
  for (const Link& link : State().links) {
    RECT area{};
    GetWindowRect(GetDlgItem(dialog, link.control), &area);
    if (PtInRect(&area, at)) state.hovered = &link;
  }
}

bool IsLink(HWND control) {
  const int id = GetDlgCtrlID(control);
  for (const Link& link : State().links) {
    if (link.control == id) return true;
  }
  return false;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  AboutState& state = State();
  switch (message) {
    case WM_INITDIALOG:
      OnOpen(dialog);
      return TRUE;
    case WM_TIMER:
      OnTimer(dialog);
      return TRUE;
    case WM_SETCURSOR:
      if (state.hovered == nullptr) return FALSE;
      SetCursor(state.hand);
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      if (!IsLink(reinterpret_cast<HWND>(lParam))) return FALSE;
      SetTextColor(reinterpret_cast<HDC>(wParam), kLinkColour);
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<INT_PTR>(state.face);
    case WM_LBUTTONDOWN:
      if (state.hovered != nullptr && state.shell != nullptr)
        state.shell->Open(state.hovered->target);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
      return TRUE;
    case WM_DESTROY:
      KillTimer(dialog, kHoverTimer);
      DeleteObject(state.face);
      state.face = nullptr;
      state.hovered = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void ShowAboutDialog(HWND owner, ShellPort* shell, const WebPages& pages) {
  State().shell = shell;
  State().links = {{
      {IDC_LINK_WEB, pages.webSite},
      {IDC_LINK_EMAIL, "mailto:" + pages.supportEmail},
      {IDC_LINK_SUPPORT, pages.supportPage},
  }};
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner,
                  GuardedDialogProc<AboutDialogProc>, 0);
}

}  // namespace mv
