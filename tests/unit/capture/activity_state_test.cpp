// The activity state and what it switches on screen, seen through a recording view.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/activity_state.h"
#include "capture/take_snapshots.h"

namespace mv {
namespace {

// Records every screen change as one line of text, in call order.
class RecordingView : public ActivityView {
 public:
  void SetStatusText(int part, const std::string& text) override {
    calls.push_back("status " + std::to_string(part) + " " + text);
    if (onStatus) onStatus();
  }
  void EnableTakeSnapshotsButton(bool enabled) override {
    calls.push_back(std::string("button ") + (enabled ? "enabled" : "disabled"));
  }
  void SetCancelButtonCaption(const std::string& caption) override {
    calls.push_back("caption " + caption);
  }
  void EnableMenuCommand(int command, bool enabled) override {
    calls.push_back("menu " + std::to_string(command) + (enabled ? " enabled" : " greyed"));
  }
  std::vector<std::string> Take() { return std::exchange(calls, {}); }

  std::vector<std::string> calls;
  void (*onStatus)() = nullptr;
};

const std::vector<std::string> kIdleScreen = {"status 0 Mirrorvault 1.0", "button enabled",
                                              "caption Cancel", "menu 40014 enabled",
                                              "menu 40015 greyed"};

std::vector<std::string> BusyScreen(const std::string& status) {
  return {"status 0 " + status, "button disabled", "caption Stop", "menu 40014 greyed",
          "menu 40015 enabled"};
}

class ActivityStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetActivityView(&view);
    SetActivityState(kIdle);
    view.Take();
  }
  void TearDown() override {
    SetActivityState(kIdle);
    SetActivityView(nullptr);
  }
  RecordingView view;
};

// A stop shows the task's stop text only and idles at once; the last worker restores the
// controls when it has wound down.
TEST_F(ActivityStateTest, EachStateSwitchesTheScreenAStopOnlyItsTextAndOnlyOnce) {
  EXPECT_EQ(SetActivityState(kIdle), 0);
  EXPECT_EQ(view.Take(), kIdleScreen);
  for (const auto& [state, status] : {std::pair{kScanning, "Scanning Network..."},
                                      std::pair{kCapturing, "Taking Snapshots..."}}) {
    EXPECT_EQ(SetActivityState(state), 0);
    EXPECT_EQ(view.Take(), BusyScreen(status));
    EXPECT_EQ(GetActivityState(), state);
    SetActivityState(state);  // every worker asks for it again: the screen stays the same
    EXPECT_EQ(view.Take(), BusyScreen(status));
    EXPECT_EQ(SetActivityState(kStopRequest), 0);
    EXPECT_EQ(view.Take(), std::vector<std::string>{std::string("status 0 Stop ") + status});
    EXPECT_EQ(GetActivityState(), kIdle);
    SetActivityState(kIdle);
    EXPECT_EQ(view.Take(), kIdleScreen);
  }

  // A second stop while the task winds down, or a value that is no request, changes nothing.
  SetActivityState(kScanning);
  SetActivityState(kStopRequest);
  view.Take();
  for (const std::int32_t request : {kStopRequest, 12345}) {
    SetActivityState(request);
    EXPECT_TRUE(view.Take().empty());
    EXPECT_EQ(GetActivityState(), kIdle);
  }
  EXPECT_EQ(SetStatusText(1, "12 objects"), 0);
  EXPECT_EQ(view.Take(), std::vector<std::string>{"status 1 12 objects"});
  SetActivityView(nullptr);
  EXPECT_EQ(SetStatusText(0, "nobody sees this"), 0);  // no view: only the state matters
  EXPECT_EQ(SetActivityState(kScanning), 0);
  EXPECT_EQ(GetActivityState(), kScanning);
}

TEST_F(ActivityStateTest, StopArrivingWhileTheScreenFollowsIsNotLost) {
  view.onStatus = [] {
    if (GetActivityState() == kCapturing) SetActivityState(kStopRequest);
  };
  SetActivityState(kCapturing);
  view.onStatus = nullptr;
  EXPECT_EQ(GetActivityState(), kIdle);
  const std::vector<std::string> calls = view.Take();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[1], "status 0 Stop Taking Snapshots...");
}

TEST(CancelButton, ItsCaptionDecidesBetweenStopAndCloseIgnoringCase) {
  for (const char* stop : {"Stop", "STOP"})
    EXPECT_EQ(CancelButtonActionFor(stop), CancelButtonAction::kStop);
  for (const char* close : {"Cancel", "cancel"})
    EXPECT_EQ(CancelButtonActionFor(close), CancelButtonAction::kClose);
  for (const char* other : {"Stop ", "", "Cancelled"})
    EXPECT_EQ(CancelButtonActionFor(other), CancelButtonAction::kNone);
}

}  // namespace
}  // namespace mv
