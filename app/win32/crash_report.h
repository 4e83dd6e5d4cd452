// The top-level exception filter: an unhandled fault ends in one message box.
#pragma once

#include <windows.h>

namespace mv {

// Shows "Code: ..\nAddress: ..\nAccess violation address: .." captioned "_Exception_",
// then lets the process end without the system's own report.
LONG WINAPI ReportUnhandledException(EXCEPTION_POINTERS* exception);

}  // namespace mv
