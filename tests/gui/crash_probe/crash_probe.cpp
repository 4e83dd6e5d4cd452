// A program that faults on purpose with the program's crash message installed: the crash
// message test starts it and reads the box. With "throw" on its command line a C++ exception
// escapes one of the program's threads instead.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "app/win32/crash_report.h"
#include "platform/threading.h"
#include "platform/win32/escaped_exception.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  mv::InstallCrashFilter(mv::ReportUnhandledException);
  if (std::strcmp(commandLine, "throw") == 0) {
    mv::StartDetachedThread([] { throw std::bad_alloc(); });
    Sleep(INFINITE);
  }
  volatile std::uintptr_t address = 0x24;
  *reinterpret_cast<volatile int*>(address) = 1;
  return 0;
}
