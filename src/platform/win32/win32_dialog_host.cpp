#include "platform/win32/win32_dialog_host.h"

#include <optional>

#include "platform/win32/win32_dialog_window.h"
#include "platform/win32/win32_display_scale.h"

namespace platform {
namespace {

// One modal run: the dialog, its painter and, once it exists, its window.
struct ModalRun {
  Dialog& dialog;
  DialogPainter* painter;
  std::optional<Win32DialogWindow> window;
};

void CenterOnScreen(HWND window) {
  RECT frame{};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetWindowRect(window, &frame) ||
      !GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    return;
  }
  const RECT& work = monitor.rcWork;
  const int left = work.left + ((work.right - work.left) - (frame.right - frame.left)) / 2;
  const int top = work.top + ((work.bottom - work.top) - (frame.bottom - frame.top)) / 2;
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsColourRequest(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

// The painter's work made again for the new scale, then the rectangle Windows suggests. Not
// answered as handled, so that where the dialog manager scales dialogs it still lays out the
// controls and gives them the dialog's font at the new scale.
void OnDpiChanged(HWND window, DialogPainter* painter, UINT dpi, const RECT& suggested) {
  if (painter != nullptr) painter->OnDpiChanged(window, dpi);
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* run = reinterpret_cast<ModalRun*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    run->window.emplace(window);
    TakeOverDialogResize(window);
    CenterOnScreen(window);
    if (run->painter != nullptr) run->painter->OnInitDialog(window);
    return run->dialog.HandleInitDialog(*run->window) ? TRUE : FALSE;
  }
  auto* run = reinterpret_cast<ModalRun*>(GetWindowLongPtrA(window, DWLP_USER));
  if (run == nullptr) return FALSE;
  if (message == WM_COMMAND) {
    run->dialog.HandleCommand(LOWORD(wParam), HIWORD(wParam));
    return TRUE;
  }
  if (IsColourRequest(message) && run->painter != nullptr) {
    return reinterpret_cast<INT_PTR>(
        run->painter->OnCtlColor(window, message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
  }
  if (message == WM_DPICHANGED) {
    OnDpiChanged(window, run->painter, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    return FALSE;
  }
  if (message == WM_NCDESTROY) {
    run->dialog.HandleDestroy();
    SetWindowLongPtrA(window, DWLP_USER, 0);
  }
  return FALSE;
}

}  // namespace

int DoModal(Dialog& dialog, DialogPainter* painter) {
  ModalRun run{dialog, painter, std::nullopt};
  return static_cast<int>(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog.TemplateId()), nullptr,
                                          DialogProcedure, reinterpret_cast<LPARAM>(&run)));
}

}  // namespace platform
