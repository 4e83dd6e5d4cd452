// Anchored controls: see anchored_layout.h.
#include "ui/win32/anchored_layout.h"

#include <algorithm>

namespace mv {

void AnchoredLayout::Remember(HWND window, std::span<const Anchor> anchors) {
  window_ = window;
  anchors_.assign(anchors.begin(), anchors.end());
  startRects_.assign(anchors.size(), RECT{});
  RECT client{};
  GetClientRect(window, &client);
  startSize_ = {client.right, client.bottom};
  for (std::size_t i = 0; i < anchors_.size(); ++i) {
    GetWindowRect(GetDlgItem(window, anchors_[i].id), &startRects_[i]);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&startRects_[i]), 2);
  }
  RECT frame{};
  GetWindowRect(window, &frame);
  minimum_ = {(frame.right - frame.left) * 2 / 3, (frame.bottom - frame.top) * 2 / 3};
}

void AnchoredLayout::Apply(int width, int height) const {
  const int dx = width - startSize_.cx;
  const int dy = height - startSize_.cy;
  for (std::size_t i = 0; i < anchors_.size(); ++i) {
    const Anchor& anchor = anchors_[i];
    const RECT& r = startRects_[i];
    const int x = r.left + (anchor.moveX ? dx : 0);
    const int y = r.top + (anchor.moveY ? dy : 0);
    const int w = r.right - r.left + (anchor.growX ? dx : 0);
    const int h = r.bottom - r.top + (anchor.growY ? dy : 0);
    SetWindowPos(GetDlgItem(window_, anchor.id), nullptr, x, y, std::max(w, 0), std::max(h, 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(window_, nullptr, TRUE);
}

}  // namespace mv
