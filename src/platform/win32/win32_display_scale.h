// The scale a window is drawn at, on every Windows the program runs on. The calls that only newer
// systems have (GetDpiForWindow from Windows 10 1607, the dialog manager's scaling controls from
// 1703) are looked up at run time, so that the program still runs where they are missing.
#pragma once

#include <windows.h>

namespace platform {

// The DPI at which 100 % draws: the size the program's artwork and fonts are given in.
constexpr UINT kDefaultDpi = 96;

// The window's DPI: its monitor's where the system scales per monitor, else the screen's.
UINT WindowDpi(HWND window);

// `pixels` at 100 %, at `dpi`, rounded to the nearest pixel.
int ScaleToDpi(int pixels, UINT dpi);

// Leaves it to the program, where the dialog manager would do it, to give the dialog the
// rectangle Windows suggests when its scale changes; the manager still lays out its controls.
void TakeOverDialogResize(HWND dialog);

// Keeps the dialog manager from replacing a control's font when the scale changes: the program
// gives that control a font of its own for each scale.
void KeepOwnFontOnScaleChange(HWND control);

}  // namespace platform
