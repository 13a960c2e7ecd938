#include "ui/win32/setup_dialog_colors.h"

#include "platform/texts.h"
#include "platform/win32/win32_display_scale.h"
#include "ui/resources/resource.h"
#include "ui/win32/scaled_logo.h"

namespace {

constexpr COLORREF kFaceColour = RGB(160, 180, 220);
constexpr COLORREF kTextColour = RGB(0, 0, 0);
constexpr COLORREF kTitleColour = RGB(10, 70, 40);

// Character cell heights at 100 %, in pixels.
constexpr int kTitleHeight = 14;
constexpr int kBitsHeight = 13;

HFONT CreateTitleFont(int height, int weight) {
  return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, texts::kSongTypeface);
}

// Gives the control the font, then deletes the one held before.
void ReplaceFont(HWND dialog, int id, platform::ScopedGdiObject<HFONT>& held, HFONT font, bool redraw) {
  SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
  *held.Receive() = font;
}

// Gives the picture control the bitmap; deletes the one it showed before, whether the program
// gave it or the control loaded it from the dialog's template.
void ReplaceLogo(HWND dialog, platform::ScopedGdiObject<HBITMAP>& held, HBITMAP logo) {
  const auto shown = reinterpret_cast<HGDIOBJ>(
      SendDlgItemMessageA(dialog, IDC_LOGO, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo)));
  if (shown != nullptr && shown != held.Get()) DeleteObject(shown);
  *held.Receive() = logo;
}

}  // namespace

SetupDialogColors::SetupDialogColors() : m_brush({}, CreateSolidBrush(kFaceColour)) {}

void SetupDialogColors::OnInitDialog(HWND dialog) {
  platform::KeepOwnFontOnScaleChange(GetDlgItem(dialog, IDC_TITLE));
  platform::KeepOwnFontOnScaleChange(GetDlgItem(dialog, IDC_BITS));
  MakeForDpi(dialog, platform::WindowDpi(dialog), false);
}

void SetupDialogColors::OnDpiChanged(HWND dialog, UINT dpi) { MakeForDpi(dialog, dpi, true); }

void SetupDialogColors::MakeForDpi(HWND dialog, UINT dpi, bool redraw) {
  ReplaceFont(dialog, IDC_TITLE, m_titleFont, CreateTitleFont(platform::ScaleToDpi(kTitleHeight, dpi), 600), redraw);
  ReplaceFont(dialog, IDC_BITS, m_bitsFont, CreateTitleFont(platform::ScaleToDpi(kBitsHeight, dpi), 400), redraw);
  if (const HBITMAP logo = MakeLogoForDpi(dpi)) ReplaceLogo(dialog, m_logo, logo);
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
