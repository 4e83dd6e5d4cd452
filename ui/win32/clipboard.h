// Putting text on the clipboard ("Copy Path").
#pragma once

#include <windows.h>

#include <string>

namespace mv {

// Replaces the clipboard's content with text, UTF-8 (put as CF_UNICODETEXT; the system gives
// other programs the other text formats from it). False when the clipboard could
// not be opened or the memory not had; the clipboard is then left as it was or empty.
bool PutTextOnClipboard(HWND owner, const std::string& text);

}  // namespace mv
