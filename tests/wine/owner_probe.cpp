// Run while SetUp.exe shows its dialog, whose copy of a program file is bound to fail: makes a
// window of its own process the active one, clicks the install button as the keyboard would,
// waits for the copy-failure message, prints whether the dialog is disabled under it
// ("disabled" or "enabled"), and answers the message with Abort.
#include <windows.h>

#include <cstdio>

namespace {

// "V-结构工具箱安装" and "V-软件安装" in GBK.
const char kDialogCaption[] = "V-\xBD\xE1\xB9\xB9\xB9\xA4\xBE\xDF\xCF\xE4\xB0\xB2\xD7\xB0";
const char kBoxCaption[] = "V-\xC8\xED\xBC\xFE\xB0\xB2\xD7\xB0";

HWND AwaitWindow(const char* caption) {
  for (int waited = 0; waited < 30000; waited += 20, Sleep(20)) {
    const HWND window = FindWindowA(nullptr, caption);
    if (window != nullptr && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

}  // namespace

int main() {
  const HWND dialog = AwaitWindow(kDialogCaption);
  const HWND own = CreateWindowExA(0, "STATIC", "another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetForegroundWindow(own);
  if (dialog == nullptr || GetForegroundWindow() != own) {
    std::puts("no dialog, or no window of its own made active");
    return 1;
  }
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1022, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1022)));
  const HWND box = AwaitWindow(kBoxCaption);
  std::puts(box == nullptr ? "no message" : IsWindowEnabled(dialog) ? "enabled" : "disabled");
  if (box != nullptr) PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDABORT, BN_CLICKED), 0);
  DestroyWindow(own);
  return 0;
}
