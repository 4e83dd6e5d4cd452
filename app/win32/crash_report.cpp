// The crash message box: see crash_report.h.
#include "app/win32/crash_report.h"

#include <cstdint>

#include "app/crash_message.h"

namespace mv {

LONG WINAPI ReportUnhandledException(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD* record = exception != nullptr ? exception->ExceptionRecord : nullptr;
  std::uint32_t code = 0;
  std::uint64_t address = 0;
  std::uint64_t accessAddress = 0;
  if (record != nullptr) {
    code = record->ExceptionCode;
    address = reinterpret_cast<std::uintptr_t>(record->ExceptionAddress);
    // The second parameter is the address an access violation could not reach; other
    // faults may carry fewer parameters, and then it shows as 0.
    if (record->NumberParameters >= 2) accessAddress = record->ExceptionInformation[1];
  }
  const auto text = CrashMessage(code, address, accessAddress);
  MessageBoxA(nullptr, text.data(), kCrashCaption, MB_OK);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace mv
