// The fonts and the plot driver placed into the folders of the ticked AutoCAD installations.
#include <gtest/gtest.h>

#include <string>

#include "acad/install_info.h"
#include "support/fake_services.h"

using Names = std::vector<std::string>;

namespace {

class AcadFolderDeployment : public ::testing::Test {
 protected:
  void SetUp() override {
    world.files.modulePath = "D:\\pkg\\SetUp.exe";
    world.files.AddFile("D:\\pkg\\Data\\Vortel_EN.shx", "EN font");
    world.files.AddFile("D:\\pkg\\Data\\Vortel_HZ.shx", "HZ font");
    world.files.AddFile("D:\\pkg\\Data\\Vortel.prt5", "plot driver");
  }

  // An installation of `year` in `folder`, with its Fonts and Drv folders.
  void AddInstall(int year, const std::string& folder) {
    world.files.AddFile(folder + "\\Fonts\\txt.shx", "AutoCAD font");
    world.files.AddFile(folder + "\\Drv\\pdfplot9.hdi", "AutoCAD driver");
    info.m_arrAcadLocation[acad::ReleaseIndex(year)].push_back(folder);
  }

  void Deploy(std::initializer_list<int> years) {
    acad::ReleaseTicks ticks{};
    for (int year : years) ticks[acad::ReleaseIndex(year)] = 1;
    info.DeployToAcadFolders(ticks);
    EXPECT_EQ(world.files.OpenFindCount(), 0);
  }

  std::string Contents(const std::string& path) {
    return world.files.Contents(path).value_or("<none>");
  }

  fakes::FakeServices world;
  CAcadInstallInfo info{world.services};
};

TEST_F(AcadFolderDeployment, FontsGoToEveryTickedInstallationAndTheDriverTo2008Only) {
  for (int year : {2007, 2008, 2009, 2010}) AddInstall(year, "C:\\A" + std::to_string(year));
  AddInstall(2008, "C:\\A2008 Second");
  Deploy({});
  EXPECT_EQ(world.files.Names("C:\\A2008\\Fonts"), Names{"txt.shx"}) << "nothing ticked";
  Deploy({2007, 2008, 2009});
  for (const char* folder : {"C:\\A2007", "C:\\A2008", "C:\\A2008 Second", "C:\\A2009"}) {
    EXPECT_EQ(Contents(std::string(folder) + "\\Fonts\\Vortel_EN.shx"), "EN font") << folder;
    EXPECT_EQ(Contents(std::string(folder) + "\\Fonts\\Vortel_HZ.shx"), "HZ font") << folder;
    const bool is2008 = std::string(folder).find("2008") != std::string::npos;
    EXPECT_EQ(Contents(std::string(folder) + "\\Drv\\pdfplot9.hdi"),
              is2008 ? "plot driver" : "AutoCAD driver") << folder;
  }
  EXPECT_EQ(world.files.Names("C:\\A2010\\Fonts"), Names{"txt.shx"});
  EXPECT_EQ(world.files.Names("C:\\A2008\\Drv"), Names{"pdfplot9.hdi"});
  EXPECT_TRUE(world.desktop.shown.empty());
}

TEST_F(AcadFolderDeployment, FailedCopiesAreSilentAndNothingIsCreated) {
  AddInstall(2008, "C:\\ReadOnly");
  world.files.AddFile("C:\\ReadOnly\\Fonts\\Vortel_EN.shx", "old",
                      platform::kFileAttributeReadOnly);
  info.m_arrAcadLocation[1].push_back("C:\\NoFolders");
  world.files.AddFolder("C:\\NoFolders");
  // A folder whose Fonts path (260 bytes) would not fit its buffer, though its Drv path does.
  const std::string deep = "C:\\" + std::string(251, 'd');
  AddInstall(2008, deep);
  Deploy({2008});
  EXPECT_EQ(Contents("C:\\ReadOnly\\Fonts\\Vortel_EN.shx"), "old");
  EXPECT_EQ(Contents("C:\\ReadOnly\\Fonts\\Vortel_HZ.shx"), "HZ font");
  EXPECT_EQ(Contents("C:\\ReadOnly\\Drv\\pdfplot9.hdi"), "plot driver");
  EXPECT_TRUE(world.files.Names("C:\\NoFolders").empty());
  EXPECT_EQ(world.files.Names(deep + "\\Fonts"), Names{"txt.shx"});
  EXPECT_EQ(Contents(deep + "\\Drv\\pdfplot9.hdi"), "plot driver");
  EXPECT_TRUE(world.desktop.shown.empty());

  // Without its package, each folder reports it.
  world.files.modulePath = "E:\\elsewhere\\SetUp.exe";
  Deploy({2007, 2008});
  EXPECT_EQ(world.desktop.shown.size(), 3u);
}

}  // namespace
