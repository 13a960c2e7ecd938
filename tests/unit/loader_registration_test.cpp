// Demand-load entries beneath the AutoCAD product keys of the ticked releases.
#include <gtest/gtest.h>

#include <string>

#include "acad/install_info.h"
#include "support/fake_services.h"

using platform::kHkeyLocalMachine;

namespace {

const std::string kFolder = "C:\\Vortel\\V-Trelmox";

class LoaderRegistration : public ::testing::Test {
 protected:
  // A product key of `year` as the discovery scan records it.
  std::string AddProduct(int year, const std::string& name) {
    const std::string path = "SOFTWARE\\Autodesk\\AutoCAD\\R\\" + name + "\\";
    world.registry.AddKey(kHkeyLocalMachine, path);
    info.m_arrProductKey[acad::ReleaseIndex(year)].push_back(path);
    info.m_arrAcadLocation[acad::ReleaseIndex(year)].push_back("C:\\Acad\\" + name);
    return path;
  }

  acad::ReleaseTicks Ticks(std::initializer_list<int> years) {
    acad::ReleaseTicks ticks{};
    for (int year : years) ticks[acad::ReleaseIndex(year)] = 1;
    return ticks;
  }

  std::string Loader(const std::string& product, const std::string& entry) {
    const auto value = world.registry.GetValue(kHkeyLocalMachine, product + "Applications\\" + entry, "LOADER");
    if (!value) return "<none>";
    EXPECT_EQ(value->type, platform::kRegSz);
    EXPECT_EQ(value->data.back(), 0);  // stored with its NUL
    return value->Text();
  }

  std::vector<std::string> Entries(const std::string& product) {
    return world.registry.SubKeyNames(kHkeyLocalMachine, product + "Applications");
  }

  fakes::FakeServices world;
  CAcadInstallInfo info{world.services};
};

TEST_F(LoaderRegistration, EveryReleaseNamesItsLoaderUnderAnEntryOfItsOwnYear) {
  const int loaderYears[acad::kReleaseCount] = {2008, 2008, 2009, 2010, 2010, 2010, 2013,
                                                2013, 2015, 2015, 2017, 2018, 2019, 2019,
                                                2021, 2021, 2021, 2021, 2025, 2025, 2027};
  acad::ReleaseTicks all{};
  all.fill(1);
  std::vector<std::string> products;
  for (int index = 0; index < acad::kReleaseCount; ++index) {
    products.push_back(AddProduct(acad::ReleaseYear(index), "P" + std::to_string(index)));
  }
  info.SetInstallDir(kFolder);
  EXPECT_TRUE(info.RegisterLoaders(all, 32));
  for (int index = 0; index < acad::kReleaseCount; ++index) {
    const int year = acad::ReleaseYear(index);
    const std::string entry = "Vortel" + std::to_string(year);
    EXPECT_EQ(Entries(products[index]), std::vector<std::string>{entry});
    EXPECT_EQ(Loader(products[index], entry),
              kFolder + "\\Vortel" + std::to_string(loaderYears[index]) + ".ARX") << year;
    const auto controls = world.registry.GetValue(kHkeyLocalMachine,
                                                  products[index] + "Applications\\" + entry, "LOADCTRLS");
    ASSERT_TRUE(controls);
    EXPECT_EQ(controls->type, platform::kRegDword);
    EXPECT_EQ(controls->data, (std::vector<std::uint8_t>{2, 0, 0, 0}));
  }
  EXPECT_EQ(world.registry.OpenHandleCount(), 0);
}

TEST_F(LoaderRegistration, OnlyTickedReleasesAndEveryProductKeyOfThem) {
  const std::string first = AddProduct(2011, "ACAD-A001:804");
  const std::string second = AddProduct(2011, "ACAD-A001:409");
  const std::string unticked = AddProduct(2012, "ACAD-B001:804");
  info.SetInstallDir(kFolder);
  EXPECT_TRUE(info.RegisterLoaders(Ticks({2011, 2013}), 32));  // 2013 has no product: nothing
  EXPECT_EQ(Loader(first, "Vortel2011"), kFolder + "\\Vortel2010.ARX");
  EXPECT_EQ(Loader(second, "Vortel2011"), kFolder + "\\Vortel2010.ARX");
  EXPECT_TRUE(Entries(unticked).empty());

  // Years outside the table write nothing and count as nothing left unwritten.
  EXPECT_TRUE(info.RegisterLoader(2006, 32));
  EXPECT_TRUE(info.RegisterLoader(2028, 32));
  EXPECT_TRUE(info.RegisterLoaders(acad::ReleaseTicks{}, 32));
}

TEST_F(LoaderRegistration, SixtyFourBitPackagesAddTheExtraEntriesOf2009And2010) {
  const std::string p2009 = AddProduct(2009, "ACAD-7001:804");
  const std::string p2010 = AddProduct(2010, "ACAD-8001:804");
  const std::string p2011 = AddProduct(2011, "ACAD-9001:804");
  info.SetInstallDir(kFolder);
  EXPECT_TRUE(info.RegisterLoaders(Ticks({2009, 2010, 2011}), 32));
  EXPECT_EQ(Entries(p2009), std::vector<std::string>{"Vortel2009"});
  EXPECT_EQ(Entries(p2010), std::vector<std::string>{"Vortel2010"});

  EXPECT_TRUE(info.RegisterLoaders(Ticks({2009, 2010, 2011}), 64));
  EXPECT_EQ(Entries(p2009), (std::vector<std::string>{"Vortel2008", "Vortel2009"}));
  EXPECT_EQ(Loader(p2009, "Vortel2008"), kFolder + "\\Vortel2008.ARX");
  EXPECT_EQ(Entries(p2010), (std::vector<std::string>{"Vortel2010", "Vortel2010_32"}));
  EXPECT_EQ(Loader(p2010, "Vortel2010_32"), kFolder + "\\Vortel2010_32.ARX");
  EXPECT_EQ(Entries(p2011), std::vector<std::string>{"Vortel2011"});
}

TEST_F(LoaderRegistration, AnEarlierEntryIsReplacedOrReusedWhenItHasSubkeys) {
  const std::string plain = AddProduct(2015, "Plain");
  const std::string nested = AddProduct(2016, "Nested");
  world.registry.SetString(kHkeyLocalMachine, plain + "Applications\\Vortel2015", "LOADER", "D:\\Old\\x.ARX");
  world.registry.SetString(kHkeyLocalMachine, plain + "Applications\\Vortel2015", "DESCRIPTION", "old");
  world.registry.SetString(kHkeyLocalMachine, nested + "Applications\\Vortel2016", "DESCRIPTION", "kept");
  world.registry.AddKey(kHkeyLocalMachine, nested + "Applications\\Vortel2016\\Commands");
  info.SetInstallDir("E:\\New\\V-Trelmox");
  EXPECT_TRUE(info.RegisterLoaders(Ticks({2015, 2016}), 32));
  EXPECT_EQ(world.registry.ValueNames(kHkeyLocalMachine, plain + "Applications\\Vortel2015"),
            (std::vector<std::string>{"LOADCTRLS", "LOADER"}));
  EXPECT_EQ(Loader(plain, "Vortel2015"), "E:\\New\\V-Trelmox\\Vortel2015.ARX");
  EXPECT_EQ(world.registry.ValueNames(kHkeyLocalMachine, nested + "Applications\\Vortel2016"),
            (std::vector<std::string>{"DESCRIPTION", "LOADCTRLS", "LOADER"}));
}

TEST_F(LoaderRegistration, EveryEntryNotWrittenIsReportedWhileTheRestIsStillWritten) {
  const std::string locked = AddProduct(2013, "Locked");
  const std::string readOnly = AddProduct(2014, "ReadOnly");
  const std::string fine = AddProduct(2014, "Fine");
  info.m_arrProductKey[acad::ReleaseIndex(2014)].push_back("SOFTWARE\\Gone\\");
  info.m_arrAcadLocation[acad::ReleaseIndex(2014)].push_back("C:\\Gone");
  world.registry.Faults(kHkeyLocalMachine, locked).failOpen = true;
  world.registry.Faults(kHkeyLocalMachine, readOnly).denyWrite = true;
  world.registry.SetString(platform::kHkeyCurrentUser,
                           "SOFTWARE\\Autodesk\\AutoCAD\\R\\P\\Profiles\\Default\\Variables",
                           "TRUSTEDPATHS", "");
  info.SetInstallDir(kFolder);
  EXPECT_FALSE(info.RegisterLoaders(Ticks({2013, 2014}), 32));
  EXPECT_EQ(Loader(fine, "Vortel2014"), kFolder + "\\Vortel2013.ARX");
  EXPECT_TRUE(Entries(readOnly).empty());
  // The trusted paths are updated all the same.
  EXPECT_EQ(world.registry.GetValue(platform::kHkeyCurrentUser,
                                    "SOFTWARE\\Autodesk\\AutoCAD\\R\\P\\Profiles\\Default\\Variables",
                                    "TRUSTEDPATHS")->Text(), kFolder);

  // A value that cannot be set counts too.
  world.registry.Faults(kHkeyLocalMachine, fine + "Applications\\Vortel2014").denyWrite = true;
  EXPECT_FALSE(info.RegisterLoader(2014, 32));
  EXPECT_EQ(world.registry.OpenHandleCount(), 0);
}

TEST_F(LoaderRegistration, AFolderTooLongForTheLoaderTextLeavesTheOldEntryAlone) {
  const std::string product = AddProduct(2010, "P");
  world.registry.SetString(kHkeyLocalMachine, product + "Applications\\Vortel2010", "LOADER", "C:\\Old\\Vortel2010.ARX");
  // 244 characters fit "\Vortel2010.ARX"; the "_32" entry needs three more.
  info.SetInstallDir("C:\\" + std::string(241, 'd'));
  EXPECT_TRUE(info.RegisterLoader(2010, 32));
  EXPECT_EQ(Loader(product, "Vortel2010").size(), 259u);
  EXPECT_FALSE(info.RegisterLoader(2010, 64));
  EXPECT_EQ(Entries(product), std::vector<std::string>{"Vortel2010"});

  info.SetInstallDir("C:\\" + std::string(242, 'd'));
  EXPECT_FALSE(info.RegisterLoader(2010, 32));
  EXPECT_EQ(Loader(product, "Vortel2010").size(), 259u);  // the previous entry, untouched
}

}  // namespace
