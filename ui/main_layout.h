// Where the main window's controls go: the layout after a resize and the splitter's drag
// limits, as plain arithmetic on rectangles so that it is tested without a window.
#pragma once

namespace mv {

// A rectangle in pixels; right and bottom are exclusive, as the platform keeps them.
struct LayoutRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

// The controls' current rectangles in client coordinates, and the client area.
struct MainLayoutInput {
  int clientWidth = 0;
  int clientHeight = 0;
  int statusBarHeight = 0;
  LayoutRect splitter;
  LayoutRect tree;
  LayoutRect locationLabel;
  LayoutRect location;
  LayoutRect fileList;
};

struct MainLayout {
  LayoutRect tree;
  LayoutRect locationLabel;
  LayoutRect location;
  LayoutRect fileList;
  LayoutRect splitter;
};

// The splitter bar's height while laid out: taller than any screen, so it always reaches
// the bottom edge.
inline constexpr int kSplitterBarHeight = 65535;
inline constexpr int kSplitterBarWidth = 3;
// How close to the window's left and right edges the splitter may be dragged.
inline constexpr int kSplitterMinLeft = 200;
inline constexpr int kSplitterMinRight = 250;
// The gap between the tree and the bar, and between the bar and the right-hand controls.
inline constexpr int kTreeGap = 4;
inline constexpr int kRightGap = 2;

// Only the splitter bar decides the split: the tree ends kTreeGap left of it, the
// right-hand controls start kRightGap right of it and fill the width; the tree and the
// file list fill the height above the status bar. Sizes never go below zero, and no
// control but the bar (which is hidden and keeps the split) reaches past the client
// area's right edge, however small the window or wherever the bar stands.
MainLayout ComputeMainLayout(const MainLayoutInput& input);

// The screen rectangle the cursor is held in during a drag, from the window's screen
// rectangle.
LayoutRect SplitterDragClip(const LayoutRect& windowOnScreen);

// A press over the bar starts a drag only with the left button alone: no other button and
// neither Shift nor Ctrl (the mouse message's key flags equal MK_LBUTTON).
bool StartsSplitterDrag(unsigned keyFlags);

// The cursor's screen x held within the drag limits of a window at windowOnScreen. The
// cursor clip keeps it there too, but the clip is lost whenever another window takes the
// foreground, so the drag never relies on it.
int ClampToSplitterLimits(int cursorScreenX, const LayoutRect& windowOnScreen);

// The bar's rectangle while dragged, from the cursor's client x position.
LayoutRect DraggedSplitterRect(int cursorClientX);

}  // namespace mv
