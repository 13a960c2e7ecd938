// The product logo at the scale a window is drawn at. The program carries it drawn for 100 %,
// 150 % and 200 % (IDB_LOGO, IDB_LOGO_150, IDB_LOGO_200); at a scale between, the one drawn for
// the next larger scale is scaled down, each pixel the average of those it covers; above 200 %
// the largest is scaled up the same way.
#pragma once

#include <windows.h>

// A bitmap of the logo, 64 pixels square at 96 DPI and as many more as `dpi` asks, for the
// caller to delete; null when none of the artwork could be loaded.
HBITMAP MakeLogoForDpi(UINT dpi);
