#include "platform/win32/win32_display_scale.h"

#include "platform/win32/win32_handles.h"

namespace platform {
namespace {

// The calls of newer systems, each null where the system lacks it.
struct ScaleCalls {
  UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
  BOOL(WINAPI* setDialogDpiChangeBehavior)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS) = nullptr;
  BOOL(WINAPI* setDialogControlDpiChangeBehavior)
  (HWND, DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS, DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS) = nullptr;
};

template <typename Function>
void LookUp(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const ScaleCalls& Calls() {
  static const ScaleCalls calls = [] {
    ScaleCalls found;
    const HMODULE user = GetModuleHandleA("user32.dll");
    LookUp(user, "GetDpiForWindow", found.getDpiForWindow);
    LookUp(user, "SetDialogDpiChangeBehavior", found.setDialogDpiChangeBehavior);
    LookUp(user, "SetDialogControlDpiChangeBehavior", found.setDialogControlDpiChangeBehavior);
    return found;
  }();
  return calls;
}

UINT ScreenDpi() {
  const ScreenDc screen;
  const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
  const UINT dpi = Calls().getDpiForWindow != nullptr ? Calls().getDpiForWindow(window) : 0;
  return dpi != 0 ? dpi : ScreenDpi();
}

int ScaleToDpi(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), kDefaultDpi); }

void TakeOverDialogResize(HWND dialog) {
  if (Calls().setDialogDpiChangeBehavior != nullptr) {
    Calls().setDialogDpiChangeBehavior(dialog, DDC_DISABLE_RESIZE, DDC_DISABLE_RESIZE);
  }
}

void KeepOwnFontOnScaleChange(HWND control) {
  if (Calls().setDialogControlDpiChangeBehavior != nullptr) {
    Calls().setDialogControlDpiChangeBehavior(control, DCDC_DISABLE_FONT_UPDATE, DCDC_DISABLE_FONT_UPDATE);
  }
}

}  // namespace platform
