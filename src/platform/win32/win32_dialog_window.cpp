#include "platform/win32/win32_dialog_window.h"

#include <vector>

namespace platform {

void Win32DialogWindow::ShowItem(int id, bool show) { ShowWindow(GetDlgItem(m_window, id), show ? SW_SHOW : SW_HIDE); }

void Win32DialogWindow::EnableItem(int id, bool enable) {
  EnableWindow(GetDlgItem(m_window, id), enable ? TRUE : FALSE);
}

int Win32DialogWindow::GetItemCheck(int id) { return static_cast<int>(IsDlgButtonChecked(m_window, id)); }

void Win32DialogWindow::SetItemCheck(int id, int state) { CheckDlgButton(m_window, id, static_cast<UINT>(state)); }

std::string Win32DialogWindow::GetItemText(int id) {
  const HWND item = GetDlgItem(m_window, id);
  const int length = GetWindowTextLengthA(item);
  if (length <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(item, buffer.data(), static_cast<int>(buffer.size()));
  return std::string(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void Win32DialogWindow::SetItemText(int id, const std::string& text) { SetDlgItemTextA(m_window, id, text.c_str()); }

std::intptr_t Win32DialogWindow::SendItemMessage(int id, std::uint32_t message, std::uintptr_t wParam,
                                                 std::intptr_t lParam) {
  return SendDlgItemMessageA(m_window, id, message, wParam, lParam);
}

IconHandle Win32DialogWindow::LoadProgramIcon(int resourceId) {
  return reinterpret_cast<IconHandle>(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
}

void Win32DialogWindow::SetSmallIcon(IconHandle icon) {
  SendMessageA(m_window, WM_SETICON, ICON_SMALL, static_cast<LPARAM>(icon));
}

void Win32DialogWindow::PostCommand(int id) {
  PostMessageA(m_window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
}

void Win32DialogWindow::PaintNow() {
  RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32DialogWindow::EndDialog(int result) { ::EndDialog(m_window, result); }

}  // namespace platform
