// The main window's snapshot side: the library tree, loading the selected snapshot, the
// detail part and the column sort.
#pragma once

#include "platform/view_ports.h"

namespace mv {

// Fills the snapshot tree from the snapshots directory.
void RebuildSnapshotTreeOfWindow();
// Removes a tree item and deletes the snapshot files it stands for.
void RemoveSnapshotItemOfWindow(TreeItem item);
// Loads the snapshot of the tree's selected item; group and computer items load nothing.
void OpenSelectedSnapshot();
// The detail part of the status bar after a change of file list row (-1: no row).
void ShowRowDetails(int row);
// A click on a column header of the file list.
void SortByColumnClick(int column);

}  // namespace mv
