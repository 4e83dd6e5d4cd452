// A C++ exception that nothing caught (out of memory in a large listing, say) ends the
// process the way a fault does: in the crash filter's message, with the code the compilers
// give C++ exceptions. Without this it would leave a window procedure or a thread through
// system code that cannot unwind it, and the runtime would end the process on its own.
#pragma once

#include <windows.h>

namespace mv {

// The exception code of C++ exceptions ("msc" after 0xE0).
inline constexpr DWORD kCppExceptionCode = 0xE06D7363;

// Installs filter as the process's top-level exception filter, for faults, and as the one
// an escaped C++ exception is shown through.
void InstallCrashFilter(LPTOP_LEVEL_EXCEPTION_FILTER filter);

// Shows the escaped exception through the installed filter and ends the process with
// kCppExceptionCode. Also the runtime's terminate handler once a filter is installed.
[[noreturn]] void EndWithEscapedException() noexcept;

// Runs body; an exception that leaves it ends the process as above. For every thread entry
// and window procedure.
template <typename Body>
auto RunGuarded(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    EndWithEscapedException();
  }
}

// A dialog procedure that no exception leaves.
template <DLGPROC Body>
INT_PTR CALLBACK GuardedDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
  return RunGuarded([&] { return Body(dialog, message, wParam, lParam); });
}

}  // namespace mv
