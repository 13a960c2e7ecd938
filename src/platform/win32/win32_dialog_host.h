// Runs a portable dialog as a modal Win32 dialog on its resource template.
#pragma once

#include <windows.h>

#include "platform/dialog.h"

namespace platform {

// Gives a dialog its colours, fonts and pictures, made for the scale the dialog is drawn at.
class DialogPainter {
 public:
  virtual ~DialogPainter() = default;
  // Once the dialog's controls exist, before the dialog's own start-up runs.
  virtual void OnInitDialog(HWND dialog) = 0;
  // The dialog has moved to a screen of another scale (WM_DPICHANGED): what the painter made
  // is made again for `dpi`, before the dialog takes its new size.
  virtual void OnDpiChanged(HWND dialog, UINT dpi) = 0;
  // Answers a colour request (WM_CTLCOLOR...) of the dialog or of one of its controls.
  // `control` is the window that asks: a control, or the dialog itself. The brush returned
  // paints its background; it must outlive the dialog's window.
  virtual HBRUSH OnCtlColor(HWND dialog, UINT message, HDC dc, HWND control) = 0;
};

// DialogBoxParamA on the dialog's template in the program's own resources, with no owner,
// centred on the screen; moved to a screen of another scale, it takes the rectangle Windows
// suggests. Returns the result the dialog ended with, or -1 when it could not be
// shown.
int DoModal(Dialog& dialog, DialogPainter* painter = nullptr);

}  // namespace platform
