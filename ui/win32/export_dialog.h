// Export...: a snapshot's entries written as CSV, EFU, JSON Lines or a web page, through the
// same call as the command line's export, with a progress window that can cancel it.
#pragma once

#include <windows.h>

#include <string>

#include "query/snapshot_export.h"

namespace mv {

// Asks for the file and its format with the save dialog, then exports the snapshot at
// snapshotPath (UTF-8) into it.
void ShowExportDialog(HWND owner, const std::string& snapshotPath);

// The export itself, into target (UTF-8), showing its progress until it ends or Cancel is
// pressed. Tells what went wrong in a message box; false when nothing was written.
bool ExportWithProgress(HWND owner, const std::string& snapshotPath, const std::string& target,
                        ExportFormat format);

// Sent to the progress window by the exporting thread: wParam 0 with the bytes written so
// far (lParam, in KiB), 1 when it has ended.
inline constexpr UINT kExportProgressMessage = WM_APP + 28;

}  // namespace mv
