// Reading a control's whole text, however long (the location field, the search name), and
// the conversions between a snapshot's text and the UTF-16 of the wide window functions.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/snapshot_format.h"

namespace mv {

std::string WholeWindowText(HWND window);
std::wstring WholeWindowTextW(HWND window);

// Text in an encoding (a snapshot's names: the ANSI code page or UTF-8) as UTF-16 and back.
// A byte sequence the encoding does not define becomes U+FFFD; a character the ANSI code page
// cannot hold becomes the code page's default character.
std::wstring WideFromText(std::string_view text, NameEncoding encoding);
std::string TextFromWide(std::wstring_view text, NameEncoding encoding);

}  // namespace mv
