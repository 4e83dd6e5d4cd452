// Tree view requests behind the tree port: see win32_tree_port.h.
#include "ui/win32/win32_tree_port.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "ui/win32/window_text.h"

namespace mv {

TreeItem Win32TreePort::InsertItem(const TreeInsertRequest& request) {
  if (tree_ == nullptr) return kNoTreeItem;
  // Names of groups, computers and the network are UTF-8.
  std::wstring text = WideFromText(request.text, NameEncoding::kUtf8);
  TVINSERTSTRUCTW insert{};
  insert.hParent = reinterpret_cast<HTREEITEM>(request.parent);
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
  insert.item.pszText = text.data();
  insert.item.iImage = request.image;
  insert.item.iSelectedImage = request.image;
  insert.item.lParam = static_cast<LPARAM>(request.param);
  insert.item.state = request.state;
  insert.item.stateMask = request.state;
  const LRESULT item = SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
  return static_cast<TreeItem>(item);
}

void Win32TreePort::DeleteItem(TreeItem item) {
  if (item == kNoTreeItem) return;
  SendMessageW(tree_, TVM_DELETEITEM, 0, static_cast<LPARAM>(item));
}

void Win32TreePort::DeleteAllItems() {
  SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

std::uint32_t Win32TreePort::GetItemState(TreeItem item) {
  TVITEMW query{};
  query.mask = TVIF_STATE | TVIF_HANDLE;
  query.hItem = reinterpret_cast<HTREEITEM>(item);
  query.stateMask = 0xFFFFFFFFu;
  if (SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)) == 0) return 0;
  return query.state;
}

}  // namespace mv
