// Arguments from the wide command line and console text through WriteConsoleW, both turned
// from and to UTF-8, so that no name depends on the ANSI or console code page.
#include <windows.h>

#include <shellapi.h>

#include "platform/console_text.h"

namespace mv {
namespace {

std::string Utf8FromWide(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
  utf8.pop_back();  // the NUL
  return utf8;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
  LocalFree(wide);
  return arguments;
}

bool WriteToConsole(bool errorStream, std::string_view utf8) {
  const HANDLE console = GetStdHandle(errorStream ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (console == INVALID_HANDLE_VALUE || GetConsoleMode(console, &mode) == 0) return false;
  if (utf8.empty()) return true;
  // Pieces well below what one WriteConsoleW call takes on every version of Windows.
  constexpr std::size_t kPieceBytes = 8192;
  std::wstring wide;
  for (std::size_t at = 0; at < utf8.size();) {
    std::size_t end = at + kPieceBytes < utf8.size() ? at + kPieceBytes : utf8.size();
    // Cut between characters: never before a continuation byte.
    while (end < utf8.size() && end > at + 1 &&
           (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
      --end;
    const int bytes = static_cast<int>(end - at);
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data() + at, bytes, nullptr, 0);
    wide.resize(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_UTF8, 0, utf8.data() + at, bytes, wide.data(), length);
    DWORD written = 0;
    if (length > 0 &&
        WriteConsoleW(console, wide.data(), static_cast<DWORD>(length), &written, nullptr) == 0) {
      return false;
    }
    at = end;
  }
  return true;
}

}  // namespace mv
