// The installation folder in TRUSTEDPATHS of every AutoCAD profile of the user.
#include <gtest/gtest.h>

#include <string>

#include "acad/install_info.h"
#include "support/fake_services.h"

using platform::kHkeyCurrentUser;

namespace {

const std::string kFolder = "C:\\Vortel\\V-Trelmox";
const std::string kUpper = "C:\\VORTEL\\V-TRELMOX";
const std::string kAcad = "SOFTWARE\\Autodesk\\AutoCAD\\";

class TrustedPaths : public ::testing::Test {
 protected:
  void SetUp() override { info.SetInstallDir(kFolder); }

  // A profile whose TRUSTEDPATHS holds `stored`; its Variables key.
  std::string AddProfile(const std::string& profile, const std::string& stored,
                         const std::string& product = "R24.0\\ACAD-4101:804",
                         std::uint32_t type = platform::kRegSz) {
    const std::string key = kAcad + product + "\\Profiles\\" + profile + "\\Variables";
    world.registry.SetString(kHkeyCurrentUser, key, "TRUSTEDPATHS", stored, type);
    return key;
  }

  // The profile's TRUSTEDPATHS, which must be a text stored with its NUL.
  std::string Stored(const std::string& key) {
    const auto value = world.registry.GetValue(kHkeyCurrentUser, key, "TRUSTEDPATHS");
    if (!value) return "<none>";
    EXPECT_EQ(value->type, platform::kRegSz) << key;
    EXPECT_EQ(value->data.back(), 0) << key;
    return value->Text();
  }

  void Update() {
    info.AddTrustedPath();
    EXPECT_EQ(world.registry.OpenHandleCount(), 0);
  }

  fakes::FakeServices world;
  CAcadInstallInfo info{world.services};
};

TEST_F(TrustedPaths, TheFolderJoinsTheListUnlessAnEntryAlreadyNamesIt) {
  const std::string shallow = "\x9C\x5C";  // 淺: trail byte '\'
  const std::string letter = "\x81\x61";   // 乤: trail byte 'a'
  const struct {
    std::string stored;
    std::uint32_t type;
    std::string expected;
  } cases[] = {
      {"", platform::kRegSz, kFolder},
      {";", platform::kRegSz, kFolder},
      {"C:", platform::kRegSz, kFolder},
      {"C:\\Tools", platform::kRegSz, "C:\\TOOLS;" + kUpper},
      {"c:\\tools;", platform::kRegSz, "C:\\TOOLS;;" + kUpper},
      {"c:\\vortel\\v-trelmox", platform::kRegSz, kUpper},
      {"d:\\x;C:\\Vortel\\V-Trelmox\\;e:\\y", platform::kRegSz, "D:\\X;" + kUpper + "\\;E:\\Y"},
      {"d:\\x;c:\\vortel\\v-trelmox\\...", platform::kRegSz, "D:\\X;" + kUpper + "\\..."},
      // Longer paths that merely begin with the folder do not name it.
      {"C:\\Vortel\\V-Trelmox2", platform::kRegSz, kUpper + "2;" + kUpper},
      {"C:\\Vortel\\V-Trelmox\\sub", platform::kRegSz, kUpper + "\\SUB;" + kUpper},
      // Two-byte characters keep their bytes, whatever their trail byte looks like.
      {"d:\\" + letter + "a;e:\\" + shallow, platform::kRegSz,
       "D:\\" + letter + "A;E:\\" + shallow + ";" + kUpper},
      // Other types are read as text up to the first NUL and written back as strings.
      {"%APPDATA%\\x", platform::kRegExpandSz, "%APPDATA%\\X;" + kUpper},
      {std::string("abc\0z", 5), platform::kRegBinary, "ABC;" + kUpper},
  };
  for (const auto& [stored, type, expected] : cases) {
    const std::string key = AddProfile("One", stored, "R24.0\\ACAD-4101:804", type);
    Update();
    EXPECT_EQ(Stored(key), expected) << stored;
  }
}

TEST_F(TrustedPaths, EveryProfileOfEveryProductIsReachedAndUnreadableKeysAreSkipped) {
  const std::string a = AddProfile("Default", "C:\\A", "R17.0\\ACAD-5001:804");
  const std::string b = AddProfile("Second", "C:\\B", "R17.0\\ACAD-5001:804");
  const std::string c = AddProfile("<<Unnamed Profile>>", "C:\\C", "R99.9\\Other");
  // A profile without Variables gets the key with only TRUSTEDPATHS in it.
  world.registry.AddKey(kHkeyCurrentUser, kAcad + "R25.0\\ACAD-6101:804\\Profiles\\Fresh");
  world.registry.AddKey(kHkeyCurrentUser, kAcad + "R25.0\\NoProfiles");
  // Keys that do not open, and a profile whose value cannot be written, keep their lists.
  const std::string kept[] = {AddProfile("P", "C:\\L1", "Locked\\X"),
                              AddProfile("P", "C:\\L2", "R26.0\\Locked"),
                              AddProfile("P", "C:\\L3", "R26.0\\ProfilesLocked"),
                              AddProfile("Locked", "C:\\L4", "R26.0\\Open"),
                              AddProfile("ReadOnly", "C:\\L5", "R26.0\\Open")};
  for (const std::string& locked : {kAcad + "Locked", kAcad + "R26.0\\Locked",
                                    kAcad + "R26.0\\ProfilesLocked\\Profiles",
                                    kAcad + "R26.0\\Open\\Profiles\\Locked"}) {
    world.registry.Faults(kHkeyCurrentUser, locked).failOpen = true;
  }
  world.registry.Faults(kHkeyCurrentUser, kept[4]).denyWrite = true;
  // Other users' profiles are never looked at.
  world.registry.SetString(platform::kHkeyLocalMachine, a, "TRUSTEDPATHS", "C:\\M");

  Update();
  EXPECT_EQ(Stored(a), "C:\\A;" + kUpper);
  EXPECT_EQ(Stored(b), "C:\\B;" + kUpper);
  EXPECT_EQ(Stored(c), "C:\\C;" + kUpper);
  const std::string fresh = kAcad + "R25.0\\ACAD-6101:804\\Profiles\\Fresh\\Variables";
  EXPECT_EQ(Stored(fresh), kFolder);
  EXPECT_EQ(world.registry.ValueNames(kHkeyCurrentUser, fresh),
            std::vector<std::string>{"TRUSTEDPATHS"});
  EXPECT_FALSE(world.registry.KeyExists(kHkeyCurrentUser, kAcad + "R25.0\\NoProfiles\\Profiles"));
  for (int n = 0; n < 5; ++n) EXPECT_EQ(Stored(kept[n]), "C:\\L" + std::to_string(n + 1));
  EXPECT_EQ(world.registry.GetValue(platform::kHkeyLocalMachine, a, "TRUSTEDPATHS")->Text(),
            "C:\\M");
}

TEST_F(TrustedPaths, AListThatCannotBeReadWholeIsNeverReplaced) {
  // Longer than the read limit: the read answers "more data".
  const std::string longList = "C:\\" + std::string(10000, 'x');
  const std::string tooLong = AddProfile("TooLong", longList);
  // Exactly at the limit (with its NUL): read whole and extended.
  const std::string atLimit = AddProfile("AtLimit", "c:\\" + std::string(9996, 'y'));
  // Unreadable key (other than missing): left as it is.
  const std::string denied = AddProfile("Denied", "C:\\Keep");
  world.registry.Faults(kHkeyCurrentUser, denied).failOpen = true;
  Update();
  EXPECT_EQ(Stored(tooLong), longList);
  EXPECT_EQ(Stored(atLimit), "C:\\" + std::string(9996, 'Y') + ";" + kUpper);
  EXPECT_EQ(Stored(denied), "C:\\Keep");
}

}  // namespace
