// The detail part of the status bar: what it says about the loaded snapshot and about the
// selected file list row.
#pragma once

#include <string>

namespace mv {

// "Snapshot Created: %s" with the loaded snapshot's created text.
std::string SnapshotCreatedText(const std::string& created);

// The row's Name, then " Type: ", " Size: " and " Created: " with each cell that is not
// empty, in that order.
std::string RowDetailsText(const std::string& name, const std::string& type,
                           const std::string& size, const std::string& created);

}  // namespace mv
