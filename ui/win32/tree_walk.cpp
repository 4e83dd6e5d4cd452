// The two-level tree walk: see tree_walk.h.
#include "ui/win32/tree_walk.h"

#include "platform/view_ports.h"

namespace mv {
namespace {

HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation) {
  return reinterpret_cast<HTREEITEM>(
      SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

}  // namespace

void WalkTwoLevels(HWND tree, const std::function<void(HTREEITEM)>& action) {
  for (HTREEITEM item = Next(tree, nullptr, TVGN_FIRSTVISIBLE); item != nullptr;
       item = Next(tree, item, TVGN_NEXT)) {
    action(item);
    for (HTREEITEM child = Next(tree, item, TVGN_CHILD); child != nullptr;
         child = Next(tree, child, TVGN_NEXT)) {
      action(child);
    }
  }
}

void ExpandOrCollapseTree(HWND tree, bool expand) {
  const WPARAM how = expand ? TVE_EXPAND : TVE_COLLAPSE;
  WalkTwoLevels(tree, [&](HTREEITEM item) {
    SendMessageA(tree, TVM_EXPAND, how, reinterpret_cast<LPARAM>(item));
  });
}

void TickTwoLevels(HWND tree, bool ticked) {
  WalkTwoLevels(tree, [&](HTREEITEM item) {
    TVITEMA change{};
    change.mask = TVIF_STATE | TVIF_HANDLE;
    change.hItem = item;
    change.state = ticked ? kTreeStateTicked : kTreeStateUnticked;
    change.stateMask = kTreeStateImageMask;
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
  });
}

}  // namespace mv
