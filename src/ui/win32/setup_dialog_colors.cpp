#include "ui/win32/setup_dialog_colors.h"

#include "platform/texts.h"
#include "ui/resources/resource.h"

namespace {

constexpr COLORREF kFaceColour = RGB(160, 180, 220);
constexpr COLORREF kTextColour = RGB(0, 0, 0);
constexpr COLORREF kTitleColour = RGB(10, 70, 40);

HFONT CreateTitleFont(int height, int weight) {
  return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, texts::kSongTypeface);
}

}  // namespace

SetupDialogColors::SetupDialogColors()
    : m_brush({}, CreateSolidBrush(kFaceColour)),
      m_titleFont({}, CreateTitleFont(14, 600)),
      m_bitsFont({}, CreateTitleFont(13, 400)) {}

void SetupDialogColors::OnInitDialog(HWND dialog) {
  SendDlgItemMessageA(dialog, IDC_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(m_titleFont.Get()), FALSE);
  SendDlgItemMessageA(dialog, IDC_BITS, WM_SETFONT, reinterpret_cast<WPARAM>(m_bitsFont.Get()), FALSE);
}

HBRUSH SetupDialogColors::OnCtlColor(HWND dialog, UINT message, HDC dc, HWND control) {
  // The default handling prepares the device context; its brush is not used.
  DefWindowProcA(dialog, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  SetTextColor(dc, kTextColour);
  const int id = control != dialog ? GetDlgCtrlID(control) : 0;
  if (id != IDC_PATH) SetBkMode(dc, TRANSPARENT);
  if (id == IDC_TITLE || id == IDC_BITS) {
    SelectObject(dc, id == IDC_TITLE ? m_titleFont.Get() : m_bitsFont.Get());
    SetTextColor(dc, kTitleColour);
  }
  return m_brush.Get();
}
