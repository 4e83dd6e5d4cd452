// The clipboard as text: see clipboard.h.
#include "ui/win32/clipboard.h"

#include <cstring>

#include "ui/win32/window_text.h"

namespace mv {

bool PutTextOnClipboard(HWND owner, const std::string& text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  bool placed = false;
  const std::wstring wide = WideFromText(text, NameEncoding::kUtf8);
  const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory != nullptr) {
    void* locked = GlobalLock(memory);
    if (locked != nullptr) {
      std::memcpy(locked, wide.c_str(), bytes);
      GlobalUnlock(memory);
      // The clipboard owns the memory once it took it.
      placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!placed) GlobalFree(memory);
  }
  CloseClipboard();
  return placed;
}

}  // namespace mv
