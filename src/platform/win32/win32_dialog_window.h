// The dialog-window service over a real dialog window.
#pragma once

#include <windows.h>

#include "platform/dialog_window.h"

namespace platform {

class Win32DialogWindow final : public DialogWindow {
 public:
  explicit Win32DialogWindow(HWND window) : m_window(window) {}

  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(m_window); }
  void ShowItem(int id, bool show) override;
  void EnableItem(int id, bool enable) override;
  int GetItemCheck(int id) override;
  void SetItemCheck(int id, int state) override;
  std::string GetItemText(int id) override;
  void SetItemText(int id, const std::string& text) override;
  std::intptr_t SendItemMessage(int id, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  IconHandle LoadProgramIcon(int resourceId) override;
  void SetSmallIcon(IconHandle icon) override;
  void PostCommand(int id) override;
  void PaintNow() override;
  void EndDialog(int result) override;

 private:
  HWND m_window;
};

}  // namespace platform
