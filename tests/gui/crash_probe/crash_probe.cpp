// A program that faults on purpose with the program's crash message installed: the crash
// message test starts it and reads the box.
#include <windows.h>

#include <cstdint>

#include "app/win32/crash_report.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  SetUnhandledExceptionFilter(mv::ReportUnhandledException);
  volatile std::uintptr_t address = 0x24;
  *reinterpret_cast<volatile int*>(address) = 1;
  return 0;
}
