#include "screen_capture.h"

#include <algorithm>
#include <fstream>

namespace e2e {
namespace {

BITMAPINFOHEADER TopDownHeader(int width, int height) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = -height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  return header;
}

// A screen device context, a memory one and a bitmap selected into it, all released at the end.
class ScreenCopy {
 public:
  ScreenCopy(int width, int height)
      : m_screen(GetDC(nullptr)),
        m_memory(CreateCompatibleDC(m_screen)),
        m_bitmap(CreateCompatibleBitmap(m_screen, width, height)),
        m_previous(m_memory != nullptr ? SelectObject(m_memory, m_bitmap) : nullptr) {}
  ~ScreenCopy() {
    if (m_previous != nullptr) SelectObject(m_memory, m_previous);
    if (m_bitmap != nullptr) DeleteObject(m_bitmap);
    if (m_memory != nullptr) DeleteDC(m_memory);
    if (m_screen != nullptr) ReleaseDC(nullptr, m_screen);
  }
  ScreenCopy(const ScreenCopy&) = delete;
  ScreenCopy& operator=(const ScreenCopy&) = delete;

  bool IsReady() const { return m_screen && m_memory && m_bitmap && m_previous; }
  bool Copy(const RECT& area) {
    return BitBlt(m_memory, 0, 0, area.right - area.left, area.bottom - area.top, m_screen,
                  area.left, area.top, SRCCOPY) != FALSE;
  }
  bool Read(BITMAPINFOHEADER header, std::vector<std::uint8_t>& pixels) {
    BITMAPINFO info{};
    info.bmiHeader = header;
    SelectObject(m_memory, m_previous);
    const int rows = GetDIBits(m_memory, m_bitmap, 0, static_cast<UINT>(-header.biHeight),
                               pixels.data(), &info, DIB_RGB_COLORS);
    SelectObject(m_memory, m_bitmap);
    return rows == -header.biHeight;
  }

 private:
  HDC m_screen;
  HDC m_memory;
  HBITMAP m_bitmap;
  HGDIOBJ m_previous;
};

}  // namespace

ScreenCapture ScreenCapture::OfWindow(HWND window) {
  ScreenCapture capture;
  RECT area{};
  if (!GetWindowRect(window, &area)) return capture;
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  ScreenCopy copy(width, height);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(((width * 3 + 3) & ~3) * height));
  if (!copy.IsReady() || !copy.Copy(area) || !copy.Read(TopDownHeader(width, height), pixels)) {
    return capture;
  }
  capture.m_left = area.left;
  capture.m_top = area.top;
  capture.m_width = width;
  capture.m_height = height;
  capture.m_pixels = std::move(pixels);
  return capture;
}

COLORREF ScreenCapture::PixelAtScreen(POINT point) const {
  const int x = point.x - m_left;
  const int y = point.y - m_top;
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
  const std::uint8_t* pixel = &m_pixels[static_cast<std::size_t>(y * Stride() + x * 3)];
  return RGB(pixel[2], pixel[1], pixel[0]);
}

bool ScreenCapture::Contains(const RECT& screenArea, COLORREF colour) const {
  for (LONG y = screenArea.top; y < screenArea.bottom; ++y) {
    for (LONG x = screenArea.left; x < screenArea.right; ++x) {
      if (PixelAtScreen(POINT{x, y}) == colour) return true;
    }
  }
  return false;
}

bool ScreenCapture::Save(const std::string& path) const {
  BITMAPINFOHEADER header = TopDownHeader(m_width, m_height);
  header.biHeight = m_height;  // files are stored bottom-up
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(m_pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  for (int row = m_height - 1; row >= 0; --row) {
    out.write(reinterpret_cast<const char*>(&m_pixels[static_cast<std::size_t>(row * Stride())]),
              Stride());
  }
  return static_cast<bool>(out);
}

}  // namespace e2e
