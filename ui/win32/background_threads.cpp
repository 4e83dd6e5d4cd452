// Starting the capture workers and the scan thread, and the open Take Snapshots dialogs
// they address: see background_threads.h.
#include "ui/win32/background_threads.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "capture/activity_state.h"
#include "capture/take_snapshots.h"
#include "res/resource_ids.h"
#include "ui/win32/main_window.h"
#include "ui/win32/owner_thread.h"
#include "ui/win32/win32_notice_port.h"
#include "ui/win32/win32_tree_port.h"

namespace mv {
namespace {

std::mutex gDialogsMutex;
std::vector<HWND> gOpenDialogs;  // oldest first

HWND CurrentDialog() {
  std::lock_guard lock(gDialogsMutex);
  return gOpenDialogs.empty() ? nullptr : gOpenDialogs.back();
}

// The network tree of the current dialog, reached on the dialog's thread.
class OpenDialogTreePort final : public TreePort {
 public:
  TreeItem InsertItem(const TreeInsertRequest& request) override {
    TreeItem item = kNoTreeItem;
    RunOnTakeSnapshotsDialog([&](HWND dialog) { item = Tree(dialog).InsertItem(request); });
    return item;
  }
  void DeleteItem(TreeItem item) override {
    RunOnTakeSnapshotsDialog([&](HWND dialog) { Tree(dialog).DeleteItem(item); });
  }
  void DeleteAllItems() override {
    RunOnTakeSnapshotsDialog([&](HWND dialog) { Tree(dialog).DeleteAllItems(); });
  }
  std::uint32_t GetItemState(TreeItem item) override {
    std::uint32_t state = 0;
    RunOnTakeSnapshotsDialog([&](HWND dialog) { state = Tree(dialog).GetItemState(item); });
    return state;
  }

 private:
  static Win32TreePort Tree(HWND dialog) {
    return Win32TreePort(GetDlgItem(dialog, IDC_NETWORK_TREE));
  }
};

class OpenDialogNotices final : public NoticePort {
 public:
  MessageAnswer ShowMessage(const std::string& text, MessageKind kind) override {
    HWND owner = CurrentDialog();
    return Win32NoticePort(owner != nullptr ? owner : GetMainWindow()).ShowMessage(text, kind);
  }
  void SetStatusText(int part, const std::string& text) override { mv::SetStatusText(part, text); }
};

}  // namespace

void AddOpenTakeSnapshotsDialog(HWND dialog) {
  std::lock_guard lock(gDialogsMutex);
  gOpenDialogs.push_back(dialog);
}

bool RemoveOpenTakeSnapshotsDialog(HWND dialog) {
  std::lock_guard lock(gDialogsMutex);
  const bool wasCurrent = !gOpenDialogs.empty() && gOpenDialogs.back() == dialog;
  gOpenDialogs.erase(std::remove(gOpenDialogs.begin(), gOpenDialogs.end(), dialog),
                     gOpenDialogs.end());
  return wasCurrent && !gOpenDialogs.empty();
}

bool RunOnTakeSnapshotsDialog(const std::function<void(HWND dialog)>& work) {
  HWND dialog = CurrentDialog();
  if (dialog == nullptr) return false;
  bool ran = false;
  // A dialog leaves the list on its own thread, so on that thread "still current" also
  // means "not destroyed". A request to a dialog destroyed meanwhile is not delivered.
  RunOnOwnerThread(dialog, [&] {
    if (CurrentDialog() != dialog) return;
    work(dialog);
    ran = true;
  });
  return ran;
}

TreePort& NetworkTreePort() {
  static OpenDialogTreePort port;
  return port;
}

NoticePort& NetworkNotices() {
  static OpenDialogNotices notices;
  return notices;
}

void StartBackgroundThreads() {
  // Does nothing after the first call.
  StartBackgroundTasks(NetworkTreePort(), NetworkNotices());
}

}  // namespace mv
