#include "platform/win32/win32_desktop.h"

#include <shlobj.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/win32_app.h"

namespace platform {
namespace {

class Win32PickerWindow final : public PickerWindow {
 public:
  explicit Win32PickerWindow(HWND window) : m_window(window) {}
  std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
    return SendMessageA(m_window, message, wParam, lParam);
  }

 private:
  HWND m_window;
};

// The program's callback and its data, reached from the shell's callback.
struct CallbackBridge {
  BrowseCallback callback;
  std::intptr_t data;
};

int CALLBACK ForwardPickerCallback(HWND window, UINT message, LPARAM param, LPARAM data) {
  const auto* bridge = reinterpret_cast<const CallbackBridge*>(data);
  Win32PickerWindow picker(window);
  return bridge->callback(picker, message, param, bridge->data);
}

}  // namespace

int Win32Desktop::ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                                 unsigned type) {
  return MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), type);
}

int Win32Desktop::ShowUnicodeMessageBox(WindowHandle owner, const std::string& utf8Text, const std::string& utf8Caption,
                                        unsigned type) {
  const auto wide = [](const std::string& utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> text(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, text.data(), length);
    return text;
  };
  // A vector rather than a wide string: the program's only wide text would bring in all of
  // std::wstring's code.
  return MessageBoxW(reinterpret_cast<HWND>(owner), wide(utf8Text).data(), wide(utf8Caption).data(), type);
}

template <typename Function>
Function Win32Desktop::ShellFunction(const char* name) {
  if (!m_shell.IsOpen()) *m_shell.Receive() = LoadSystemLibrary("shell32.dll");
  if (!m_shell.IsOpen()) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_shell.Get(), name)));
}

ItemIdList Win32Desktop::BrowseForFolder(const BrowseInfo& info) {
  UseComOnThisThread();
  CallbackBridge bridge{info.callback, info.callbackData};
  BROWSEINFOA shellInfo{};
  shellInfo.hwndOwner = reinterpret_cast<HWND>(info.owner);
  shellInfo.pidlRoot = reinterpret_cast<PCIDLIST_ABSOLUTE>(info.root);
  shellInfo.pszDisplayName = info.displayName;
  shellInfo.lpszTitle = info.title;
  shellInfo.ulFlags = info.flags;
  shellInfo.lpfn = info.callback != nullptr ? ForwardPickerCallback : nullptr;
  shellInfo.lParam = reinterpret_cast<LPARAM>(&bridge);
  const auto browse = ShellFunction<decltype(&SHBrowseForFolderA)>("SHBrowseForFolderA");
  return browse != nullptr ? reinterpret_cast<ItemIdList>(browse(&shellInfo)) : kNoItem;
}

bool Win32Desktop::GetPathFromItem(ItemIdList item, char* path) {
  const auto pathOf = ShellFunction<decltype(&SHGetPathFromIDListA)>("SHGetPathFromIDListA");
  return pathOf != nullptr && pathOf(reinterpret_cast<PCIDLIST_ABSOLUTE>(item), path) != FALSE;
}

void Win32Desktop::FreeItem(ItemIdList item) { CoTaskMemFree(reinterpret_cast<void*>(item)); }

}  // namespace platform
