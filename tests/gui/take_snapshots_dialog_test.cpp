// The Take Snapshots dialog over the sample network provider: opened with the main window's
// command 40006 on this thread (its modal loop runs here), driven from a helper thread the
// way the user's clicks would, and read back from its controls.
#include <filesystem>
#include <functional>
#include <set>

#include "gui_support.h"

#include <unknwn.h>
#include "ui/win32/background_threads.h"
#include "ui/win32/owner_thread.h"

namespace mv::gui {
namespace {

constexpr char kPreviousTaskEnding[] =
    "The previous task is still ending. Please try again in a moment.";

class TakeSnapshotsDialogTest : public MainWindowTest {
 protected:
  void SetUp() override { Open(); }

  // Opens the dialog with command 40006 and plays script against it from a helper thread;
  // the dialog is closed afterwards if the script left it open.
  void WithDialog(const std::function<void()>& script) {
    std::thread helper([&] {
      ASSERT_TRUE(WaitUntil([&] { return (dialog_ = OwnedBox(window_, "Take Snapshots")); }));
      network_ = GetDlgItem(dialog_, IDC_NETWORK_TREE);
      script();
      // A script that failed half-way may leave a task running or a message box open.
      while (IsWindow(dialog_)) {
        if (HWND box = OwnedWindow(dialog_)) PostMessageA(box, WM_COMMAND, IDOK, 0);
        PostMessageA(dialog_, WM_COMMAND, Idle() ? IDCANCEL : IDM_STOP, 0);
        Sleep(50);
      }
    });
    Command(IDM_TAKE_SNAPSHOT);
    helper.join();
  }

  std::string Caption() { return WholeWindowText(GetDlgItem(dialog_, IDCANCEL)); }
  bool TakeEnabled() { return IsWindowEnabled(GetDlgItem(dialog_, IDC_TAKE_SNAPSHOTS)) != FALSE; }
  bool Idle() { return !LongTaskGate().Busy() && Caption() == "Cancel" && TakeEnabled(); }
  void Send(int command) { SendMessageA(dialog_, WM_COMMAND, static_cast<WPARAM>(command), 0); }

  // What the user sees of the task: status text, button captions and states, menu items.
  std::string Screen() {
    HMENU menu = GetNetworkMenu();
    return Status(0) + " | " + Caption() + (TakeEnabled() ? " | take" : " | no take") +
           (MenuItemGrey(menu, IDM_SCAN_NETWORK) ? " | no scan" : " | scan") +
           (MenuItemGrey(menu, IDM_STOP) ? " | no stop" : " | stop");
  }

  // On the dialog's thread: serves the tasks' requests until ready() holds, then does what
  // act does and reads the screen. Nothing peeks in between: every PeekMessage serves the
  // requests a task has sent, and one of those could change the screen before it is read.
  std::string ScreenAfter(const std::function<bool()>& ready, const std::function<void()>& act) {
    std::string seen;
    RunOnOwnerThread(dialog_, [&] {
      const DWORD start = GetTickCount();
      MSG msg;
      while (!ready() && GetTickCount() - start < 60000) {
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        Sleep(1);
      }
      act();
      seen = Screen();
    });
    return seen;
  }
  // True once bytes reach a snapshot file: the writer's buffer fills only in the walk of
  // \\SERVER\Backup, which takes seconds and notices a stop only after the share.
  bool WritingTheSlowShare() {
    for (const auto& file : std::filesystem::directory_iterator(folder_.path())) {
      std::error_code error;
      if (file.file_size(error) > 0 && !error) return true;
    }
    return false;
  }

  // The close box: its default handling posts command 2, run here. Requests served while
  // fetching it come before the command, so they cannot undo what it shows.
  void CloseBox() {
    SendMessageA(dialog_, WM_CLOSE, 0, 0);
    MSG msg;
    if (PeekMessageA(&msg, dialog_, WM_COMMAND, WM_COMMAND, PM_REMOVE)) DispatchMessageA(&msg);
  }
  // The tree as lines of text, each with its tick box: "  PC1 [x]".
  std::vector<std::string> Ticks() {
    return TreeLines(network_, [&](HTREEITEM item) {
      return TreeView_GetCheckState(network_, item) == 1 ? " [x]" : " [ ]";
    });
  }

  void Tick(const std::vector<std::string>& path) {
    TreeView_SetCheckState(network_, FindTreeItem(network_, path), TRUE);
  }

  // Presses "Take Snapshots" and answers the boxes it leads to; their texts, sorted.
  std::multiset<std::string> TakeSnapshotsAndAnswer(int boxes) {
    std::multiset<std::string> texts;
    PostMessageA(dialog_, WM_COMMAND, IDC_TAKE_SNAPSHOTS, 0);
    for (int box = 0; box < boxes; ++box) {
      // A message that comes while no dialog is open belongs to the main window.
      HWND owner = nullptr;
      EXPECT_TRUE(WaitUntil([&] {
        return OwnedWindow(owner = dialog_) != nullptr || OwnedWindow(owner = window_) != nullptr;
      }));
      MessageBoxAnswerer answer(owner, IDOK);
      EXPECT_TRUE(answer.Finish());
      EXPECT_EQ(answer.caption, "Mirrorvault");
      texts.insert(answer.text);
    }
    return texts;
  }

  // A message box of owner on screen, else null.
  static HWND OwnedWindow(HWND owner) { return OwnedBox(owner, "Mirrorvault"); }

  HWND dialog_ = nullptr;
  HWND network_ = nullptr;
};

constexpr char kScanning[] = "Scanning Network... | Stop | no take | no scan | stop";
constexpr char kIdle[] = "Mirrorvault 1.0 | Cancel | take | scan | no stop";

const std::vector<std::string> kSampleNetworkTicked = {
    "WORKGROUP [x]",  "  PC1 [x]",  "    Docs [x]", "    Music [x]",    "  PC2 [x]",
    "    Public [x]", "OFFICE [x]", "  SERVER [x]", "    Projects [x]", "    Backup [x]"};

TEST_F(TakeSnapshotsDialogTest,
       EachOpeningScansAfreshAndOnlyTickedComputersUnderTickedGroupsAreCaptured) {
  IUnknown* tickImages = nullptr;  // the first opening's, with a reference of the test's own
  for (int opening = 0; opening < 2; ++opening) {
    WithDialog([&] {
      EXPECT_EQ(ScreenAfter([&] { return Screen() == kScanning; }, [] {}), kScanning);
      ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
      EXPECT_EQ(Screen(), kIdle);
      // The first opening's unticking is undone by the second opening's scan. Without the
      // network nothing below can be ticked or read.
      ASSERT_EQ(Ticks(), kSampleNetworkTicked);
      EXPECT_EQ(ImageList_GetImageCount(TreeView_GetImageList(network_, TVSIL_NORMAL)), 3);
      Send(IDM_DESELECT_ALL);
      if (opening == 0) {
        // Not in the import library: looked up in the loaded common controls.
        using QueryImageList = HRESULT(WINAPI*)(HIMAGELIST, REFIID, void**);
        const auto query = reinterpret_cast<QueryImageList>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("comctl32.dll"), "HIMAGELIST_QueryInterface")));
        ASSERT_NE(query, nullptr);
        EXPECT_EQ(query(TreeView_GetImageList(network_, TVSIL_STATE), __uuidof(IUnknown),
                        reinterpret_cast<void**>(&tickImages)),
                  S_OK);
        return;
      }
      Tick({"WORKGROUP"});
      Tick({"WORKGROUP", "PC1"});
      Tick({"OFFICE", "SERVER"});             // its group stays unticked
      EXPECT_EQ(Ticks()[2], "    Docs [x]");  // shares keep their ticks
      EXPECT_EQ(TakeSnapshotsAndAnswer(1),
                std::multiset<std::string>{"Snapshots successfully created."});
      ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
      Sleep(300);
      EXPECT_EQ(OwnedWindow(dialog_), nullptr);  // one end message per job
    });
  }
  // The closed dialog destroyed the tick boxes' image list: the test's reference was the last.
  ASSERT_NE(tickImages, nullptr);
  EXPECT_EQ(tickImages->Release(), 0u);
  std::vector<std::string> files;
  for (const auto& file : std::filesystem::directory_iterator(folder_.path())) {
    files.push_back(file.path().filename().string());
  }
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].rfind("WORKGROUP.PC1.", 0), 0u) << files[0];
  // The main window lists the new snapshot once the dialog has closed.
  EXPECT_EQ(TreeLines(tree_).size(), 3u);
  EXPECT_NE(FindTreeItem(tree_, {"WORKGROUP", "PC1"}), nullptr);
}

TEST_F(TakeSnapshotsDialogTest, AStoppedCaptureDeletesItsFileAndHoldsBackTheNextStartVisibly) {
  WithDialog([&] {
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    Send(IDM_DESELECT_ALL);
    Tick({"OFFICE"});
    Tick({"OFFICE", "SERVER"});  // \\SERVER\Backup takes seconds to walk
    Send(IDC_TAKE_SNAPSHOTS);
    // The stop shows at once; the controls wait for the job's last worker.
    EXPECT_EQ(ScreenAfter([&] { return WritingTheSlowShare(); }, [&] { Send(IDM_STOP); }),
              "Stop Taking Snapshots... | Stop | no take | no scan | stop");
    // The state is idle at once, so the close box closes although the worker still walks.
    SendMessageA(dialog_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog_); }));
  });
  WithDialog([&] {
    // The new scan waits for the stopped capture; a capture cannot start either. The
    // straggler ends with its message, once.
    EXPECT_EQ(TakeSnapshotsAndAnswer(2),
              (std::multiset<std::string>{kPreviousTaskEnding, "Snapshots successfully created."}));
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_EQ(Screen(), kIdle);
    EXPECT_EQ(Ticks(), kSampleNetworkTicked);
  });
  EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));  // the stopped file is gone
}

TEST_F(TakeSnapshotsDialogTest, EscAndTheCloseBoxStopAScanAndCloseOnlyAnIdleDialog) {
  WithDialog([&] {
    const std::string stopping = "Stop Scanning Network... | Stop | no take | no scan | stop";
    // The dialog's loop hands Esc to IsDialogMessage, which turns it into command 2.
    EXPECT_EQ(ScreenAfter([&] { return Screen() == kScanning; },
                          [&] {
                            MSG escape{dialog_, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
                            IsDialogMessageA(dialog_, &escape);
                          }),
              stopping);
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_TRUE(IsWindow(dialog_));
    Send(IDM_SCAN_NETWORK);
    EXPECT_EQ(ScreenAfter([&] { return Screen() == kScanning; }, [&] { CloseBox(); }), stopping);
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_TRUE(IsWindow(dialog_));
    SendMessageA(dialog_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog_); }));
  });
}

TEST_F(TakeSnapshotsDialogTest, SelectAllStartsAtTheFirstVisibleItem) {
  WithDialog([&] {
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    Send(IDM_NET_EXPAND_ALL);
    Send(IDM_DESELECT_ALL);
    // A tree three rows high, scrolled so that PC2 is its first visible row.
    SetWindowPos(network_, nullptr, 0, 0, 200, 3 * TreeView_GetItemHeight(network_) + 4,
                 SWP_NOMOVE | SWP_NOZORDER);
    HTREEITEM pc2 = FindTreeItem(network_, {"WORKGROUP", "PC2"});
    SendMessageA(network_, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(pc2));
    ASSERT_EQ(TreeView_GetFirstVisible(network_), pc2);
    Send(IDM_SELECT_ALL);
    EXPECT_EQ(Ticks(), (std::vector<std::string>{"WORKGROUP [ ]", "  PC1 [ ]", "    Docs [x]",
                                                 "    Music [x]", "  PC2 [x]", "    Public [x]",
                                                 "OFFICE [ ]", "  SERVER [ ]", "    Projects [x]",
                                                 "    Backup [x]"}));
  });
}

}  // namespace
}  // namespace mv::gui
