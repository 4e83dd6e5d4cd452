// Escaped C++ exceptions end in the crash message: see escaped_exception.h.
#include "platform/win32/escaped_exception.h"

#include <atomic>
#include <exception>

namespace mv {
namespace {

std::atomic<LPTOP_LEVEL_EXCEPTION_FILTER> gCrashFilter{nullptr};

}  // namespace

void InstallCrashFilter(LPTOP_LEVEL_EXCEPTION_FILTER filter) {
  gCrashFilter.store(filter);
  SetUnhandledExceptionFilter(filter);
  std::set_terminate([] { EndWithEscapedException(); });
}

void EndWithEscapedException() noexcept {
  // Described as the system describes a C++ exception that reaches the top: its code, and
  // the place it was caught at as the address.
  EXCEPTION_RECORD record{};
  record.ExceptionCode = kCppExceptionCode;
  record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
  record.ExceptionAddress = __builtin_return_address(0);
  CONTEXT context{};
  RtlCaptureContext(&context);
  EXCEPTION_POINTERS pointers{&record, &context};
  if (const LPTOP_LEVEL_EXCEPTION_FILTER filter = gCrashFilter.load()) filter(&pointers);
  TerminateProcess(GetCurrentProcess(), kCppExceptionCode);
  for (;;) Sleep(INFINITE);  // TerminateProcess on the own process does not return
}

}  // namespace mv
