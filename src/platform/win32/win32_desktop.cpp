#include "platform/win32/win32_desktop.h"

#include <windows.h>

namespace platform {

int Win32Desktop::ShowMessageBox(WindowHandle owner, const std::string& text,
                                 const std::string& caption, unsigned type) {
  return MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), type);
}

WindowHandle Win32Desktop::ActiveWindow() { return reinterpret_cast<WindowHandle>(GetActiveWindow()); }

}  // namespace platform
