// The discovery scan over the real registry: keys seeded by this 32-bit program with the same
// paths SetUp.exe reads, and no registry-view flags, so both see the same view. (What an install
// writes there is read back by the end-to-end suite.)
#include <gtest/gtest.h>

#include <string>

#include "acad/install_info.h"
#include "platform/win32/win32_services.h"
#include "registry_seeder.h"

using namespace platform;

namespace {

const std::string kNativeRoot = integration::kNativeRoot;
const std::string kWowRoot = integration::kWowRoot;
const std::string kGbkName = " - \xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4";  // 简体中文

class RealRegistryDiscovery : public ::testing::Test {
 protected:
  void TearDown() override { seeder.RemoveAcadKeys(); }

  void AddInstall(const std::string& path, const std::string& folder, const std::string& name) {
    seeder.SetText(kHkeyLocalMachine, path, "AcadLocation", folder);
    seeder.SetText(kHkeyLocalMachine, path, "ProductName", name);
  }

  Win32Services win32;
  integration::RegistrySeeder seeder{win32.registry};
  CAcadInstallInfo info{win32.services};
};

TEST_F(RealRegistryDiscovery, FindsSeededInstallationsUnderBothRoots) {
  AddInstall(kWowRoot + "R17.1\\ACAD-6001:804", "C:\\Program Files (x86)\\AutoCAD 2008\\",
             "AutoCAD 2008" + kGbkName);
  AddInstall(kNativeRoot + "R20.1\\ACAD-F001:804", "C:\\AutoCAD 2016", "AutoCAD 2016");
  AddInstall(kNativeRoot + "R20.1\\ACAD-F002:409", "C:\\Acad\\\x9C\x5C", "AutoCAD 2016");
  AddInstall(kNativeRoot + "R18.2\\Nested\\ACAD-A001:804", "C:\\Acad2012", "AutoCAD 2012");
  // In a 64-bit prefix the 32-bit root is the native one too, and 2008 is found under both.
  const bool shared = seeder.RootsAreOneKey();
  info.ScanInstalledReleases();

  acad::StringList keys2008{kWowRoot + "R17.1\\ACAD-6001:804\\"};
  if (shared) keys2008.push_back(kNativeRoot + "R17.1\\ACAD-6001:804\\");
  EXPECT_EQ(info.m_arrProductKey[1], keys2008) << (shared ? "64-bit prefix" : "32-bit prefix");
  EXPECT_EQ(info.m_arrAcadLocation[1],
            acad::StringList(keys2008.size(), "C:\\Program Files (x86)\\AutoCAD 2008"));
  EXPECT_EQ(info.m_arrAcadLocation[9],
            (acad::StringList{"C:\\AutoCAD 2016", "C:\\Acad\\\x9C\x5C"}));
  EXPECT_EQ(info.m_arrProductKey[5],
            acad::StringList{kNativeRoot + "R18.2\\Nested\\ACAD-A001:804\\"});
  int total = 0;
  for (const auto& list : info.m_arrAcadLocation) total += static_cast<int>(list.size());
  EXPECT_EQ(total, shared ? 5 : 4) << "under the 32-bit root only 2007 to 2010 count";
}

}  // namespace
