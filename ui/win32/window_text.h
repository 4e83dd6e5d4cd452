// Reading a control's whole text, however long (the location field, the search name), and
// the conversions between a snapshot's text and the UTF-16 of the wide window functions.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/snapshot_format.h"

namespace mv {

// The whole text as UTF-8 (every window of the program is a Unicode window).
std::string WholeWindowText(HWND window);
std::wstring WholeWindowTextW(HWND window);
// Sets a window's text from UTF-8.
void SetWindowTextUtf8(HWND window, std::string_view text);

// Text in an encoding (a snapshot's names: the ANSI code page or UTF-8) as UTF-16 and back.
// A byte sequence the encoding does not define becomes U+FFFD; a character the ANSI code page
// cannot hold becomes the code page's default character.
std::wstring WideFromText(std::string_view text, NameEncoding encoding);
std::string TextFromWide(std::wstring_view text, NameEncoding encoding);
// Like TextFromWide, but false when a character has no form in the encoding (a typed name the
// ANSI code page cannot hold names nothing in a snapshot of that code page).
bool TextFromWideExactly(std::wstring_view text, NameEncoding encoding, std::string& out);
// Text in an encoding as UTF-8, the form of paths and of every other text of the window.
std::string Utf8FromText(std::string_view text, NameEncoding encoding);

}  // namespace mv
