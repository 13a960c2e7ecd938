// A dialog's own window and the controls on it, named by their control ids: the few calls the
// program's dialog logic makes, shaped like the Win32 calls they stand for.
#pragma once

#include <cstdint>
#include <string>

#include "platform/desktop.h"

namespace platform {

// An icon loaded from the program's resources (HICON); 0 for none.
using IconHandle = std::uintptr_t;
constexpr IconHandle kNoIcon = 0;

// Button check states (BST_UNCHECKED, BST_CHECKED) and the click notification (BN_CLICKED).
constexpr int kUnchecked = 0;
constexpr int kChecked = 1;
constexpr int kBnClicked = 0;

class DialogWindow {
 public:
  virtual ~DialogWindow() = default;

  virtual WindowHandle Handle() const = 0;

  // ShowWindow of a control with SW_SHOW or SW_HIDE.
  virtual void ShowItem(int id, bool show) = 0;
  // EnableWindow of a control.
  virtual void EnableItem(int id, bool enable) = 0;
  // BM_GETCHECK / BM_SETCHECK.
  virtual int GetItemCheck(int id) = 0;
  virtual void SetItemCheck(int id, int state) = 0;
  // GetDlgItemTextA (the whole text, however long) / SetDlgItemTextA.
  virtual std::string GetItemText(int id) = 0;
  virtual void SetItemText(int id, const std::string& text) = 0;
  // SendDlgItemMessageA.
  virtual std::intptr_t SendItemMessage(int id, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;

  // LoadIconA from the program's own resources; kNoIcon when it does not load.
  virtual IconHandle LoadProgramIcon(int resourceId) = 0;
  // WM_SETICON with ICON_SMALL.
  virtual void SetSmallIcon(IconHandle icon) = 0;

  // PostMessageA of WM_COMMAND with `id`: the command reaches the dialog once the messages
  // before it are handled.
  virtual void PostCommand(int id) = 0;
  // RedrawWindow with RDW_UPDATENOW and RDW_ALLCHILDREN: paints what is due now, for a dialog
  // that works without returning to its message loop.
  virtual void PaintNow() = 0;
  // EndDialog: the modal run ends with `result` once the current message is handled.
  virtual void EndDialog(int result) = 0;
};

}  // namespace platform
