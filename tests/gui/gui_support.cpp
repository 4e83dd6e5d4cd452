// Helpers of the GUI tests: see gui_support.h.
#include "gui_support.h"

#include "app/win32/app_registry.h"
#include "app/win32/system_paths.h"

namespace mv::gui {

ScratchFolder::ScratchFolder(const std::string& parent) {
  static int counter = 0;
  const std::filesystem::path base =
      parent.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(parent);
  path_ =
      (base / ("mv-gui-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter)))
          .string();
  std::filesystem::create_directories(path_);
}

std::string SnapshotText(const std::string& computer, const std::string& group,
                         const std::string& created, const std::vector<ShareContent>& shares) {
  std::string text = "Mirrorvault file\r\nVERSION: 1.0\r\nCOMPUTER: " + computer +
                     "\r\nGROUP: " + group + "\r\nDATE CREATED: " + created + "\r\n\r\n";
  for (const auto& [name, entries] : shares) {
    text += "SHARENAME: " + name + "\r\n";
    for (const std::string& entry : entries) text += entry + "\r\n";
  }
  return text + "END\r\n";
}

bool MessageBoxAnswerer::Finish() {
  WaitUntil([this] { return done_.load(); });
  if (thread_.joinable()) thread_.join();
  return answered_.load();
}

void PressButton(HWND dialog, int button) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

HWND OwnedBox(HWND owner, const char* caption) {
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", caption)) != nullptr;) {
    if (w != owner && GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

void MessageBoxAnswerer::Run() {
  HWND box = nullptr;
  if (WaitUntil([&] { return stop_.load() || (box = OwnedBox(owner_)) != nullptr; }, 10) &&
      box != nullptr) {
    if (inspect_) inspect_(box);
    text = WholeWindowText(GetDlgItem(box, 0xFFFF));
    caption = WholeWindowText(box);
    PressButton(box, button_);
    // Done once the box has gone: a caller looking for the next box must not find this one.
    WaitUntil([&] { return !IsWindow(box); }, 10);
    answered_.store(true);
  }
  done_.store(true);
}

Process::Process(const std::string& path, const std::string& arguments) {
  std::string command = "\"" + path + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  CreateProcessA(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                 &startup, &info);
}

Process::~Process() {
  TerminateProcess(info.hProcess, 1);  // nothing when it has ended
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
}

HWND Process::WaitForWindow(const char* caption) const {
  for (int i = 0; i < 300; ++i, Sleep(50)) {
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", caption)) != nullptr;) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == info.dwProcessId && GetWindow(w, GW_OWNER) == nullptr) return w;
    }
  }
  return nullptr;
}

DWORD Process::ExitCode() const {
  WaitForSingleObject(info.hProcess, 10000);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info.hProcess, &code);
  return code;
}

std::string BesideTests(const std::string& relativePath) {
  return (std::filesystem::path(ExecutablePath()).parent_path() / relativePath)
      .lexically_normal()
      .string();
}

void PumpMessages(int milliseconds) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(5);
  } while (GetTickCount() < end);
}

bool WaitUntil(const std::function<bool()>& condition, int seconds) {
  for (const DWORD start = GetTickCount(); !condition(); PumpMessages(10)) {
    if (GetTickCount() - start > static_cast<DWORD>(seconds) * 1000) return false;
  }
  return true;
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
    text = TextFromWide(wide, NameEncoding::kUtf8);
  }
  GlobalUnlock(data);
  CloseClipboard();
  return text;
}

namespace {

std::string TreeText(HWND tree, HTREEITEM item) {
  wchar_t text[512] = {};
  TVITEMW query{};
  query.mask = TVIF_TEXT | TVIF_HANDLE;
  query.hItem = item;
  query.pszText = text;
  query.cchTextMax = static_cast<int>(std::size(text));
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
  return TextFromWide(text, NameEncoding::kUtf8);
}

}  // namespace

HTREEITEM FindTreeItem(HWND tree, const std::vector<std::string>& path) {
  HTREEITEM item = nullptr;
  for (const std::string& text : path) {
    item = TreeView_GetNextItem(tree, item, item == nullptr ? TVGN_ROOT : TVGN_CHILD);
    while (item != nullptr && TreeText(tree, item) != text)
      item = TreeView_GetNextItem(tree, item, TVGN_NEXT);
    if (item == nullptr) return nullptr;
  }
  return item;
}

std::vector<std::string> TreeLines(HWND tree, const std::function<std::string(HTREEITEM)>& suffix) {
  std::vector<std::string> lines;
  std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM item, int depth) {
    for (; item != nullptr; item = TreeView_GetNextItem(tree, item, TVGN_NEXT)) {
      lines.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + TreeText(tree, item) +
                      (suffix ? suffix(item) : ""));
      walk(TreeView_GetNextItem(tree, item, TVGN_CHILD), depth + 1);
    }
  };
  walk(TreeView_GetNextItem(tree, nullptr, TVGN_ROOT), 0);
  return lines;
}

std::string ListCellText(HWND list, int row, int column) {
  std::wstring text(1024, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                   reinterpret_cast<LPARAM>(&item));
  text.resize(static_cast<std::size_t>(length));
  return TextFromWide(text, NameEncoding::kUtf8);
}

bool MenuItemGrey(HMENU menu, UINT command) {
  return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

std::string RunEntry() {
  char data[1024] = {};
  DWORD size = sizeof data - 1;
  RegGetValueA(HKEY_CURRENT_USER, kRunKey, kRunValueName, RRF_RT_REG_SZ, nullptr, data, &size);
  return data;
}

}  // namespace mv::gui
