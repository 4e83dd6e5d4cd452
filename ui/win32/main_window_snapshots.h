// The main window's snapshot side: the library tree, loading the selected snapshot, the
// detail part and the column sort.
#pragma once

#include <string>
#include <string_view>

#include "platform/view_ports.h"

namespace mv {

// Fills the snapshot tree from the snapshots directory.
void RebuildSnapshotTreeOfWindow();
// The same after new snapshots came (a scheduled run): the groups and computers expanded stay
// expanded, the item selected stays selected, and the snapshot shown stays as it is.
void RefreshSnapshotTreeKeepingSelection();
// Removes a tree item and deletes the snapshot files it stands for.
void RemoveSnapshotItemOfWindow(TreeItem item);
// Loads the snapshot of the tree's selected item; group and computer items load nothing.
void OpenSelectedSnapshot();
// Shows the snapshot file snapshotPath (as the library lists it) in the main window: selects
// its tree item (the tree is rebuilt once when it has none), loads it, lists folderLocation
// (a share and its directories: "Docs\Sub"; empty for the share list) and selects, focuses
// and scrolls to the row of the entry named rowName (its whole name), then brings the window
// to the front. False, with the window as far as it got, when the snapshot is not in the
// library or cannot be loaded, or the folder or the row is not in it.
bool OpenSnapshotAtEntry(const std::string& snapshotPath, std::string_view folderLocation,
                         std::string_view rowName);
// The detail part of the status bar after a change of file list row (-1: no row).
void ShowRowDetails(int row);
// A click on a column header of the file list.
void SortByColumnClick(int column);

}  // namespace mv
