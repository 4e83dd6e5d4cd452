// The Take Snapshots dialog: its procedure unpacks messages and calls the scan, the capture
// and the stop of capture/take_snapshots.h.
#include "ui/win32/take_snapshots_dialog.h"

#include <commctrl.h>

#include <array>

#include "capture/activity_state.h"
#include "capture/take_snapshots.h"
#include "platform/win32/escaped_exception.h"
#include "res/resource_ids.h"
#include "ui/win32/background_threads.h"
#include "ui/win32/context_menu.h"
#include "ui/win32/icon_list.h"
#include "ui/win32/main_window.h"
#include "ui/win32/owner_thread.h"
#include "ui/win32/schedules_window.h"
#include "ui/win32/tree_walk.h"
#include "ui/win32/win32_notice_port.h"

namespace mv {
namespace {

// Room for the caption of button 2, as the dialog reads it back.
constexpr int kCaptionRoom = 256;

HWND NetworkTree(HWND dialog) {
  return GetDlgItem(dialog, IDC_NETWORK_TREE);
}

// The tick boxes, the documented way: the style is left out of the template and switched on
// once the tree exists and before it holds an item, so that the tree makes its tick box
// images now and never unticks the first items of a scan.
void SwitchOnTickBoxes(HWND tree) {
  const LONG_PTR style = GetWindowLongPtrA(tree, GWL_STYLE);
  SetWindowLongPtrA(tree, GWL_STYLE, style | TVS_CHECKBOXES);
}

// The tree frees neither its normal image list nor the tick boxes' state image list it made:
// both are taken off it and destroyed while it still exists.
void DestroyTreeImageLists(HWND tree) {
  for (const WPARAM which : {TVSIL_NORMAL, TVSIL_STATE}) {
    ImageList_Destroy(reinterpret_cast<HIMAGELIST>(SendMessageA(tree, TVM_SETIMAGELIST, which, 0)));
  }
}

void OnInitDialog(HWND dialog) {
  AddOpenTakeSnapshotsDialog(dialog);
  SwitchOnTickBoxes(NetworkTree(dialog));
  SendMessageA(NetworkTree(dialog), TVM_SETIMAGELIST, TVSIL_NORMAL,
               reinterpret_cast<LPARAM>(CreateIconList({IDI_GROUP, IDI_COMPUTER, IDI_SHARE})));
  // The scan empties the tree and the tables first, so every opening shows a fresh scan.
  RequestNetworkScan();
}

void StartCapture(HWND dialog) {
  // Read now, not at start-up: the directory is a setting the user may have changed.
  const CaptureRefusal refusal = StartCaptureOfTickedComputers(SnapshotsDirectory());
  if (refusal == CaptureRefusal::kNone) return;
  // The buttons follow the activity state, which says Idle while a stopped task still winds
  // down or a scan has been asked for but not begun. Saying nothing would look like a
  // capture that never ends.
  Win32NoticePort(dialog).ShowMessage(CaptureRefusalText(refusal), MessageKind::kInformation);
}

void OnCancelButton(HWND dialog) {
  std::array<char, kCaptionRoom> caption{};
  GetDlgItemTextA(dialog, IDCANCEL, caption.data(), kCaptionRoom);
  switch (CancelButtonActionFor(caption.data())) {
    case CancelButtonAction::kStop:
      RequestStop();
      break;
    case CancelButtonAction::kClose:
      EndDialog(dialog, 0);
      break;
    case CancelButtonAction::kNone:
      break;
  }
}

void OnCommand(HWND dialog, int command) {
  switch (command) {
    case IDM_SCAN_NETWORK:
      RequestNetworkScan();
      break;
    case IDM_STOP:
      RequestStop();
      break;
    case IDM_SELECT_ALL:
    case IDM_DESELECT_ALL:
      TickTwoLevels(NetworkTree(dialog), command == IDM_SELECT_ALL);
      break;
    case IDM_NET_EXPAND_ALL:
    case IDM_NET_COLLAPSE_ALL:
      ExpandOrCollapseTree(NetworkTree(dialog), command == IDM_NET_EXPAND_ALL);
      break;
    case IDCANCEL:
      OnCancelButton(dialog);
      break;
    case IDC_TAKE_SNAPSHOTS:
      StartCapture(dialog);
      break;
    case IDC_SAVE_AS_SCHEDULE:
      SaveTicksAsSchedule(dialog);
      break;
    default:
      break;
  }
}

void OnDestroy(HWND dialog) {
  DestroyTreeImageLists(NetworkTree(dialog));
  // An older dialog that becomes current again shows a tree the tables no longer point
  // into: it scans afresh, as if it had just opened.
  if (RemoveOpenTakeSnapshotsDialog(dialog)) RequestNetworkScan();
}

INT_PTR CALLBACK TakeSnapshotsMessages(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      break;
    case WM_CLOSE:
      // While a task runs the default handling's command 2 makes the stop request instead.
      if (GetActivityState() == kIdle) EndDialog(dialog, 0);
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header != nullptr && header->idFrom == IDC_NETWORK_TREE && header->code == NM_RCLICK) {
        ShowContextMenu(dialog, GetNetworkMenu());
      }
      break;
    }
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam));
      break;
    case WM_DESTROY:
      OnDestroy(dialog);
      break;
    default:
      HandleRunOnOwnerThread(message, wParam, lParam);
      break;
  }
  return 0;
}

}  // namespace

void ShowTakeSnapshotsDialog(HWND owner) {
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TAKE_SNAPSHOTS), owner,
                  TakeSnapshotsDialogProc, 0);
}

INT_PTR CALLBACK TakeSnapshotsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardedDialogProc<TakeSnapshotsMessages>(dialog, message, wParam, lParam);
}

}  // namespace mv
