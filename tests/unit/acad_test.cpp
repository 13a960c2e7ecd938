// Finding the AutoCAD installations in the machine-wide registry.
#include <gtest/gtest.h>

#include "acad/install_info.h"
#include "support/world.h"

using acad::StringList;
using fakes::kShallow;

namespace {

const std::string kNative = "SOFTWARE\\Autodesk\\AutoCAD\\";
const std::string kWow = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\";

class Discovery : public ::testing::Test {
 protected:
  // An installation: one key (below HKLM) that holds both values.
  void Add(const std::string& key, const std::string& folder, const std::string& name) {
    world.registry.Set("HKLM\\" + key, "AcadLocation", folder);
    world.registry.Set("HKLM\\" + key, "ProductName", name);
  }
  // Scans; the number of installations recorded.
  int Scan() {
    info.ScanInstalledReleases();
    EXPECT_TRUE(world.AllReleased());
    int total = 0;
    for (int index = 0; index < acad::kReleaseCount; ++index) {
      EXPECT_EQ(info.m_arrAcadLocation[index].size(), info.m_arrProductKey[index].size());
      total += static_cast<int>(info.m_arrAcadLocation[index].size());
    }
    return total;
  }
  const StringList& Folders(int year) { return info.m_arrAcadLocation[year - 2007]; }
  const StringList& Keys(int year) { return info.m_arrProductKey[year - 2007]; }

  fakes::World world;
  CAcadInstallInfo info{world.services};
};

TEST_F(Discovery, EachKeyHoldingBothValuesIsFiledUnderTheYearOfItsProductName) {
  Add(kWow + "R17.2\\ACAD-7001:804", "C:\\Acad2009\\", "AutoCAD 2009 - \xBC\xF2\xCC\xE5");
  Add(kWow + "R18.1\\ACAD-A001:804", "C:\\Acad2011", "AutoCAD 2011");  // too late for this root
  Add(kNative + "R17.2\\ACAD-7001:804", "C:\\Acad2009", "AutoCAD 2009");
  Add(kNative + "R26.0\\ACAD-9101:409", "D:\\Acad27", "AutoCAD 2027");
  Add(kNative + "R19.0", "C:\\Acad2013", "AutoCAD 2013");  // on the release key itself
  Add(kNative + "R20.0\\ZZ\\Level2\\Level3\\ACAD", "C:\\Second", "AutoCAD 2015");
  Add(kNative + "R20.0\\aa", "C:\\First", "AutoCAD 2015");
  // The values on a key and on its subkey: no installation.
  world.registry.Set("HKLM\\" + kNative + "R21.0\\Outer", "AcadLocation", "C:\\X");
  world.registry.Set("HKLM\\" + kNative + "R21.0\\Outer\\Inner", "ProductName", "AutoCAD 2017");
  // A key holding ProductName hides its subtree from that search.
  world.registry.Set("HKLM\\" + kNative + "R22.0", "ProductName", "AutoCAD 2018");
  Add(kNative + "R22.0\\Hidden", "C:\\Hidden", "AutoCAD 2018");
  // Values of any type are read as text up to their first NUL, within their 520 bytes.
  world.registry.Set("HKLM\\" + kNative + "R23.0\\P", "AcadLocation", "%ProgramFiles%\\A\\", platform::kRegExpandSz);
  world.registry.SetRaw("HKLM\\" + kNative + "R23.0\\P", "ProductName", platform::kRegBinary,
                        {'A', 'C', ' ', '2', '0', '1', '9', 0, '2', '0', '0', '7'});
  world.registry.SetRaw("HKLM\\" + kNative + "R24.0\\P", "AcadLocation", platform::kRegSz, fakes::Bytes(520, 'F'));
  world.registry.Set("HKLM\\" + kNative + "R24.0\\P", "ProductName", "AutoCAD 2020");
  Add(kNative + "R25.0\\P", "D:\\" + kShallow + "\\", "AutoCAD 2021");
  // The first year of the table found after the name's first character, up to the root's last.
  Add(kNative + "R26.0\\A", "C:\\A\\\\", "AutoCAD 2026 (for 2012 drawings)");
  Add(kNative + "R26.0\\B", "\\", "2010 AutoCAD");
  Add(kNative + "R26.0\\C", "\\", "X2007");
  Add(kWow + "R18.0\\D", "C:\\D", "AutoCAD 2011 2010");
  // What cannot be opened or listed hides only what lies below it; a value too large for its buffer counts as missing.
  const std::string faulty = "HKLM\\" + kNative + "R30.0\\";
  Add(kNative + "R30.0\\P", "C:\\Denied", "AutoCAD 2014");
  Add(kNative + "R30.0\\Q", "C:\\Q", "AutoCAD 2016");
  Add(kNative + "R30.0\\R\\S", "C:\\Unlisted", "AutoCAD 2014");
  Add(kNative + "R30.0\\T\\Deeper", "C:\\Deeper", "AutoCAD 2016");
  world.registry.Set(faulty + "T", "AcadLocation", std::string(520, 'x'));
  world.faults.Fail("OpenKeyEx", faulty + "P", platform::kErrorAccessDenied);
  world.faults.Fail("EnumKey", faulty + "R", platform::kErrorAccessDenied);

  EXPECT_EQ(Scan(), 14);
  EXPECT_EQ(Folders(2016), (StringList{"C:\\Q", "C:\\Deeper"}));
  EXPECT_TRUE(Folders(2014).empty());
  EXPECT_EQ(Keys(2009), (StringList{kWow + "R17.2\\ACAD-7001:804\\", kNative + "R17.2\\ACAD-7001:804\\"}));
  EXPECT_EQ(Folders(2009), (StringList{"C:\\Acad2009", "C:\\Acad2009"}));
  EXPECT_EQ(Folders(2027), StringList{"D:\\Acad27"});
  EXPECT_EQ(Keys(2013), StringList{kNative + "R19.0\\"});
  EXPECT_EQ(Keys(2015), (StringList{kNative + "R20.0\\aa\\", kNative + "R20.0\\ZZ\\Level2\\Level3\\ACAD\\"}));
  EXPECT_EQ(Folders(2015), (StringList{"C:\\First", "C:\\Second"}));
  EXPECT_EQ(Folders(2019), StringList{"%ProgramFiles%\\A"});
  EXPECT_EQ(Folders(2020), StringList{std::string(520, 'F')});
  EXPECT_EQ(Folders(2021), StringList{"D:\\" + kShallow});
  EXPECT_EQ(Folders(2012), StringList{"C:\\A\\"}) << "one backslash dropped";
  EXPECT_EQ(Folders(2007), StringList{"\\"}) << "a lone backslash kept";
  EXPECT_EQ(Keys(2010), StringList{kWow + "R18.0\\D\\"});
}

}  // namespace
