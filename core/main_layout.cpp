// Layout arithmetic of the main window: see main_layout.h.
#include "core/main_layout.h"

#include <algorithm>

namespace mv {
namespace {

constexpr unsigned kLeftButtonOnly = 0x0001;  // MK_LBUTTON

LayoutRect Sized(int left, int top, int width, int height) {
  return LayoutRect{left, top, left + std::max(0, width), top + std::max(0, height)};
}

}  // namespace

MainLayout ComputeMainLayout(const MainLayoutInput& in) {
  const int height = in.clientHeight - in.statusBarHeight;
  const int rightLeft = in.splitter.right + kRightGap;
  const int rightWidth = in.clientWidth - rightLeft;
  MainLayout out;
  out.fileList = Sized(rightLeft, in.fileList.top, rightWidth, height - in.fileList.top);
  out.location = Sized(rightLeft, in.location.top, rightWidth, in.location.Height());
  out.locationLabel = Sized(rightLeft, in.locationLabel.top, rightWidth, in.locationLabel.Height());
  out.tree = Sized(in.tree.left, in.tree.top, in.splitter.left - kTreeGap, height - in.tree.top);
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

LayoutRect DraggedSplitterRect(int cursorClientX) {
  return Sized(cursorClientX, 0, kSplitterBarWidth, kSplitterBarHeight);
}

}  // namespace mv
