// The setup dialog's colours and fonts: a light blue face behind every control, black text
// on a transparent background (the folder edit box keeps its own), and the title and the
// bitness line in dark green in their own fonts. The brush and the fonts live as long as
// this object, which outlives the dialog's window.
//
// The two fonts are selected into the device context on each colour request and are also
// given to the two controls at start-up: some systems' static controls select their own font
// after asking for their colours, and would otherwise draw in the dialog's font.
#pragma once

#include <windows.h>

#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_handles.h"

class SetupDialogColors final : public platform::DialogPainter {
 public:
  SetupDialogColors();

  void OnInitDialog(HWND dialog) override;
  HBRUSH OnCtlColor(HWND dialog, UINT message, HDC dc, HWND control) override;

 private:
  platform::ScopedGdiObject<HBRUSH> m_brush;
  platform::ScopedGdiObject<HFONT> m_titleFont;
  platform::ScopedGdiObject<HFONT> m_bitsFont;
};
