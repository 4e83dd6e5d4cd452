// Icons and image lists: see icon_list.h.
#include "ui/win32/icon_list.h"

namespace mv {

HICON LoadSizedIcon(int id, int size) {
  return static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
}

HIMAGELIST CreateIconList(std::initializer_list<int> icons) {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 0);
  for (int id : icons) {
    HICON icon = LoadSizedIcon(id, 16);
    ImageList_ReplaceIcon(list, -1, icon);
    DestroyIcon(icon);
  }
  return list;
}

}  // namespace mv
