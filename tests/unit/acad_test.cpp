// AutoCAD's registry: the installations found, their demand-load entries, the folder in the user's profiles' TRUSTEDPATHS.
#include <gtest/gtest.h>

#include "profile/loader_registration.h"
#include "profile/trusted_paths.h"
#include "support/world.h"

using acad::StringList;
using fakes::kShallow;
using fakes::Names;

namespace {

const std::string kNative = "SOFTWARE\\Autodesk\\AutoCAD\\", kWow = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\";
const std::string kFolder = "C:\\Vortel\\V-Trelmox", kUpper = "C:\\VORTEL\\V-TRELMOX";
const std::string kVariables = "HKCU\\SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\Profiles\\One\\Variables";

class AcadRegistry : public ::testing::Test {
 protected:
  void SetUp() override { info.SetInstallDir(kFolder); }
  void TearDown() override { EXPECT_TRUE(world.AllReleased()); }

  int Scan() {
    info.ScanInstalledReleases();
    int total = 0;
    for (int index = 0; index < acad::kReleaseCount; ++index) {
      EXPECT_EQ(info.m_arrAcadLocation[index].size(), info.m_arrProductKey[index].size());
      total += static_cast<int>(info.m_arrAcadLocation[index].size());
    }
    return total;
  }
  const StringList& Folders(int year) { return info.m_arrAcadLocation[year - 2007]; }
  const StringList& Keys(int year) { return info.m_arrProductKey[year - 2007]; }

  // A product key of `year` as the discovery scan records it; the path of its Applications key.
  std::string AddProduct(int year, const std::string& name) {
    const std::string key = "SOFTWARE\\Autodesk\\AutoCAD\\R\\" + name + "\\";
    world.registry.AddKey("HKLM\\" + key);
    info.m_arrProductKey[year - 2007].push_back(key);
    return "HKLM\\" + key + "Applications\\";
  }
  // A REG_SZ value stored with its NUL, "dword N", or "<none>".
  std::string Stored(const std::string& key, const char* name = "LOADER") {
    const auto value = world.registry.Get(key, name);
    if (!value) return "<none>";
    if (value->type == platform::kRegDword) return "dword " + std::to_string(value->data.size() == 4 ? value->data[0] : -1);
    EXPECT_EQ(value->type, platform::kRegSz) << key;
    EXPECT_EQ(value->data.back(), 0) << "stored with its NUL: " << key;
    return value->Text();
  }
  std::string Paths() { return Stored(kVariables, "TRUSTEDPATHS"); }

  fakes::World world;
  CAcadInstallInfo info{world.services};
};
using Discovery = AcadRegistry;
using Profile = AcadRegistry;

TEST_F(Discovery, EachKeyHoldingBothValuesIsFiledUnderTheYearOfItsProductName) {
  const std::string faulty = "HKLM\\" + kNative + "R30.0\\";
  // clang-format off
  const struct { std::string key, folder, name; } installations[] = {
      {kWow + "R17.2\\ACAD-7001:804", "C:\\Acad2009\\", "AutoCAD 2009 - \xBC\xF2\xCC\xE5"},
      {kWow + "R18.1\\ACAD-A001:804", "C:\\Acad2011", "AutoCAD 2011"},  // too late for this root
      {kNative + "R17.2\\ACAD-7001:804", "C:\\Acad2009", "AutoCAD 2009"},
      {kNative + "R19.0", "C:\\Acad2013", "AutoCAD 2013"},  // on the release key itself
      {kNative + "R20.0\\ZZ\\Level2\\Level3\\ACAD", "C:\\Second", "AutoCAD 2015"}, {kNative + "R20.0\\aa", "C:\\First", "AutoCAD 2015"},
      {kNative + "R22.0\\Hidden", "C:\\Hidden", "AutoCAD 2018"},  // below a key holding ProductName: not searched
      {kNative + "R25.0\\P", "D:\\" + kShallow + "\\", "AutoCAD 2021"},
      // The first year of the table found after the name's first character, up to the root's last.
      {kNative + "R26.0\\A", "C:\\A\\\\", "AutoCAD 2026 (for 2012 drawings)"}, {kNative + "R26.0\\B", "\\", "2010 AutoCAD"},
      {kNative + "R26.0\\C", "\\", "X2007"}, {kWow + "R18.0\\D", "C:\\D", "AutoCAD 2011 2010"},
      // What cannot be opened or listed hides only what lies below it; a value too large for its buffer counts as missing.
      {kNative + "R30.0\\P", "C:\\Denied", "AutoCAD 2014"}, {kNative + "R30.0\\Q", "C:\\Q", "AutoCAD 2016"},
      {kNative + "R30.0\\R\\S", "C:\\Unlisted", "AutoCAD 2014"}, {kNative + "R30.0\\T\\Deeper", "C:\\Deeper", "AutoCAD 2016"}};
  // clang-format on
  for (const auto& [key, folder, name] : installations) {
    world.registry.Set("HKLM\\" + key, "AcadLocation", folder);
    world.registry.Set("HKLM\\" + key, "ProductName", name);
  }
  world.registry.Set(faulty + "T", "AcadLocation", std::string(520, 'x'));
  world.faults.Fail("OpenKeyEx", faulty + "P", platform::kErrorAccessDenied);
  world.faults.Fail("EnumKey", faulty + "R", platform::kErrorAccessDenied);
  // The values on a key and on its subkey: no installation.
  world.registry.Set("HKLM\\" + kNative + "R21.0\\Outer", "AcadLocation", "C:\\X");
  world.registry.Set("HKLM\\" + kNative + "R21.0\\Outer\\Inner", "ProductName", "AutoCAD 2017");
  world.registry.Set("HKLM\\" + kNative + "R22.0", "ProductName", "AutoCAD 2018");
  // Values of any type are read as text up to their first NUL, within their 520 bytes.
  world.registry.Set("HKLM\\" + kNative + "R23.0\\P", "AcadLocation", "%ProgramFiles%\\A\\", platform::kRegExpandSz);
  world.registry.SetRaw("HKLM\\" + kNative + "R23.0\\P", "ProductName", platform::kRegBinary,
                        {'A', 'C', ' ', '2', '0', '1', '9', 0, '2', '0', '0', '7'});
  world.registry.SetRaw("HKLM\\" + kNative + "R24.0\\P", "AcadLocation", platform::kRegSz, fakes::Bytes(520, 'F'));
  world.registry.Set("HKLM\\" + kNative + "R24.0\\P", "ProductName", "AutoCAD 2020");

  EXPECT_EQ(Scan(), 13);
  EXPECT_EQ(Folders(2016), (StringList{"C:\\Q", "C:\\Deeper"}));
  EXPECT_TRUE(Folders(2014).empty());
  EXPECT_EQ(Keys(2009), (StringList{kWow + "R17.2\\ACAD-7001:804\\", kNative + "R17.2\\ACAD-7001:804\\"}));
  EXPECT_EQ(Folders(2009), (StringList{"C:\\Acad2009", "C:\\Acad2009"}));
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

TEST_F(Profile, EachTickedReleaseNamesItsLoaderBeneathEveryProductKeyUnderAnEntryOfItsYear) {
  const int loaderYears[] = {2008, 2008, 2009, 2010, 2010, 2010, 2013, 2013, 2015, 2015, 2017,
                             2018, 2019, 2019, 2021, 2021, 2021, 2021, 2025, 2025, 2027};
  std::vector<std::string> products;
  for (int year = 2007; year <= 2027; ++year) products.push_back(AddProduct(year, std::to_string(year)));
  const std::string second2011 = AddProduct(2011, "2011b");
  acad::ReleaseTicks ticks{};
  ticks.fill(1);
  EXPECT_EQ(profile::RegisterLoaders(info, ticks, 32, world.log), platform::kErrorSuccess);
  for (int year = 2007; year <= 2027; ++year) {
    const std::string &product = products[year - 2007], name = "Vortel" + std::to_string(year);
    EXPECT_EQ(world.registry.Keys(product), Names{name});
    EXPECT_EQ(Stored(product + name) + ", " + Stored(product + name, "LOADCTRLS"),
              kFolder + "\\Vortel" + std::to_string(loaderYears[year - 2007]) + ".ARX, dword 2");
  }
  EXPECT_EQ(Stored(second2011 + "Vortel2011"), kFolder + "\\Vortel2010.ARX");
  // A package for 64-bit AutoCAD adds an entry for 2008 below 2009's keys and a 32-bit one for 2010.
  EXPECT_EQ(profile::RegisterLoaders(info, ticks, 64, world.log), platform::kErrorSuccess);
  EXPECT_EQ(world.registry.Keys(products[2]), (Names{"Vortel2008", "Vortel2009"}));
  EXPECT_EQ(Stored(products[2] + "Vortel2008"), kFolder + "\\Vortel2008.ARX");
  EXPECT_EQ(world.registry.Keys(products[3]), (Names{"Vortel2010", "Vortel2010_32"}));
  EXPECT_EQ(Stored(products[3] + "Vortel2010_32"), kFolder + "\\Vortel2010_32.ARX");
  EXPECT_EQ(world.registry.Keys(products[4]), Names{"Vortel2011"});
  EXPECT_EQ(profile::RegisterLoader(info, 2006, 32, world.log) + profile::RegisterLoader(info, 2028, 32, world.log), 0);
  info.SetInstallDir("E:\\New");
  ticks = {0, 1};
  EXPECT_EQ(profile::RegisterLoaders(info, ticks, 32, world.log), platform::kErrorSuccess);
  EXPECT_EQ(Stored(products[1] + "Vortel2008"), "E:\\New\\Vortel2008.ARX");
  EXPECT_EQ(Stored(products[0] + "Vortel2007"), kFolder + "\\Vortel2008.ARX") << "not ticked, not touched";
}

TEST_F(Profile, AnEarlierEntryIsReplacedOrReusedWhenItHasSubkeysAndATooLongFolderLeavesIt) {
  const std::string plain = AddProduct(2015, "Plain") + "Vortel2015", nested = AddProduct(2016, "Nested") + "Vortel2016";
  world.registry.Set(plain, "DESCRIPTION", "old");
  world.registry.Set(nested, "DESCRIPTION", "kept");
  world.registry.AddKey(nested + "\\Commands");
  EXPECT_EQ(profile::RegisterLoader(info, 2015, 32, world.log) + profile::RegisterLoader(info, 2016, 32, world.log), 0);
  EXPECT_EQ(world.registry.Values(plain), (Names{"LOADCTRLS", "LOADER"}));
  EXPECT_EQ(world.registry.Values(nested), (Names{"DESCRIPTION", "LOADCTRLS", "LOADER"}));
  const std::string product = AddProduct(2010, "P");
  info.SetInstallDir("C:\\" + std::string(241, 'd'));  // 244 characters: "\Vortel2010.ARX" fits
  EXPECT_EQ(profile::RegisterLoader(info, 2010, 32, world.log), platform::kErrorSuccess);
  EXPECT_EQ(Stored(product + "Vortel2010").size(), 259u);
  EXPECT_EQ(profile::RegisterLoader(info, 2010, 64, world.log), platform::kErrorFilenameTooLong) << "the _32 entry needs three more";
  EXPECT_EQ(world.registry.Keys(product), Names{"Vortel2010"});
  info.SetInstallDir("C:\\" + std::string(242, 'd'));
  EXPECT_EQ(profile::RegisterLoader(info, 2010, 32, world.log), platform::kErrorFilenameTooLong);
  EXPECT_EQ(Stored(product + "Vortel2010").size(), 259u) << "the earlier entry stays";
}

TEST_F(Profile, TheFolderJoinsTheTrustedPathsUnlessAnEntryAlreadyNamesIt) {
  const std::string shallow = fakes::kShallow, letter = "\x81\x61";  // trail bytes '\' and 'a'
  // clang-format off
  const struct { std::string stored, expected; std::uint32_t type = platform::kRegSz; } cases[] = {
      {"", kFolder}, {"; ;\t", kFolder}, {"D:", "D:;" + kUpper}, {"x", "X;" + kUpper}, {"C:\\T", "C:\\T;" + kUpper},
      {"c:\\tools;", "C:\\TOOLS;;" + kUpper}, {"c:\\vortel\\v-trelmox", kUpper},
      {"d:\\x;C:\\Vortel\\V-Trelmox\\;e:\\y", "D:\\X;" + kUpper + "\\;E:\\Y"},
      {"d:\\x;c:\\vortel\\v-trelmox\\...", "D:\\X;" + kUpper + "\\..."},
      // Longer paths that merely begin with the folder do not name it.
      {"C:\\Vortel\\V-Trelmox2", kUpper + "2;" + kUpper}, {"C:\\Vortel\\V-Trelmox\\sub", kUpper + "\\SUB;" + kUpper},
      {"d:\\" + letter + "a;e:\\" + shallow, "D:\\" + letter + "A;E:\\" + shallow + ";" + kUpper},
      // Other types are read as text up to the first NUL and written back as strings.
      {"%APPDATA%\\x", "%APPDATA%\\X;" + kUpper, platform::kRegExpandSz},
      {std::string("abc\0z", 5), "ABC;" + kUpper, platform::kRegBinary},
      // Read whole up to 10000 bytes with the NUL; a longer list is left as it is.
      {"c:\\" + std::string(9996, 'y'), "C:\\" + std::string(9996, 'Y') + ";" + kUpper},
      {"c:\\" + std::string(9997, 'y'), "c:\\" + std::string(9997, 'y')}};
  // clang-format on
  for (const auto& [stored, expected, type] : cases) {
    world.registry.Set(kVariables, "TRUSTEDPATHS", stored, type);
    profile::AddTrustedPath(info, world.log);
    EXPECT_EQ(Paths(), expected) << stored.substr(0, 30);
  }
}

TEST_F(Profile, TheFolderLeavesTheTrustedPathsAndEveryOtherEntryStaysAsItIs) {
  const std::string shallow = "C:\\" + fakes::kShallow;  // its last byte is no backslash
  // clang-format off
  const struct { std::string stored; bool madeByTheInstall; std::string expected; } cases[] = {
      {kFolder, false, ""}, {kFolder, true, "<none>"}, {kUpper + ";;", true, "<none>"},
      {"C:\\vortel\\v-trelmox;d:\\x", true, "d:\\x"}, {"d:\\x;" + kUpper + "\\...; e:\\y", false, "d:\\x; e:\\y"},
      {"d:\\x;;" + kFolder + "\\", false, "d:\\x;"}, {kUpper + ";d:\\x;" + kFolder, false, "d:\\x"},
      {"d:\\x;" + kFolder + "2;" + kFolder + "\\sub", false, "d:\\x;" + kFolder + "2;" + kFolder + "\\sub"},
      {shallow + ";" + kFolder, false, shallow}, {" " + kFolder, false, " " + kFolder},
      {std::string(12970, 'x') + ";" + kFolder, false, std::string(12970, 'x')}};  // as long as the install writes
  // clang-format on
  for (const auto& [stored, made, expected] : cases) {
    world.registry.Set(kVariables, "TRUSTEDPATHS", stored);
    profile::UntrustFolder(world.services, kVariables.substr(5), kFolder, made, world.log);
    EXPECT_EQ(Paths(), expected) << stored;
  }
}

}  // namespace
