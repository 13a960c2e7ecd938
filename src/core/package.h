// The package this setup program installs, fixed when the program is built.
#pragma once

#include <string>

// The package's version, written as one number yyyymmdd.
inline constexpr int g_nPackageVersion = 20260805;
// The bitness (32 or 64) of the AutoCAD edition the package serves.
inline constexpr int g_nPackageBits = 32;

// Both together, as the dialog takes them (a test may build the dialog for another package).
struct PackageBuild {
  int version = g_nPackageVersion;
  int bits = g_nPackageBits;
};

namespace core {

// "2026.08.05": the version as Programs and Features and the log show it.
std::string VersionText(int packageVersion = g_nPackageVersion);

// The installation folder's name below the folder the user chooses.
inline constexpr char kInstallSubFolder[] = "V-Trelmox";
// The folder the setup starts with.
inline constexpr char kDefaultFolder[] = "C:\\Vortel";

}  // namespace core
