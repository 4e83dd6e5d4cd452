// Keys on the main thread through a message filter: see key_routing.h.
#include "ui/win32/key_routing.h"

#include <algorithm>
#include <vector>

#include "platform/win32/escaped_exception.h"

namespace mv {
namespace {

// The main thread's routing; only that thread reads or changes it.
struct KeyRouting {
  HWND mainWindow = nullptr;
  HACCEL accelerators = nullptr;
  HHOOK hook = nullptr;
  std::vector<HWND> modeless;
  bool routing = false;  // IsDialogMessage calls the filter again: that call passes through
};

KeyRouting& Routing() {
  static KeyRouting routing;
  return routing;
}

bool Within(HWND window, HWND target) {
  return window != nullptr && (target == window || IsChild(window, target));
}

LRESULT CALLBACK MessageFilter(int code, WPARAM wParam, LPARAM lParam) {
  // Every loop of the thread calls it: the main window's, a message box's, a menu's. Only
  // the dialog loops' messages are routed; a menu's keys are the menu's.
  if (code == MSGF_DIALOGBOX && lParam != 0 &&
      RunGuarded([&] { return RouteKeyMessage(*reinterpret_cast<MSG*>(lParam)); })) {
    return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void StartKeyRouting(HWND mainWindow, HACCEL accelerators) {
  KeyRouting& routing = Routing();
  routing.mainWindow = mainWindow;
  routing.accelerators = accelerators;
  if (routing.hook == nullptr) {
    routing.hook = SetWindowsHookExW(WH_MSGFILTER, MessageFilter, nullptr, GetCurrentThreadId());
  }
}

void StopKeyRouting() {
  KeyRouting& routing = Routing();
  if (routing.hook != nullptr) UnhookWindowsHookEx(routing.hook);
  routing = KeyRouting{};
}

void AddModelessWindow(HWND window) {
  std::vector<HWND>& modeless = Routing().modeless;
  if (std::find(modeless.begin(), modeless.end(), window) == modeless.end()) {
    modeless.push_back(window);
  }
}

void RemoveModelessWindow(HWND window) {
  std::vector<HWND>& modeless = Routing().modeless;
  modeless.erase(std::remove(modeless.begin(), modeless.end(), window), modeless.end());
}

bool RouteKeyMessage(MSG& message) {
  KeyRouting& routing = Routing();
  if (routing.routing || message.message < WM_KEYFIRST || message.message > WM_KEYLAST) {
    return false;
  }
  routing.routing = true;
  bool taken = false;
  if (Within(routing.mainWindow, message.hwnd)) {
    // Not while a window it owns is modal: the main window is disabled then.
    taken = routing.accelerators != nullptr && IsWindowEnabled(routing.mainWindow) &&
            TranslateAcceleratorW(routing.mainWindow, routing.accelerators, &message) != 0;
  } else {
    // A window destroyed without removing itself is dropped here.
    std::erase_if(routing.modeless, [](HWND window) { return IsWindow(window) == FALSE; });
    for (HWND window : routing.modeless) {
      if (Within(window, message.hwnd)) {
        taken = IsDialogMessageW(window, &message) != FALSE;
        break;
      }
    }
  }
  routing.routing = false;
  return taken;
}

}  // namespace mv
