// The setup dialog's colours, fonts and logo: a light blue face behind every control, black text
// on a transparent background (the folder edit box keeps its own), and the title and the
// bitness line in dark green in their own fonts. The brush, the fonts and the logo live as long
// as this object, which outlives the dialog's window.
//
// The fonts (by their size at 100 %) and the logo are made for the scale the dialog is drawn at,
// and made again when the dialog moves to a screen of another scale; the brush stays.
//
// The two fonts are selected into the device context on each colour request and are also
// given to the two controls: some systems' static controls select their own font after asking
// for their colours, and would otherwise draw in the dialog's font.
#pragma once

#include <windows.h>

#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_handles.h"

class SetupDialogColors final : public platform::DialogPainter {
 public:
  SetupDialogColors();

  void OnInitDialog(HWND dialog) override;
  void OnDpiChanged(HWND dialog, UINT dpi) override;
  HBRUSH OnCtlColor(HWND dialog, UINT message, HDC dc, HWND control) override;

 private:
  // Makes the fonts and the logo for `dpi` and gives them to their controls; what they replace
  // is deleted once no control holds it.
  void MakeForDpi(HWND dialog, UINT dpi, bool redraw);

  platform::ScopedGdiObject<HBRUSH> m_brush;
  platform::ScopedGdiObject<HFONT> m_titleFont;
  platform::ScopedGdiObject<HFONT> m_bitsFont;
  platform::ScopedGdiObject<HBITMAP> m_logo;
};
