// A picture of a window as the screen shows it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

class ScreenCapture {
 public:
  // Copies the window's rectangle from the screen; empty when that fails.
  static ScreenCapture OfWindow(HWND window);

  bool IsEmpty() const { return m_pixels.empty(); }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // The pixel at a point of the screen (not of the window).
  COLORREF PixelAtScreen(POINT point) const;
  // Whether a pixel of exactly `colour` lies in the given screen rectangle.
  bool Contains(const RECT& screenArea, COLORREF colour) const;
  // Writes a 24-bit BMP file.
  bool Save(const std::string& path) const;

 private:
  int m_left = 0, m_top = 0, m_width = 0, m_height = 0;
  std::vector<std::uint8_t> m_pixels;  // rows top-down, blue-green-red, rows padded to 4 bytes

  int Stride() const { return (m_width * 3 + 3) & ~3; }
};

}  // namespace e2e
