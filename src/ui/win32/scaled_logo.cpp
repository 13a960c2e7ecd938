#include "ui/win32/scaled_logo.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/win32/win32_display_scale.h"
#include "platform/win32/win32_handles.h"
#include "ui/resources/resource.h"

namespace {

constexpr int kLogoPixels = 64;  // at 100 %

struct Artwork {
  UINT dpi;
  int resourceId;
};
constexpr Artwork kArtwork[] = {{96, IDB_LOGO}, {144, IDB_LOGO_150}, {192, IDB_LOGO_200}};
constexpr int kArtworkCount = sizeof kArtwork / sizeof kArtwork[0];

// A square image of 32-bit pixels (blue, green, red, unused), the top row first.
struct Pixels {
  int side = 0;
  std::vector<std::uint8_t> bytes;
};

std::size_t Offset(int side, int x, int y) { return (static_cast<std::size_t>(y) * side + x) * 4; }

BITMAPINFO TopDownInfo(int side) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, side, -side, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  return info;
}

HBITMAP LoadArtwork(int resourceId) {
  return static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, 0));
}

// The side of a square bitmap; 0 for any other.
int SideOf(HBITMAP bitmap) {
  BITMAP shape{};
  return GetObjectA(bitmap, sizeof shape, &shape) != 0 && shape.bmWidth == shape.bmHeight ? shape.bmWidth : 0;
}

bool ReadPixels(HBITMAP bitmap, Pixels& pixels) {
  pixels.side = SideOf(bitmap);
  if (pixels.side <= 0) return false;
  pixels.bytes.assign(Offset(pixels.side, 0, pixels.side), 0);
  BITMAPINFO info = TopDownInfo(pixels.side);
  const platform::ScreenDc screen;
  return screen.Get() != nullptr &&
         GetDIBits(screen.Get(), bitmap, 0, pixels.side, pixels.bytes.data(), &info, DIB_RGB_COLORS) == pixels.side;
}

HBITMAP BitmapOf(const Pixels& pixels) {
  const BITMAPINFO info = TopDownInfo(pixels.side);
  const platform::ScreenDc screen;
  if (screen.Get() == nullptr) return nullptr;
  return CreateDIBitmap(screen.Get(), &info.bmiHeader, CBM_INIT, pixels.bytes.data(), &info, DIB_RGB_COLORS);
}

// How much of the source pixel `index` lies between `begin` and `end`, in source pixels.
double Overlap(int index, double begin, double end) {
  return std::max(0.0, std::min(end, index + 1.0) - std::max(begin, static_cast<double>(index)));
}

// Writes into `pixel` the average colour of the source's square of `extent` pixels whose top left
// corner is at (`left`, `top`).
void Average(const Pixels& source, double left, double top, double extent, std::uint8_t* pixel) {
  double sums[3] = {};
  for (int y = static_cast<int>(top); y < source.side && y < top + extent; ++y) {
    for (int x = static_cast<int>(left); x < source.side && x < left + extent; ++x) {
      const double share = Overlap(y, top, top + extent) * Overlap(x, left, left + extent);
      for (int channel = 0; channel < 3; ++channel)
        sums[channel] += share * source.bytes[Offset(source.side, x, y) + channel];
    }
  }
  for (int channel = 0; channel < 3; ++channel) {
    pixel[channel] = static_cast<std::uint8_t>(std::lround(std::min(255.0, sums[channel] / (extent * extent))));
  }
}

// The image scaled to `side` pixels square, each pixel the average of the source pixels it covers.
Pixels ScaleByArea(const Pixels& source, int side) {
  Pixels scaled{side, std::vector<std::uint8_t>(Offset(side, 0, side), 0)};
  const double extent = static_cast<double>(source.side) / side;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) Average(source, x * extent, y * extent, extent, &scaled.bytes[Offset(side, x, y)]);
  }
  return scaled;
}

// The artwork made for `dpi` or, between two scales, for the next larger one; the largest above them.
int ArtworkFor(UINT dpi) {
  int chosen = 0;
  while (chosen + 1 < kArtworkCount && kArtwork[chosen].dpi < dpi) ++chosen;
  return chosen;
}

}  // namespace

HBITMAP MakeLogoForDpi(UINT dpi) {
  const int size = platform::ScaleToDpi(kLogoPixels, dpi);
  if (size <= 0) return nullptr;
  // Should a larger one not load, a smaller one scaled serves.
  for (int artwork = ArtworkFor(dpi); artwork >= 0; --artwork) {
    const HBITMAP loaded = LoadArtwork(kArtwork[artwork].resourceId);
    if (loaded == nullptr) continue;
    if (SideOf(loaded) == size) return loaded;  // made for this scale: as it is
    const platform::ScopedGdiObject<HBITMAP> source({}, loaded);
    Pixels pixels;
    if (!ReadPixels(loaded, pixels)) continue;
    if (const HBITMAP scaled = BitmapOf(ScaleByArea(pixels, size))) return scaled;
  }
  return nullptr;
}
