// What Windows and Explorer read from SetUp.exe before it runs: its manifest and its version.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "e2e_main.h"

namespace e2e {
namespace {

// The program's file loaded as data, so that its resources can be read without running it.
class ProgramImage {
 public:
  ProgramImage()
      : m_module(LoadLibraryExA(SetupProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~ProgramImage() {
    if (m_module != nullptr) FreeLibrary(m_module);
  }
  ProgramImage(const ProgramImage&) = delete;
  ProgramImage& operator=(const ProgramImage&) = delete;

  std::string Resource(LPCSTR type, int id) const {
    const HRSRC found = FindResourceA(m_module, MAKEINTRESOURCEA(id), type);
    const HGLOBAL loaded = found != nullptr ? LoadResource(m_module, found) : nullptr;
    if (loaded == nullptr) return "";
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(m_module, found));
  }

 private:
  HMODULE m_module;
};

std::string VersionString(const std::vector<char>& info, const char* name) {
  char* text = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\080404b0\\") + name;
  if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) return "";
  return std::string(text);
}

TEST(ProgramIdentity, ManifestAsksForNoElevationAndNamesTheSupportedSystems) {
  const std::string manifest = ProgramImage().Resource(RT_MANIFEST, 1);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  for (const char* system : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                             "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                             "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
    EXPECT_NE(manifest.find(system), std::string::npos) << system;
  }
  EXPECT_EQ(manifest.find("<dependency"), std::string::npos) << "no assembly the program does not use";
}

TEST(ProgramIdentity, VersionResourceCarriesThePackageVersion) {
  const DWORD size = GetFileVersionInfoSizeA(SetupProgram().c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(SetupProgram().c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(8, 2026));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 5));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(VersionString(info, "FileVersion"), "2026.8.5.0");
  EXPECT_EQ(VersionString(info, "ProductVersion"), "2026.8.5.0");
  EXPECT_EQ(VersionString(info, "LegalCopyright"), "Copyright (C) 2026 Vortel");
  EXPECT_FALSE(VersionString(info, "FileDescription").empty());
}

}  // namespace
}  // namespace e2e
