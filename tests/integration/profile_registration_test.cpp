// Loader entries and trusted paths written through the real registry.
#include <gtest/gtest.h>

#include <string>

#include "acad/install_info.h"
#include "platform/win32/win32_services.h"
#include "registry_seeder.h"

using namespace platform;

namespace {

const std::string kUserAcad = "SOFTWARE\\Autodesk\\AutoCAD\\";

class RealRegistryRegistration : public ::testing::Test {
 protected:
  void TearDown() override { seeder.RemoveAcadKeys(); }

  Win32Services win32;
  integration::RegistrySeeder seeder{win32.registry};
};

TEST_F(RealRegistryRegistration, WritesLoaderEntriesAndTrustedPathsWithTheirTypes) {
  const std::string wowProduct = std::string(integration::kWowRoot) + "R17.2\\ACAD-7001:804\\";
  const std::string product = std::string(integration::kNativeRoot) + "R18.1\\ACAD-9001:804\\";
  seeder.SetText(kHkeyLocalMachine, wowProduct, "ProductName", "AutoCAD 2009");
  seeder.SetText(kHkeyLocalMachine, product, "ProductName", "AutoCAD 2011");
  seeder.SetText(kHkeyLocalMachine, product + "Applications\\Vortel2011", "DESCRIPTION", "old");
  const std::string tools = kUserAcad + "R18.1\\ACAD-9001:804\\Profiles\\Default\\Variables";
  const std::string fresh = kUserAcad + "R17.2\\ACAD-7001:804\\Profiles\\Second";
  seeder.SetText(kHkeyCurrentUser, tools, "TRUSTEDPATHS", "c:\\tools");
  seeder.SetText(kHkeyCurrentUser, fresh, "Other", "x");

  CAcadInstallInfo info{win32.services};
  info.m_arrProductKey[2].push_back(wowProduct);
  info.m_arrAcadLocation[2].push_back("C:\\Acad2009");
  info.m_arrProductKey[4].push_back(product);
  info.m_arrAcadLocation[4].push_back("C:\\Acad2011");
  info.SetInstallDir("C:\\Vortel\\V-Trelmox");
  acad::ReleaseTicks ticks{};
  ticks[2] = ticks[4] = 1;
  EXPECT_TRUE(info.RegisterLoaders(ticks, 64));

  const auto loader = seeder.Read(kHkeyLocalMachine, product + "Applications\\Vortel2011", "LOADER");
  EXPECT_EQ(loader.type, kRegSz);
  EXPECT_EQ(loader.data.back(), 0);
  EXPECT_EQ(loader.Text(), "C:\\Vortel\\V-Trelmox\\Vortel2010.ARX");
  const auto controls = seeder.Read(kHkeyLocalMachine, product + "Applications\\Vortel2011", "LOADCTRLS");
  EXPECT_EQ(controls.type, kRegDword);
  EXPECT_EQ(controls.data, (std::vector<std::uint8_t>{2, 0, 0, 0}));
  EXPECT_FALSE(seeder.Read(kHkeyLocalMachine, product + "Applications\\Vortel2011", "DESCRIPTION").found);
  EXPECT_EQ(seeder.Read(kHkeyLocalMachine, wowProduct + "Applications\\Vortel2009", "LOADER").Text(),
            "C:\\Vortel\\V-Trelmox\\Vortel2009.ARX");
  EXPECT_EQ(seeder.Read(kHkeyLocalMachine, wowProduct + "Applications\\Vortel2008", "LOADER").Text(),
            "C:\\Vortel\\V-Trelmox\\Vortel2008.ARX");

  const auto trusted = seeder.Read(kHkeyCurrentUser, tools, "TRUSTEDPATHS");
  EXPECT_EQ(trusted.type, kRegSz);
  EXPECT_EQ(trusted.Text(), "C:\\TOOLS;C:\\VORTEL\\V-TRELMOX");
  EXPECT_EQ(seeder.Read(kHkeyCurrentUser, fresh + "\\Variables", "TRUSTEDPATHS").Text(),
            "C:\\Vortel\\V-Trelmox");
}

}  // namespace
