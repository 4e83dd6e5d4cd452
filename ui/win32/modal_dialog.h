// What ends the program's small modal dialogs: OK or Cancel (also Enter and Esc) as a whole
// command word, or the close box.
#pragma once

#include <windows.h>

namespace mv {

// IDOK or IDCANCEL for a message that ends the dialog (the close box counts as Cancel); 0 for
// any other message, the controls' notifications included.
inline int ClosingButton(UINT message, WPARAM wParam) {
  if (message == WM_CLOSE) return IDCANCEL;
  if (message == WM_COMMAND && (wParam == IDOK || wParam == IDCANCEL)) {
    return static_cast<int>(wParam);
  }
  return 0;
}

}  // namespace mv
