// Layout arithmetic of the main window: see main_layout.h.
#include "ui/main_layout.h"

#include <algorithm>

namespace mv {
namespace {

constexpr unsigned kLeftButtonOnly = 0x0001;  // MK_LBUTTON

LayoutRect Sized(int left, int top, int width, int height) {
  return LayoutRect{left, top, left + std::max(0, width), top + std::max(0, height)};
}

// The rectangle with its horizontal edges pulled inside [0, width].
LayoutRect Inside(LayoutRect r, int width) {
  const int edge = std::max(0, width);
  r.left = std::clamp(r.left, 0, edge);
  r.right = std::clamp(r.right, r.left, edge);
  return r;
}

}  // namespace

MainLayout ComputeMainLayout(const MainLayoutInput& in) {
  const int height = in.clientHeight - in.statusBarHeight;
  const int rightLeft = in.splitter.right + kRightGap;
  const int rightWidth = in.clientWidth - rightLeft;
  MainLayout out;
  const int w = in.clientWidth;
  out.fileList = Inside(Sized(rightLeft, in.fileList.top, rightWidth, height - in.fileList.top), w);
  out.location = Inside(Sized(rightLeft, in.location.top, rightWidth, in.location.Height()), w);
  out.locationLabel =
      Inside(Sized(rightLeft, in.locationLabel.top, rightWidth, in.locationLabel.Height()), w);
  out.tree = Inside(
      Sized(in.tree.left, in.tree.top, in.splitter.left - kTreeGap, height - in.tree.top), w);
  out.splitter = Sized(in.splitter.left, 0, in.splitter.Width(), kSplitterBarHeight);
  return out;
}

LayoutRect SplitterDragClip(const LayoutRect& windowOnScreen) {
  return LayoutRect{windowOnScreen.left + kSplitterMinLeft, windowOnScreen.top,
                    windowOnScreen.right - kSplitterMinRight, windowOnScreen.bottom};
}

bool StartsSplitterDrag(unsigned keyFlags) {
  return keyFlags == kLeftButtonOnly;
}

int ClampToSplitterLimits(int cursorScreenX, const LayoutRect& windowOnScreen) {
  // The clip's right edge is exclusive, as the cursor's is; a window too narrow for both
  // limits holds the bar at the left one.
  const LayoutRect clip = SplitterDragClip(windowOnScreen);
  return std::max(clip.left, std::min(cursorScreenX, clip.right - 1));
}

LayoutRect DraggedSplitterRect(int cursorClientX) {
  return Sized(cursorClientX, 0, kSplitterBarWidth, kSplitterBarHeight);
}

}  // namespace mv
