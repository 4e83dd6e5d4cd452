// The two-level walk of a tree's "Expand all", "Collapse all", "Select all" and "Deselect
// all": the first visible item and its following siblings, each with its direct children.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>

namespace mv {

// Applies action to the first visible item, then to each of its children, then to the next
// sibling and its children, and so on. Deeper items and the siblings above the first
// visible item are not visited.
void WalkTwoLevels(HWND tree, const std::function<void(HTREEITEM)>& action);

// Expands (or collapses) the items WalkTwoLevels visits.
void ExpandOrCollapseTree(HWND tree, bool expand);

// Ticks (or unticks) the tick boxes of the items WalkTwoLevels visits; deeper items keep
// theirs.
void TickTwoLevels(HWND tree, bool ticked);

}  // namespace mv
