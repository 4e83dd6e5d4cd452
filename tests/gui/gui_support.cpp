// Helpers of the GUI tests: see gui_support.h.
#include "gui_support.h"

#include "ui/win32_file_list_port.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

namespace mv::gui {
namespace {

std::string NewTempFolder(const std::string& parent) {
  static int counter = 0;
  const std::filesystem::path base =
      parent.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(parent);
  const std::filesystem::path path =
      base / ("mv-gui-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
  std::filesystem::create_directories(path);
  return path.string();
}

}  // namespace

ScratchFolder::ScratchFolder(const std::string& parent) : path_(NewTempFolder(parent)) {}
ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchFolder::Write(const std::string& name, const std::string& content) const {
  const std::string full = path_ + "\\" + name;
  std::ofstream(full, std::ios::binary) << content;
  return full;
}

bool ScratchFolder::Exists(const std::string& name) const {
  return std::filesystem::exists(path_ + "\\" + name);
}

std::string SnapshotText(const std::string& computer, const std::string& group,
                         const std::string& created, const std::vector<ShareContent>& shares) {
  std::string text = "Mirrorvault file\r\nVERSION: 1.0\r\nCOMPUTER: " + computer +
                     "\r\nGROUP: " + group + "\r\nDATE CREATED: " + created + "\r\n\r\n";
  for (const ShareContent& share : shares) {
    text += "SHARENAME: " + share.name + "\r\n";
    for (const std::string& entry : share.entries) text += entry + "\r\n";
  }
  return text + "END\r\n";
}

MessageBoxAnswerer::MessageBoxAnswerer(HWND owner, int button, std::function<void(HWND)> inspect)
    : owner_(owner), button_(button), inspect_(std::move(inspect)), thread_([this] { Run(); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  Stop();
}

bool MessageBoxAnswerer::Finish() {
  WaitUntil([this] { return done_.load(); });
  if (thread_.joinable()) thread_.join();
  return answered_.load();
}

bool MessageBoxAnswerer::Stop() {
  stop_.store(true);
  return Finish();
}

void PressButton(HWND dialog, int button) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

namespace {

struct BoxSearch {
  HWND owner;
  const char* caption;
  HWND found;
};

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (std::string(cls) == "#32770" && window != search->owner &&
      GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) &&
      (search->caption == nullptr || WindowText(window) == search->caption)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND OwnedBox(HWND owner, const char* caption) {
  BoxSearch search{owner, caption, nullptr};
  EnumWindows(FindOwnedBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void MessageBoxAnswerer::Run() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!stop_.load() && std::chrono::steady_clock::now() < deadline) {
    if (HWND box = OwnedBox(owner_)) {
      if (inspect_) inspect_(box);
      text_ = WindowText(GetDlgItem(box, 0xFFFF));
      caption_ = WindowText(box);
      PressButton(box, button_);
      answered_.store(true);
      break;
    }
    Sleep(20);
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
  char tests[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, tests, MAX_PATH);
  char full[MAX_PATH] = {};
  GetFullPathNameA((std::string(tests, std::strrchr(tests, '\\') + 1) + relativePath).c_str(),
                   MAX_PATH, full, nullptr);
  return full;
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

bool WaitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    PumpMessages(10);
  }
  return true;
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  HANDLE data = GetClipboardData(CF_TEXT);
  if (data != nullptr) {
    const char* bytes = static_cast<const char*>(GlobalLock(data));
    if (bytes != nullptr) text = bytes;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

RECT ClientRectOf(HWND parent, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<std::string> Column(HWND list, int column) {
  Win32FileListPort port(list, nullptr);
  std::vector<std::string> cells;
  for (int row = 0; row < port.RowCount(); ++row) cells.push_back(port.CellText(row, column));
  return cells;
}

void SelectRow(HWND list, int row, bool selected) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  item.state = selected ? LVIS_SELECTED : 0;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT relation) {
  return reinterpret_cast<HTREEITEM>(
      SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

namespace {

std::string TreeText(HWND tree, HTREEITEM item) {
  char text[512] = {};
  TVITEMA query{};
  query.mask = TVIF_TEXT | TVIF_HANDLE;
  query.hItem = item;
  query.pszText = text;
  query.cchTextMax = sizeof text;
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
  return text;
}

}  // namespace

HTREEITEM FindTreeItem(HWND tree, const std::vector<std::string>& path) {
  HTREEITEM item = nullptr;
  for (const std::string& text : path) {
    item = TreeNext(tree, item, item == nullptr ? TVGN_ROOT : TVGN_CHILD);
    while (item != nullptr && TreeText(tree, item) != text) item = TreeNext(tree, item, TVGN_NEXT);
    if (item == nullptr) return nullptr;
  }
  return item;
}

std::vector<std::string> TreeLines(HWND tree, const std::function<std::string(HTREEITEM)>& suffix) {
  std::vector<std::string> lines;
  std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM item, int depth) {
    for (; item != nullptr; item = TreeNext(tree, item, TVGN_NEXT)) {
      lines.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + TreeText(tree, item) +
                      (suffix ? suffix(item) : ""));
      walk(TreeNext(tree, item, TVGN_CHILD), depth + 1);
    }
  };
  walk(TreeNext(tree, nullptr, TVGN_ROOT), 0);
  return lines;
}

bool MenuItemGrey(HMENU menu, UINT command) {
  return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

std::optional<std::string> RegistryText(const char* key, const char* value) {
  char data[1024] = {};
  DWORD size = sizeof data - 1;
  if (RegGetValueA(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(data);
}

void SetRegistryText(const char* key, const char* value, const std::optional<std::string>& text) {
  if (!text) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, key, value);
    return;
  }
  RegSetKeyValueA(HKEY_CURRENT_USER, key, value, REG_SZ, text->c_str(),
                  static_cast<DWORD>(text->size() + 1));
}

}  // namespace mv::gui
