// The end-to-end suite's measure of the setup dialog as the screen shows it, once the dialog is up
// and painted (setup_driver wait): prints the width of its client area, of its logo and the height
// of its title's letters, then cancels it; ends 1 when the letters of a check box or of a text reach
// the right or bottom edge of their control (do not fit it).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

// "V-结构工具箱安装", the dialog's caption, in the system's code page (GBK).
const char kCaption[] = "V-\xBD\xE1\xB9\xB9\xB9\xA4\xBE\xDF\xCF\xE4\xB0\xB2\xD7\xB0";

int Fail(const char* message) {
  std::fprintf(stderr, "dialog_measure: %s\n", message);
  return 1;
}

// A window's client area as the screen shows it: one colour a pixel, the top row first.
struct Picture {
  int width = 0, height = 0;
  std::vector<DWORD> pixels;
  DWORD At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
};

Picture TakePicture(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  Picture picture{client.right, client.bottom, std::vector<DWORD>(static_cast<std::size_t>(client.right) * client.bottom)};
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, picture.width, picture.height);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  if (!BitBlt(memory, 0, 0, picture.width, picture.height, screen, origin.x, origin.y, SRCCOPY) ||
      GetDIBits(memory, bitmap, 0, picture.height, picture.pixels.data(), &info, DIB_RGB_COLORS) != picture.height) {
    picture.pixels.clear();
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

// Where a control stands in its dialog's client area.
RECT PlaceOf(HWND control) {
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// The first and the last column (or row) of `place` that hold a pixel of ink; -1, -1 for none.
template <typename Ink>
std::pair<int, int> Extent(const Picture& picture, const RECT& place, bool columns, Ink ink) {
  std::pair<int, int> extent{-1, -1};
  for (int y = std::max(0L, place.top); y < std::min(place.bottom, LONG{picture.height}); ++y) {
    for (int x = std::max(0L, place.left); x < std::min(place.right, LONG{picture.width}); ++x) {
      if (!ink(picture.At(x, y))) continue;
      const int at = columns ? x : y;
      if (extent.first < 0) extent.first = at;
      extent = {std::min(extent.first, at), std::max(extent.second, at)};
    }
  }
  return extent;
}

int Length(std::pair<int, int> extent) { return extent.first < 0 ? 0 : extent.second - extent.first + 1; }

// A visible check box or static text: a control that writes on the dialog's face.
bool WritesOnFace(HWND control) {
  char kind[16] = {};
  GetClassNameA(control, kind, sizeof kind);
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  const bool text = lstrcmpiA(kind, "Static") == 0 ? (style & SS_TYPEMASK) <= SS_RIGHT
                                                   : lstrcmpiA(kind, "Button") == 0 && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
  return text && IsWindowVisible(control);
}

// Prints the dialog's measures as the screen shows them (see the top), then cancels it.
int Measure(HWND dialog) {
  const Picture picture = TakePicture(dialog);
  if (picture.pixels.empty()) return Fail("the screen could not be read");
  const auto ink = [face = picture.At(2, 2)](DWORD pixel) { return pixel != face; };
  const RECT header{0, 0, picture.width, PlaceOf(GetDlgItem(dialog, 1021)).bottom};  // down to the bitness line
  const int logo = Length(Extent(picture, header, true, [](DWORD pixel) { return pixel == 0xFFFFFF; }));
  std::printf("%d %d %d\n", picture.width, logo, Length(Extent(picture, PlaceOf(GetDlgItem(dialog, 1013)), false, ink)));
  int status = 0;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    const RECT place = PlaceOf(child);
    // Cut at its right edge, or wrapped onto a line cut at its bottom.
    if (WritesOnFace(child) &&
        (Extent(picture, place, true, ink).second >= place.right - 1 || Extent(picture, place, false, ink).second >= place.bottom - 1)) {
      std::fprintf(stderr, "control %d: its text reaches its edge\n", GetDlgCtrlID(child));
      status = 1;
    }
  }
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  return status;
}

}  // namespace

int main() {
  const HWND dialog = FindWindowA(nullptr, kCaption);
  return dialog != nullptr && IsWindowVisible(dialog) ? Measure(dialog) : Fail("no setup dialog is up");
}
