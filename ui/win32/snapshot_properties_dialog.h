// The Snapshot Properties dialog (resource 113): what the loaded snapshot holds.
#pragma once

#include <windows.h>

#include "ui/snapshot_properties.h"

namespace mv {

// Shows the texts (ui/snapshot_properties.h order, UTF-8) modally, owned by owner, until OK, Esc
// or the close box.
void ShowSnapshotPropertiesDialog(HWND owner,
                                  const std::array<std::string, kSnapshotPropertyCount>& texts);

}  // namespace mv
