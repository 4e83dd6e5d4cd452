// The main window's layout arithmetic and splitter limits, without a window.
#include <gtest/gtest.h>

#include "ui/main_layout.h"

namespace mv {
namespace {

MainLayoutInput Dialog(int width, int height, int splitterLeft) {
  MainLayoutInput in;
  in.clientWidth = width;
  in.clientHeight = height;
  in.statusBarHeight = 22;
  in.splitter = {splitterLeft, 0, splitterLeft + 3, 300};
  in.tree = {2, 16, 200, 300};
  in.locationLabel = {222, 0, 300, 13};
  in.location = {222, 16, 600, 36};
  in.fileList = {222, 41, 600, 300};
  return in;
}

TEST(MainLayout, SplitterAloneDecidesTheSplit) {
  const MainLayout out = ComputeMainLayout(Dialog(900, 500, 300));
  EXPECT_EQ(out.tree, (LayoutRect{2, 16, 298, 478}));        // width = bar left - 4
  EXPECT_EQ(out.fileList, (LayoutRect{305, 41, 900, 478}));  // bar right + 2 to the edge
  EXPECT_EQ(out.location, (LayoutRect{305, 16, 900, 36}));   // height kept
  EXPECT_EQ(out.locationLabel, (LayoutRect{305, 0, 900, 13}));
  EXPECT_EQ(out.splitter, (LayoutRect{300, 0, 303, kSplitterBarHeight}));
}

TEST(MainLayout, TinyWindowGivesEmptyRectanglesNotNegativeOnes) {
  const MainLayout out = ComputeMainLayout(Dialog(250, 30, 300));
  EXPECT_EQ(out.fileList.Width(), 0);
  EXPECT_EQ(out.fileList.Height(), 0);
  EXPECT_EQ(out.tree.Height(), 0);
  EXPECT_EQ(out.location.Width(), 0);
  const MainLayout narrow = ComputeMainLayout(Dialog(900, 500, 1));
  EXPECT_EQ(narrow.tree.Width(), 0);
  // A bar at or past the right edge leaves every other control inside the client area.
  for (int bar : {989, 991, 1200}) {
    const MainLayout wide = ComputeMainLayout(Dialog(992, 500, bar));
    for (const LayoutRect& r : {wide.fileList, wide.location, wide.locationLabel, wide.tree}) {
      EXPECT_LE(r.right, 992) << bar;
      EXPECT_LE(r.left, r.right) << bar;
    }
  }
}

TEST(MainLayout, DragIsHeldBetweenTheLimitsAndStartsOnlyWithTheLeftButtonAlone) {
  EXPECT_EQ(SplitterDragClip({100, 50, 1100, 650}), (LayoutRect{300, 50, 850, 650}));
  EXPECT_TRUE(StartsSplitterDrag(0x0001));                            // MK_LBUTTON
  for (const unsigned keys : {0x0005u, 0x0009u, 0x0003u, 0x0000u}) {  // Shift, Ctrl, right, none
    EXPECT_FALSE(StartsSplitterDrag(keys)) << keys;
  }
  EXPECT_EQ(DraggedSplitterRect(420), (LayoutRect{420, 0, 423, kSplitterBarHeight}));
  // Without the cursor clip the bar is still held inside the same limits.
  const LayoutRect window{100, 50, 1100, 650};
  EXPECT_EQ(ClampToSplitterLimits(120, window), 300);
  EXPECT_EQ(ClampToSplitterLimits(500, window), 500);
  EXPECT_EQ(ClampToSplitterLimits(1095, window), 849);
  EXPECT_EQ(ClampToSplitterLimits(500, {0, 0, 300, 200}), 200);  // too narrow: the left limit
}

}  // namespace
}  // namespace mv
