// Scheduled captures in the real main window over the sample network: a schedule made in
// the Schedules window runs at its time on a clock the test moves, and its snapshot joins the
// tree while the snapshot the user looks at stays selected and shown.
#include <atomic>
#include <fstream>
#include <iterator>
#include <mutex>

#include "gui_support.h"
#include "ui/win32/schedules_window.h"

namespace mv::gui {
namespace {

class MovedClock final : public Clock {
 public:
  LocalTime Now() override {
    std::lock_guard lock(mutex_);
    return now_;
  }
  void Set(const LocalTime& time) {
    std::lock_guard lock(mutex_);
    now_ = time;
  }
  std::string FormatDate(const LocalTime& time, std::string_view picture) override {
    return FormatPicture(time, picture);
  }
  std::string FormatTime(const LocalTime& time, std::string_view picture) override {
    return FormatPicture(time, picture);
  }

 private:
  std::mutex mutex_;
  LocalTime now_;
};

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class SchedulesWindowTest : public MainWindowTest {};

TEST_F(SchedulesWindowTest, AScheduleMadeInTheWindowRunsAtItsTimeIntoTheTreeKeepingTheSelection) {
  // The runner outlives the window: so does its clock.
  static MovedClock clock;
  clock.Set({2026, 12, 8, 1, 59, 0});
  folder_.Write("WORKGROUP.PC2.01.12.2026.09.00.00.mirvaul",
                SnapshotText("PC2", "WORKGROUP", "01.12.2026 09:00:00",
                             {{"Public", {"old.txt;;f;;10;;1.1.2020"}}}));
  const ScratchFolder config;
  const std::string schedules = config.path() + "\\schedules.ini";
  Open([&](MainWindowSetup& setup) {
    setup.schedulesPath = schedules;
    setup.scheduleClock = &clock;
    setup.scheduleLookMilliseconds = 100;
  });
  Select({"WORKGROUP", "PC2", "01.12.2026 09:00:00"});
  ListView_SetItemState(list_, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Command(IDM_OPEN);  // into the share: the user's place
  const std::vector<std::string> shown = Names();
  ASSERT_EQ(shown, (std::vector<std::string>{"..", "old"}));
  const std::string location = Location();

  Command(IDM_SCHEDULES);
  HWND window = OpenSchedulesWindow();
  ASSERT_NE(window, nullptr);
  {
    MessageBoxAnswerer form(window, IDOK, [](HWND box) {
      SetDlgItemTextA(box, IDC_SCHEDULE_NAME, "Nightly");
      SetDlgItemTextA(box, IDC_SCHEDULE_COMPUTERS, "PC1");
      SetDlgItemTextA(box, IDC_SCHEDULE_TIME, "02:00");
    });
    SendMessageW(window, WM_COMMAND, IDC_SCHEDULE_NEW, 0);
    ASSERT_TRUE(form.Finish());
    EXPECT_EQ(form.caption, "Schedule");
  }
  HWND list = GetDlgItem(window, IDC_SCHEDULE_LIST);
  EXPECT_EQ(ListCellText(list, 0, 0), "Nightly");
  EXPECT_EQ(ListCellText(list, 0, 2), "daily 02:00");
  EXPECT_NE(FileText(schedules).find("[Nightly]\ncomputer=PC1\nwhen=daily 02:00"),
            std::string::npos);
  // Its first look marks it seen at 01:59; then the clock passes its time.
  const std::string runs = config.path() + "\\schedule-runs.ini";
  ASSERT_TRUE(WaitUntil([&] { return FileText(runs).find("seen=") != std::string::npos; }));
  EXPECT_EQ(ListCellText(list, 0, 3), "never");
  clock.Set({2026, 12, 8, 2, 0, 30});

  ASSERT_TRUE(WaitUntil([&] {
    return FindTreeItem(tree_, {"WORKGROUP", "PC1", "08.12.2026 02:00:30"}) != nullptr;
  })) << FileText(runs);
  EXPECT_TRUE(folder_.Exists("WORKGROUP.PC1.08.12.2026.02.00.30.mirvaul"));
  WaitUntil([&] { return ListCellText(list, 0, 4).rfind("ok", 0) == 0; }, 10);
  EXPECT_EQ(ListCellText(list, 0, 4), "ok: 1 snapshot");
  EXPECT_EQ(ListCellText(GetDlgItem(window, IDC_SCHEDULE_RUNS), 0, 2), "ok");
  // The user's snapshot, folder and rows are as they were.
  const auto selected =
      reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
  EXPECT_EQ(selected, FindTreeItem(tree_, {"WORKGROUP", "PC2", "01.12.2026 09:00:00"}));
  EXPECT_EQ(Names(), shown);
  EXPECT_EQ(Location(), location);
  DestroyWindow(window);
}

}  // namespace
}  // namespace mv::gui
