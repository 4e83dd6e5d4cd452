// The Search files dialog's procedure: offers the last name, and hands back the name typed
// when "Search" closes it.
#include "ui/win32/search_dialog.h"

#include "platform/win32/escaped_exception.h"
#include "res/resource_ids.h"
#include "ui/win32/modal_dialog.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

struct SearchRequest {
  std::string name;
  bool search = false;
};

INT_PTR CALLBACK SearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      HWND field = GetDlgItem(dialog, IDC_SEARCH_NAME);
      SetWindowTextUtf8(field, reinterpret_cast<SearchRequest*>(lParam)->name);
      // Typing replaces the name offered; Enter searches for it again.
      SetFocus(field);
      SendMessageA(field, EM_SETSEL, 0, -1);
      break;
    }
    case WM_COMMAND:
    case WM_CLOSE: {
      const int button = ClosingButton(message, wParam);
      if (button == IDOK) {
        auto* request = reinterpret_cast<SearchRequest*>(GetWindowLongPtrA(dialog, DWLP_USER));
        request->name = WholeWindowText(GetDlgItem(dialog, IDC_SEARCH_NAME));
        request->search = true;
      }
      if (button != 0) EndDialog(dialog, 0);
      break;
    }
    default:
      break;
  }
  return FALSE;
}

}  // namespace

std::optional<std::string> ShowSearchDialog(HWND owner, const std::string& name) {
  SearchRequest request{name, false};
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SEARCH), owner,
                  GuardedDialogProc<SearchDialogProc>, reinterpret_cast<LPARAM>(&request));
  if (!request.search) return std::nullopt;
  return request.name;
}

}  // namespace mv
