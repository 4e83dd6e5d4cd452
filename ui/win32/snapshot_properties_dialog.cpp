// The Snapshot Properties dialog's procedure: sets its eight texts and closes on OK or Esc.
#include "ui/win32/snapshot_properties_dialog.h"

#include "platform/win32/escaped_exception.h"
#include "res/resource_ids.h"
#include "ui/win32/modal_dialog.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

// The controls of the texts, in the order SnapshotPropertyTexts gives them.
constexpr int kTextControls[kSnapshotPropertyCount] = {
    IDC_PROPERTY_GROUP, IDC_PROPERTY_COMPUTER,    IDC_PROPERTY_CREATED, IDC_PROPERTY_SHARES,
    IDC_PROPERTY_FILES, IDC_PROPERTY_DIRECTORIES, IDC_PROPERTY_TOTAL,   IDC_PROPERTY_FILE};

using PropertyTexts = std::array<std::string, kSnapshotPropertyCount>;

INT_PTR CALLBACK SnapshotPropertiesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto& texts = *reinterpret_cast<const PropertyTexts*>(lParam);
      for (int i = 0; i < kSnapshotPropertyCount; ++i) {
        SetWindowTextUtf8(GetDlgItem(dialog, kTextControls[i]), texts[static_cast<std::size_t>(i)]);
      }
      // On OK rather than in the File box, which would select its whole text.
      SetFocus(GetDlgItem(dialog, IDOK));
      break;
    }
    case WM_COMMAND:
    case WM_CLOSE:
      if (ClosingButton(message, wParam) != 0) EndDialog(dialog, 0);
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

void ShowSnapshotPropertiesDialog(HWND owner, const PropertyTexts& texts) {
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SNAPSHOT_PROPERTIES), owner,
                  GuardedDialogProc<SnapshotPropertiesProc>, reinterpret_cast<LPARAM>(&texts));
}

}  // namespace mv
