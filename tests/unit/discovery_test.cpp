// Finding AutoCAD installations in the machine-wide registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acad/install_info.h"
#include "support/fake_services.h"

using platform::kHkeyLocalMachine;

namespace {

const std::string kNativeRoot = "SOFTWARE\\Autodesk\\AutoCAD\\";
const std::string kWowRoot = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\";

class Discovery : public ::testing::Test {
 protected:
  // An installation: a key that holds both values.
  void AddInstall(const std::string& keyPath, const std::string& folder,
                  const std::string& productName) {
    world.registry.SetString(kHkeyLocalMachine, keyPath, "AcadLocation", folder);
    world.registry.SetString(kHkeyLocalMachine, keyPath, "ProductName", productName);
  }

  CAcadInstallInfo& Scan() {
    info.ScanInstalledReleases();
    EXPECT_EQ(world.registry.OpenHandleCount(), 0);
    return info;
  }

  const acad::StringList& Folders(int year) { return info.m_arrAcadLocation[acad::ReleaseIndex(year)]; }
  const acad::StringList& Keys(int year) { return info.m_arrProductKey[acad::ReleaseIndex(year)]; }

  int TotalFound() {
    int total = 0;
    for (int index = 0; index < acad::kReleaseCount; ++index) {
      EXPECT_EQ(info.m_arrAcadLocation[index].size(), info.m_arrProductKey[index].size());
      total += static_cast<int>(info.m_arrAcadLocation[index].size());
    }
    return total;
  }

  fakes::FakeServices world;
  CAcadInstallInfo info{world.services};
};

TEST_F(Discovery, NoAutoCadKeysLeaveEveryReleaseEmpty) {
  Scan();
  EXPECT_EQ(TotalFound(), 0);
  EXPECT_TRUE(info.m_strInstallDir.empty());
}

TEST_F(Discovery, NativeRootRecordsAnyReleaseWithItsKeyAndFolder) {
  AddInstall(kNativeRoot + "R20.1\\ACAD-F001:804", "C:\\Program Files\\AutoCAD 2016\\",
             "AutoCAD 2016 - \xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4");
  AddInstall(kNativeRoot + "R26.0\\ACAD-9101:409", "D:\\Acad27", "AutoCAD 2027");
  Scan();
  EXPECT_EQ(Keys(2016), acad::StringList{kNativeRoot + "R20.1\\ACAD-F001:804\\"});
  EXPECT_EQ(Folders(2016), acad::StringList{"C:\\Program Files\\AutoCAD 2016"});
  EXPECT_EQ(Folders(2027), acad::StringList{"D:\\Acad27"});
  EXPECT_EQ(TotalFound(), 2);
}

TEST_F(Discovery, ThirtyTwoBitRootRecordsOnlyUpTo2010AndComesFirst) {
  AddInstall(kWowRoot + "R17.2\\ACAD-7001:804", "C:\\Acad2009", "AutoCAD 2009");
  AddInstall(kWowRoot + "R18.1\\ACAD-A001:804", "C:\\Acad2011", "AutoCAD 2011");
  AddInstall(kNativeRoot + "R17.2\\ACAD-7001:804", "C:\\Acad2009", "AutoCAD 2009");
  Scan();
  EXPECT_EQ(Keys(2009), (acad::StringList{kWowRoot + "R17.2\\ACAD-7001:804\\",
                                          kNativeRoot + "R17.2\\ACAD-7001:804\\"}));
  EXPECT_EQ(Folders(2009), (acad::StringList{"C:\\Acad2009", "C:\\Acad2009"}));
  EXPECT_TRUE(Folders(2011).empty());
}

TEST_F(Discovery, ReleaseIsTheFirstYearOfTheTableFoundAfterTheFirstCharacter) {
  const std::pair<std::string, int> cases[] = {
      {"AutoCAD 2018 (for 2012 drawings)", 2012},  // the smaller year wins
      {"2010 AutoCAD", 0},                         // a leading year does not count
      {"2010 AutoCAD 2010", 0},                    // ... even when it occurs again
      {"2010 AutoCAD 2013", 2013},
      {"AutoCAD", 0},
      {"AutoCAD 2006", 0},
      {"AutoCAD 2028", 0},
      {"X2007", 2007},
      {"", 0},
  };
  for (const auto& [name, year] : cases) {
    EXPECT_EQ(acad::ReleaseOfProductName(name, acad::kLastReleaseYear), year) << name;
  }
  EXPECT_EQ(acad::ReleaseOfProductName("AutoCAD 2011 2009", acad::kLastReleaseOf32BitRoot), 2009);
  EXPECT_EQ(acad::ReleaseOfProductName("AutoCAD 2011", acad::kLastReleaseOf32BitRoot), 0);
}

TEST_F(Discovery, BothValuesMustSitOnOneKeyFoundByADepthFirstSearch) {
  // On the release key itself: recorded with the prefix alone.
  AddInstall(kNativeRoot + "R19.0", "C:\\Acad2013", "AutoCAD 2013");
  // Deeply nested, and two products below one release key in enumeration order.
  AddInstall(kNativeRoot + "R20.0\\ZZ\\Level2\\Level3\\ACAD", "C:\\Second", "AutoCAD 2015");
  AddInstall(kNativeRoot + "R20.0\\aa", "C:\\First", "AutoCAD 2015");
  // The values on a key and its subkey: not an installation.
  world.registry.SetString(kHkeyLocalMachine, kNativeRoot + "R21.0\\Outer", "AcadLocation", "C:\\X");
  world.registry.SetString(kHkeyLocalMachine, kNativeRoot + "R21.0\\Outer\\Inner", "ProductName",
                           "AutoCAD 2017");
  // A key holding ProductName hides its subtree from that search.
  world.registry.SetString(kHkeyLocalMachine, kNativeRoot + "R22.0", "ProductName", "AutoCAD 2018");
  AddInstall(kNativeRoot + "R22.0\\Hidden", "C:\\Hidden", "AutoCAD 2018");
  Scan();
  EXPECT_EQ(Keys(2013), acad::StringList{kNativeRoot + "R19.0\\"});
  EXPECT_EQ(Keys(2015), (acad::StringList{kNativeRoot + "R20.0\\aa\\",
                                          kNativeRoot + "R20.0\\ZZ\\Level2\\Level3\\ACAD\\"}));
  EXPECT_EQ(Folders(2015), (acad::StringList{"C:\\First", "C:\\Second"}));
  EXPECT_EQ(TotalFound(), 3);
}

TEST_F(Discovery, ValuesAreReadAsTextWhateverTheirTypeWithinTheirBuffer) {
  const std::string key = kNativeRoot + "R23.0\\P";
  world.registry.SetString(kHkeyLocalMachine, key, "AcadLocation", "%ProgramFiles%\\Acad\\",
                           platform::kRegExpandSz);
  world.registry.SetRaw(kHkeyLocalMachine, key, "ProductName", platform::kRegBinary,
                        {'A', 'C', ' ', '2', '0', '1', '9', 0, '2', '0', '0', '7'});
  // 520 bytes without a NUL fit the buffer exactly and are taken whole.
  const std::string longFolder(520, 'F');
  world.registry.SetRaw(kHkeyLocalMachine, kNativeRoot + "R24.0\\P", "AcadLocation",
                        platform::kRegSz, std::vector<std::uint8_t>(longFolder.begin(), longFolder.end()));
  world.registry.SetString(kHkeyLocalMachine, kNativeRoot + "R24.0\\P", "ProductName", "AutoCAD 2020");
  Scan();
  EXPECT_EQ(Folders(2019), acad::StringList{"%ProgramFiles%\\Acad"});
  EXPECT_TRUE(Folders(2007).empty());  // the text ends at the first NUL
  EXPECT_EQ(Folders(2020), acad::StringList{longFolder});
}

TEST_F(Discovery, EveryRegistryFaultNarrowsOnlyWhatItTouches) {
  auto& registry = world.registry;
  AddInstall(kNativeRoot + "A\\P", "C:\\A", "AutoCAD 2011");
  AddInstall(kNativeRoot + "B\\P", "C:\\B", "AutoCAD 2012");
  AddInstall(kNativeRoot + "C\\P", "C:\\C", "AutoCAD 2013");
  AddInstall(kNativeRoot + "D\\P", "C:\\D", "AutoCAD 2014");
  AddInstall(kNativeRoot + "E\\P", "C:\\E", "AutoCAD 2015");
  AddInstall(kNativeRoot + "E\\Q", "C:\\E2", "AutoCAD 2015");
  AddInstall(kNativeRoot + "F\\P\\Deeper", "C:\\F2", "AutoCAD 2016");
  registry.Faults(kHkeyLocalMachine, kNativeRoot + "A").failOpen = true;        // release key
  registry.Faults(kHkeyLocalMachine, kNativeRoot + "B\\P").failOpen = true;     // product key
  registry.Faults(kHkeyLocalMachine, kNativeRoot + "C").failSubKeyCount = true;
  registry.Faults(kHkeyLocalMachine, kNativeRoot).failEnumIndexes = {3};        // "D"
  registry.Faults(kHkeyLocalMachine, kNativeRoot + "E").failEnumIndexes = {0};  // "P"
  // An oversized value counts as missing: the search goes on below that key.
  registry.SetString(kHkeyLocalMachine, kNativeRoot + "F\\P", "AcadLocation", std::string(520, 'x'));
  Scan();
  EXPECT_EQ(TotalFound(), 2);
  EXPECT_EQ(Folders(2015), acad::StringList{"C:\\E2"});
  EXPECT_EQ(Keys(2016), acad::StringList{kNativeRoot + "F\\P\\Deeper\\"});
}

TEST_F(Discovery, UnreadableRootsAndMachineKeyContributeNothing) {
  AddInstall(kWowRoot + "R17.0\\P", "C:\\Wow", "AutoCAD 2007");
  AddInstall(kNativeRoot + "R17.0\\P", "C:\\Native", "AutoCAD 2007");
  world.registry.Faults(kHkeyLocalMachine, kWowRoot).failOpen = true;
  Scan();
  EXPECT_EQ(Folders(2007), acad::StringList{"C:\\Native"});

  CAcadInstallInfo again{world.services};
  world.registry.Faults(kHkeyLocalMachine, kNativeRoot).failSubKeyCount = true;
  again.ScanInstalledReleases();
  EXPECT_TRUE(again.m_arrAcadLocation[0].empty());

  CAcadInstallInfo blind{world.services};
  world.registry.Faults(kHkeyLocalMachine, "").failOpen = true;
  blind.ScanInstalledReleases();
  EXPECT_TRUE(blind.m_arrAcadLocation[0].empty());
  EXPECT_EQ(world.registry.OpenHandleCount(), 0);
}

TEST_F(Discovery, FolderLosesOneTrailingBackslashCountedByCharacters) {
  const std::string shallow = "\x9C\x5C";  // 淺
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\Acad\\", "C:\\Acad"},
      {"C:\\Acad\\\\", "C:\\Acad\\"},
      {"\\", "\\"},
      {"C:\\", "C:"},
      {"", ""},
      {"D:\\" + shallow, "D:\\" + shallow},
      {"D:\\" + shallow + "\\", "D:\\" + shallow},
  };
  for (const auto& [text, expected] : cases) {
    std::string folder = text;
    acad::StripTrailingBackslash(folder, platform::IsCp936LeadByte);
    EXPECT_EQ(folder, expected) << text;
  }
  AddInstall(kNativeRoot + "R18.0\\P", "D:\\" + shallow, "AutoCAD 2010");
  Scan();
  EXPECT_EQ(Folders(2010), acad::StringList{"D:\\" + shallow});
}

TEST_F(Discovery, ListOpenableSubKeysAppendsOnlyWhatOpens) {
  const std::string profiles = "Software\\Profiles";
  for (const char* name : {"b", "a", "c"}) world.registry.AddKey(kHkeyLocalMachine, profiles + "\\" + name);
  world.registry.Faults(kHkeyLocalMachine, profiles + "\\b").failOpen = true;
  platform::ScopedRegKey key(world.registry);
  ASSERT_EQ(world.registry.OpenKey(kHkeyLocalMachine, profiles.c_str(), key.Receive()), 0);
  acad::StringList list{"earlier"};
  acad::ListOpenableSubKeys(world.registry, key.Get(), list);
  EXPECT_EQ(list, (acad::StringList{"earlier", "a", "c"}));
  key.Reset();
  EXPECT_EQ(world.registry.OpenHandleCount(), 0);
}

TEST(InstallRecord, SetInstallDirDropsOneTrailingBackslash) {
  fakes::FakeServices world;
  CAcadInstallInfo info{world.services};
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\Vortel\\V-Trelmox\\", "C:\\Vortel\\V-Trelmox"},
      {"C:\\Vortel\\\\", "C:\\Vortel\\"},
      {"C:\\Vortel", "C:\\Vortel"},
      {"", ""},
      {"D:\\\x9C\x5C", "D:\\\x9C\x5C"},
  };
  for (const auto& [path, stored] : cases) {
    info.SetInstallDir(path);
    EXPECT_EQ(info.m_strInstallDir, stored) << path;
  }
}

}  // namespace
