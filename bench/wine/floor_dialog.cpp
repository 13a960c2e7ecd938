// The floor of SetUp.exe's start: the same process set-up (DLL search path, COM, the common
// controls loaded the same way) and the same dialog template, with no logic at all.
#include <windows.h>

#include "platform/win32/win32_app.h"
#include "ui/resources/resource.h"

namespace {

INT_PTR CALLBACK EndOnClose(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)) {
    EndDialog(window, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

class FloorApp final : public platform::WinApp {
 public:
  bool InitInstance() override {
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETUP), nullptr, EndOnClose, 0);
    return false;
  }
  int ExitCode() const override { return 0; }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  FloorApp app;
  return platform::RunWinApp(app);
}
