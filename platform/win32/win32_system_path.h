// Paths of the ports (UTF-8, UNC in their extended-length form) as the wide-character calls
// of Windows take them, and the names those calls give back as the ports hand them on.
#pragma once

#include <string>
#include <string_view>

namespace mv::win32 {

std::wstring SystemPath(const std::string& path);

// UTF-8 text in UTF-16, as it is (no extended form).
std::wstring WideFromUtf8(std::string_view text);

// A name the system gives in UTF-16 (null: empty), in UTF-8. An unpaired surrogate, which no
// UTF-8 holds, becomes U+FFFD, and *altered (when asked) says so.
std::string Utf8FromWide(const wchar_t* text, bool* altered = nullptr);

}  // namespace mv::win32
