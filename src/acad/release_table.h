// The AutoCAD releases the add-on serves, 2007 to 2027. A release's index is its year less
// 2007; every per-release list and every set of tick states is kept in index order.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace acad {

constexpr int kFirstReleaseYear = 2007;
constexpr int kLastReleaseYear = 2027;
constexpr int kReleaseCount = kLastReleaseYear - kFirstReleaseYear + 1;
// Releases found under the 32-bit registry root are recorded up to this year only.
constexpr int kLastReleaseOf32BitRoot = 2010;
// A package for 32-bit AutoCAD serves no release from this one on.
constexpr int kFirstReleaseOf64BitOnly = 2017;

inline bool IsSupportedRelease(int year) { return year >= kFirstReleaseYear && year <= kLastReleaseYear; }
inline int ReleaseIndex(int year) { return year - kFirstReleaseYear; }
inline int ReleaseYear(int index) { return kFirstReleaseYear + index; }

// The tick state of each release from the dialog, 2007 first; nonzero means ticked.
using ReleaseTicks = std::array<int, kReleaseCount>;

using StringList = std::vector<std::string>;

}  // namespace acad
