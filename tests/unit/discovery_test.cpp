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
const std::string kShallow = "\x9C\x5C";  // 淺: its trail byte is a backslash

class Discovery : public ::testing::Test {
 protected:
  // An installation: a key that holds both values.
  void AddInstall(const std::string& keyPath, const std::string& folder,
                  const std::string& productName) {
    world.registry.SetString(kHkeyLocalMachine, keyPath, "AcadLocation", folder);
    world.registry.SetString(kHkeyLocalMachine, keyPath, "ProductName", productName);
  }

  // Scans and counts the installations recorded.
  int Scan() {
    info.ScanInstalledReleases();
    EXPECT_EQ(world.registry.OpenHandleCount(), 0);
    int total = 0;
    for (int index = 0; index < acad::kReleaseCount; ++index) {
      EXPECT_EQ(info.m_arrAcadLocation[index].size(), info.m_arrProductKey[index].size());
      total += static_cast<int>(info.m_arrAcadLocation[index].size());
    }
    return total;
  }

  const acad::StringList& Folders(int year) { return info.m_arrAcadLocation[year - 2007]; }
  const acad::StringList& Keys(int year) { return info.m_arrProductKey[year - 2007]; }

  fakes::FakeServices world;
  CAcadInstallInfo info{world.services};
};

TEST_F(Discovery, ThirtyTwoBitRootComesFirstAndCountsOnlyUpTo2010) {
  AddInstall(kWowRoot + "R17.2\\ACAD-7001:804", "C:\\Acad2009\\",
             "AutoCAD 2009 - \xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4");
  AddInstall(kWowRoot + "R18.1\\ACAD-A001:804", "C:\\Acad2011", "AutoCAD 2011");
  AddInstall(kNativeRoot + "R17.2\\ACAD-7001:804", "C:\\Acad2009", "AutoCAD 2009");
  AddInstall(kNativeRoot + "R26.0\\ACAD-9101:409", "D:\\Acad27", "AutoCAD 2027");
  EXPECT_EQ(Scan(), 3);
  EXPECT_EQ(Keys(2009), (acad::StringList{kWowRoot + "R17.2\\ACAD-7001:804\\",
                                          kNativeRoot + "R17.2\\ACAD-7001:804\\"}));
  EXPECT_EQ(Folders(2009), (acad::StringList{"C:\\Acad2009", "C:\\Acad2009"}));
  EXPECT_EQ(Folders(2027), acad::StringList{"D:\\Acad27"});
}

TEST(ReleaseOfProductName, FirstYearOfTheTableFoundAfterTheFirstCharacter) {
  const std::pair<std::string, int> cases[] = {
      {"AutoCAD 2018 (for 2012 drawings)", 2012},  // the smaller year wins
      {"2010 AutoCAD", 0},                         // a leading year does not count
      {"2010 AutoCAD 2010", 0},                    // ... even when it occurs again
      {"2010 AutoCAD 2013", 2013}, {"X2007", 2007}, {"AutoCAD 2006", 0},
      {"AutoCAD 2028", 0},         {"", 0},
  };
  for (const auto& [name, year] : cases) {
    EXPECT_EQ(acad::ReleaseOfProductName(name, acad::kLastReleaseYear), year) << name;
  }
  EXPECT_EQ(acad::ReleaseOfProductName("AutoCAD 2011 2009", 2010), 2009);
  EXPECT_EQ(acad::ReleaseOfProductName("AutoCAD 2011", 2010), 0);
}

TEST_F(Discovery, BothValuesMustSitOnOneKeyFoundByADepthFirstSearch) {
  // On the release key itself: recorded with the prefix alone.
  AddInstall(kNativeRoot + "R19.0", "C:\\Acad2013", "AutoCAD 2013");
  // Deeply nested, and two products below one release key in enumeration order.
  AddInstall(kNativeRoot + "R20.0\\ZZ\\Level2\\Level3\\ACAD", "C:\\Second", "AutoCAD 2015");
  AddInstall(kNativeRoot + "R20.0\\aa", "C:\\First", "AutoCAD 2015");
  // The values on a key and its subkey: not an installation.
  auto& registry = world.registry;
  registry.SetString(kHkeyLocalMachine, kNativeRoot + "R21.0\\Outer", "AcadLocation", "C:\\X");
  registry.SetString(kHkeyLocalMachine, kNativeRoot + "R21.0\\Outer\\Inner", "ProductName",
                     "AutoCAD 2017");
  // A key holding ProductName hides its subtree from that search.
  registry.SetString(kHkeyLocalMachine, kNativeRoot + "R22.0", "ProductName", "AutoCAD 2018");
  AddInstall(kNativeRoot + "R22.0\\Hidden", "C:\\Hidden", "AutoCAD 2018");
  EXPECT_EQ(Scan(), 3);
  EXPECT_EQ(Keys(2013), acad::StringList{kNativeRoot + "R19.0\\"});
  EXPECT_EQ(Keys(2015), (acad::StringList{kNativeRoot + "R20.0\\aa\\",
                                          kNativeRoot + "R20.0\\ZZ\\Level2\\Level3\\ACAD\\"}));
  EXPECT_EQ(Folders(2015), (acad::StringList{"C:\\First", "C:\\Second"}));
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
                        platform::kRegSz,
                        std::vector<std::uint8_t>(longFolder.begin(), longFolder.end()));
  world.registry.SetString(kHkeyLocalMachine, kNativeRoot + "R24.0\\P", "ProductName",
                           "AutoCAD 2020");
  EXPECT_EQ(Scan(), 2);  // not 2007: the text ends at the first NUL
  EXPECT_EQ(Folders(2019), acad::StringList{"%ProgramFiles%\\Acad"});
  EXPECT_EQ(Folders(2020), acad::StringList{longFolder});
}

TEST_F(Discovery, EveryRegistryFaultNarrowsOnlyWhatItTouches) {
  auto& registry = world.registry;
  for (const char* release : {"A", "B", "C", "D", "E"}) {
    AddInstall(kNativeRoot + release + "\\P", "C:\\" + std::string(release), "AutoCAD 2011");
  }
  AddInstall(kNativeRoot + "E\\Q", "C:\\E2", "AutoCAD 2015");
  AddInstall(kNativeRoot + "F\\P\\Deeper", "C:\\F2", "AutoCAD 2016");
  AddInstall(kWowRoot + "R17.0\\P", "C:\\Wow", "AutoCAD 2007");
  registry.Faults(kHkeyLocalMachine, kWowRoot).failOpen = true;
  registry.Faults(kHkeyLocalMachine, kNativeRoot + "A").failOpen = true;     // release key
  registry.Faults(kHkeyLocalMachine, kNativeRoot + "B\\P").failOpen = true;  // product key
  registry.Faults(kHkeyLocalMachine, kNativeRoot + "C").failSubKeyCount = true;
  registry.Faults(kHkeyLocalMachine, kNativeRoot).failEnumIndexes = {3};        // "D"
  registry.Faults(kHkeyLocalMachine, kNativeRoot + "E").failEnumIndexes = {0};  // "P"
  // An oversized value counts as missing: the search goes on below that key.
  registry.SetString(kHkeyLocalMachine, kNativeRoot + "F\\P", "AcadLocation",
                     std::string(520, 'x'));
  EXPECT_EQ(Scan(), 2);
  EXPECT_EQ(Folders(2015), acad::StringList{"C:\\E2"});
  EXPECT_EQ(Keys(2016), acad::StringList{kNativeRoot + "F\\P\\Deeper\\"});
}

TEST(TrailingBackslash, OneIsDroppedByCharactersAndAFolderFoundKeepsALoneOne) {
  const struct {
    std::string text, folderFound, installDir;
  } cases[] = {
      {"C:\\Acad\\", "C:\\Acad", "C:\\Acad"},
      {"C:\\Acad\\\\", "C:\\Acad\\", "C:\\Acad\\"},
      {"C:\\", "C:", "C:"},
      {"\\", "\\", ""},
      {"", "", ""},
      {"D:\\" + kShallow, "D:\\" + kShallow, "D:\\" + kShallow},
      {"D:\\" + kShallow + "\\", "D:\\" + kShallow, "D:\\" + kShallow},
  };
  fakes::FakeServices world;
  CAcadInstallInfo info{world.services};
  for (const auto& [text, folderFound, installDir] : cases) {
    std::string folder = text;
    acad::StripTrailingBackslash(folder, platform::IsCp936LeadByte);
    EXPECT_EQ(folder, folderFound) << text;
    info.SetInstallDir(text);
    EXPECT_EQ(info.m_strInstallDir, installDir) << text;
  }
}

}  // namespace
