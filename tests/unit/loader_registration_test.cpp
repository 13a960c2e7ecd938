// Demand-load entries beneath the AutoCAD product keys of the ticked releases.
#include <gtest/gtest.h>

#include <string>

#include "acad/install_info.h"
#include "support/fake_services.h"

using platform::kHkeyLocalMachine;
using Names = std::vector<std::string>;

namespace {

const std::string kFolder = "C:\\Vortel\\V-Trelmox";
const std::string kProfile = "SOFTWARE\\Autodesk\\AutoCAD\\R\\P\\Profiles\\Default\\Variables";

class LoaderRegistration : public ::testing::Test {
 protected:
  void SetUp() override {
    info.SetInstallDir(kFolder);
    world.registry.SetString(platform::kHkeyCurrentUser, kProfile, "TRUSTEDPATHS", "");
  }

  // A product key of `year` as the discovery scan records it.
  std::string AddProduct(int year, const std::string& name) {
    const std::string path = "SOFTWARE\\Autodesk\\AutoCAD\\R\\" + name + "\\";
    world.registry.AddKey(kHkeyLocalMachine, path);
    info.m_arrProductKey[acad::ReleaseIndex(year)].push_back(path);
    return path;
  }

  bool Register(std::initializer_list<int> years, int bits = 32) {
    acad::ReleaseTicks ticks{};
    for (int year : years) ticks[acad::ReleaseIndex(year)] = 1;
    const bool written = info.RegisterLoaders(ticks, bits);
    EXPECT_EQ(world.registry.OpenHandleCount(), 0);
    return written;
  }

  // An entry's LOADER text, which must be a string stored with its NUL.
  std::string Loader(const std::string& product, const std::string& entry) {
    const auto value =
        world.registry.GetValue(kHkeyLocalMachine, product + "Applications\\" + entry, "LOADER");
    if (!value) return "<none>";
    EXPECT_EQ(value->type, platform::kRegSz);
    EXPECT_EQ(value->data.back(), 0);
    return value->Text();
  }

  // The trusted paths of the user's one profile, which start empty.
  std::string TrustedPaths() {
    return world.registry.GetValue(platform::kHkeyCurrentUser, kProfile, "TRUSTEDPATHS")->Text();
  }

  Names Entries(const std::string& product) {
    return world.registry.SubKeyNames(kHkeyLocalMachine, product + "Applications");
  }

  fakes::FakeServices world;
  CAcadInstallInfo info{world.services};
};

TEST_F(LoaderRegistration, EveryReleaseNamesItsLoaderUnderAnEntryOfItsOwnYear) {
  const int loaderYears[acad::kReleaseCount] = {2008, 2008, 2009, 2010, 2010, 2010, 2013,
                                                2013, 2015, 2015, 2017, 2018, 2019, 2019,
                                                2021, 2021, 2021, 2021, 2025, 2025, 2027};
  std::vector<std::string> products;
  for (int index = 0; index < acad::kReleaseCount; ++index) {
    products.push_back(AddProduct(acad::ReleaseYear(index), "P" + std::to_string(index)));
  }
  acad::ReleaseTicks all{};
  all.fill(1);
  EXPECT_TRUE(info.RegisterLoaders(all, 32));
  for (int index = 0; index < acad::kReleaseCount; ++index) {
    const std::string entry = "Vortel" + std::to_string(acad::ReleaseYear(index));
    EXPECT_EQ(Entries(products[index]), Names{entry});
    EXPECT_EQ(Loader(products[index], entry),
              kFolder + "\\Vortel" + std::to_string(loaderYears[index]) + ".ARX");
    const auto controls = world.registry.GetValue(
        kHkeyLocalMachine, products[index] + "Applications\\" + entry, "LOADCTRLS");
    ASSERT_TRUE(controls);
    EXPECT_EQ(controls->type, platform::kRegDword);
    EXPECT_EQ(controls->data, (std::vector<std::uint8_t>{2, 0, 0, 0}));
  }
}

TEST_F(LoaderRegistration, OnlyTickedReleasesEveryProductKeyOfThemAndYearsInTheTable) {
  EXPECT_TRUE(Register({}));
  EXPECT_EQ(TrustedPaths(), kFolder) << "nothing ticked still trusts the folder";
  const std::string first = AddProduct(2011, "ACAD-A001:804");
  const std::string second = AddProduct(2011, "ACAD-A001:409");
  const std::string unticked = AddProduct(2012, "ACAD-B001:804");
  EXPECT_TRUE(Register({2011, 2013}));  // 2013 has no product key: nothing
  EXPECT_EQ(Loader(first, "Vortel2011"), kFolder + "\\Vortel2010.ARX");
  EXPECT_EQ(Loader(second, "Vortel2011"), kFolder + "\\Vortel2010.ARX");
  EXPECT_TRUE(Entries(unticked).empty());
  // Years outside the table write nothing and count as nothing left unwritten.
  EXPECT_TRUE(info.RegisterLoader(2006, 32));
  EXPECT_TRUE(info.RegisterLoader(2028, 32));
}

TEST_F(LoaderRegistration, SixtyFourBitPackagesAddTheExtraEntriesOf2009And2010) {
  const std::string p2009 = AddProduct(2009, "ACAD-7001:804");
  const std::string p2010 = AddProduct(2010, "ACAD-8001:804");
  const std::string p2011 = AddProduct(2011, "ACAD-9001:804");
  EXPECT_TRUE(Register({2009, 2010, 2011}));
  EXPECT_EQ(Entries(p2009), Names{"Vortel2009"});
  EXPECT_EQ(Entries(p2010), Names{"Vortel2010"});

  EXPECT_TRUE(Register({2009, 2010, 2011}, 64));
  EXPECT_EQ(Entries(p2009), (Names{"Vortel2008", "Vortel2009"}));
  EXPECT_EQ(Loader(p2009, "Vortel2008"), kFolder + "\\Vortel2008.ARX");
  EXPECT_EQ(Entries(p2010), (Names{"Vortel2010", "Vortel2010_32"}));
  EXPECT_EQ(Loader(p2010, "Vortel2010_32"), kFolder + "\\Vortel2010_32.ARX");
  EXPECT_EQ(Entries(p2011), Names{"Vortel2011"});
}

TEST_F(LoaderRegistration, AnEarlierEntryIsReplacedOrReusedWhenItHasSubkeys) {
  const std::string plain = AddProduct(2015, "Plain") + "Applications\\Vortel2015";
  const std::string nested = AddProduct(2016, "Nested") + "Applications\\Vortel2016";
  world.registry.SetString(kHkeyLocalMachine, plain, "LOADER", "D:\\Old\\x.ARX");
  world.registry.SetString(kHkeyLocalMachine, plain, "DESCRIPTION", "old");
  world.registry.SetString(kHkeyLocalMachine, nested, "DESCRIPTION", "kept");
  world.registry.AddKey(kHkeyLocalMachine, nested + "\\Commands");
  EXPECT_TRUE(Register({2015, 2016}));
  EXPECT_EQ(world.registry.ValueNames(kHkeyLocalMachine, plain), (Names{"LOADCTRLS", "LOADER"}));
  EXPECT_EQ(world.registry.ValueNames(kHkeyLocalMachine, nested),
            (Names{"DESCRIPTION", "LOADCTRLS", "LOADER"}));
}

TEST_F(LoaderRegistration, EveryEntryNotWrittenIsReportedWhileTheRestIsStillWritten) {
  const std::string locked = AddProduct(2013, "Locked");
  const std::string readOnly = AddProduct(2014, "ReadOnly");
  const std::string fine = AddProduct(2014, "Fine");
  world.registry.Faults(kHkeyLocalMachine, locked).failOpen = true;
  world.registry.Faults(kHkeyLocalMachine, readOnly).denyWrite = true;
  EXPECT_FALSE(Register({2013, 2014}));
  EXPECT_EQ(Loader(fine, "Vortel2014"), kFolder + "\\Vortel2013.ARX");
  EXPECT_TRUE(Entries(readOnly).empty());
  // The trusted paths are updated all the same.
  EXPECT_EQ(TrustedPaths(), kFolder);
  // Each fault alone counts: a missing product key, a value that cannot be set.
  world.registry.Faults(kHkeyLocalMachine, locked).failOpen = false;
  world.registry.Faults(kHkeyLocalMachine, readOnly).denyWrite = false;
  info.m_arrProductKey[acad::ReleaseIndex(2013)].push_back("SOFTWARE\\Gone\\");
  EXPECT_FALSE(Register({2013}));
  // (The entry is kept for its subkey, so that its fault outlives the delete.)
  world.registry.AddKey(kHkeyLocalMachine, fine + "Applications\\Vortel2014\\Commands");
  world.registry.Faults(kHkeyLocalMachine, fine + "Applications\\Vortel2014").denyWrite = true;
  EXPECT_FALSE(Register({2014}));
}

TEST_F(LoaderRegistration, AFolderTooLongForTheLoaderTextLeavesTheOldEntryAlone) {
  const std::string product = AddProduct(2010, "P");
  // 244 characters fit "\Vortel2010.ARX"; the "_32" entry needs three more.
  info.SetInstallDir("C:\\" + std::string(241, 'd'));
  EXPECT_TRUE(info.RegisterLoader(2010, 32));
  EXPECT_EQ(Loader(product, "Vortel2010").size(), 259u);
  EXPECT_FALSE(info.RegisterLoader(2010, 64));
  EXPECT_EQ(Entries(product), Names{"Vortel2010"});

  info.SetInstallDir("C:\\" + std::string(242, 'd'));
  EXPECT_FALSE(info.RegisterLoader(2010, 32));
  EXPECT_EQ(Loader(product, "Vortel2010").size(), 259u);  // the previous entry, untouched
}

}  // namespace
