// Controls that follow a resizable window's size: each keeps its distance to the edges it is
// anchored to, moving or growing with the right or bottom edge.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

namespace mv {

// How a control follows the window's size: its left/top edges and right/bottom edges move
// with the right or bottom edge of the window, or stay.
struct Anchor {
  int id;
  bool moveX, moveY, growX, growY;
};

class AnchoredLayout {
 public:
  // At the window's creation, laid out as its template says: the controls' places, and two
  // thirds of the window's size as the least it may be sized to.
  void Remember(HWND window, std::span<const Anchor> anchors);
  // WM_SIZE: the client area's new size.
  void Apply(int width, int height) const;
  POINT minimum() const { return minimum_; }

 private:
  HWND window_ = nullptr;
  std::vector<Anchor> anchors_;
  std::vector<RECT> startRects_;
  SIZE startSize_{};
  POINT minimum_{};
};

}  // namespace mv
