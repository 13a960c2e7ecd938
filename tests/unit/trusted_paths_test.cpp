// The installation folder in TRUSTEDPATHS of every AutoCAD profile of the user.
#include <gtest/gtest.h>

#include <string>

#include "acad/install_info.h"
#include "support/fake_services.h"

using platform::kHkeyCurrentUser;

namespace {

const std::string kFolder = "C:\\Vortel\\V-Trelmox";
const std::string kAcad = "SOFTWARE\\Autodesk\\AutoCAD\\";

std::string Variables(const std::string& release, const std::string& product,
                      const std::string& profile) {
  return kAcad + release + "\\" + product + "\\Profiles\\" + profile + "\\Variables";
}

class TrustedPaths : public ::testing::Test {
 protected:
  void SetUp() override { info.SetInstallDir(kFolder); }

  // A profile whose TRUSTEDPATHS holds `stored`.
  std::string AddProfile(const std::string& profile, const std::string& stored,
                         const std::string& release = "R24.0", const std::string& product = "ACAD-4101:804") {
    const std::string key = Variables(release, product, profile);
    world.registry.SetString(kHkeyCurrentUser, key, "TRUSTEDPATHS", stored);
    return key;
  }

  std::string Stored(const std::string& key) {
    const auto value = world.registry.GetValue(kHkeyCurrentUser, key, "TRUSTEDPATHS");
    if (!value) return "<none>";
    return value->Text();
  }

  std::string Update(const std::string& stored) {
    const std::string key = AddProfile("One", stored);
    info.AddTrustedPath();
    EXPECT_EQ(world.registry.OpenHandleCount(), 0);
    const auto value = world.registry.GetValue(kHkeyCurrentUser, key, "TRUSTEDPATHS");
    EXPECT_EQ(value->type, platform::kRegSz);
    EXPECT_EQ(value->data.back(), 0);
    return value->Text();
  }

  fakes::FakeServices world;
  CAcadInstallInfo info{world.services};
};

TEST_F(TrustedPaths, TheFolderJoinsTheListUnlessAnEntryAlreadyNamesIt) {
  const std::string shallow = "\x9C\x5C";    // 淺: trail byte '\'
  const std::string letter = "\x81\x61";     // 乤: trail byte 'a'
  const std::pair<std::string, std::string> cases[] = {
      {"", kFolder},
      {";", kFolder},
      {"C:", kFolder},
      {"C:\\Tools", "C:\\TOOLS;C:\\VORTEL\\V-TRELMOX"},
      {"c:\\tools;", "C:\\TOOLS;;C:\\VORTEL\\V-TRELMOX"},
      {"c:\\vortel\\v-trelmox", "C:\\VORTEL\\V-TRELMOX"},
      {"d:\\x;C:\\Vortel\\V-Trelmox\\;e:\\y", "D:\\X;C:\\VORTEL\\V-TRELMOX\\;E:\\Y"},
      {"d:\\x;c:\\vortel\\v-trelmox\\...", "D:\\X;C:\\VORTEL\\V-TRELMOX\\..."},
      // Longer paths that merely begin with the folder do not name it.
      {"C:\\Vortel\\V-Trelmox2", "C:\\VORTEL\\V-TRELMOX2;C:\\VORTEL\\V-TRELMOX"},
      {"C:\\Vortel\\V-Trelmox\\sub", "C:\\VORTEL\\V-TRELMOX\\SUB;C:\\VORTEL\\V-TRELMOX"},
      // Two-byte characters keep their bytes, whatever their trail byte looks like.
      {"d:\\" + letter + "a;e:\\" + shallow, "D:\\" + letter + "A;E:\\" + shallow + ";C:\\VORTEL\\V-TRELMOX"},
  };
  for (const auto& [stored, expected] : cases) {
    EXPECT_EQ(Update(stored), expected) << stored;
  }
}

TEST_F(TrustedPaths, ValuesOfOtherTypesAreReadAsTextAndWrittenBackAsStrings) {
  const std::string key = Variables("R24.0", "ACAD-4101:804", "One");
  world.registry.SetString(kHkeyCurrentUser, key, "TRUSTEDPATHS", "%APPDATA%\\x", platform::kRegExpandSz);
  info.AddTrustedPath();
  EXPECT_EQ(Stored(key), "%APPDATA%\\X;C:\\VORTEL\\V-TRELMOX");
  world.registry.SetRaw(kHkeyCurrentUser, key, "TRUSTEDPATHS", platform::kRegBinary, {'a', 'b', 'c', 0, 'z'});
  info.AddTrustedPath();
  EXPECT_EQ(world.registry.GetValue(kHkeyCurrentUser, key, "TRUSTEDPATHS")->type, platform::kRegSz);
  EXPECT_EQ(Stored(key), "ABC;C:\\VORTEL\\V-TRELMOX");
}

TEST_F(TrustedPaths, EveryProfileOfEveryProductIsReachedAndUnreadableKeysAreSkipped) {
  const std::string a = AddProfile("Default", "C:\\A", "R17.0", "ACAD-5001:804");
  const std::string b = AddProfile("Second", "C:\\B", "R17.0", "ACAD-5001:804");
  const std::string c = AddProfile("<<Unnamed Profile>>", "C:\\C", "R99.9", "Other");
  // A profile without Variables gets the key with only TRUSTEDPATHS in it.
  world.registry.AddKey(kHkeyCurrentUser, kAcad + "R25.0\\ACAD-6101:804\\Profiles\\Fresh");
  // A product without profiles, and keys that do not open.
  world.registry.AddKey(kHkeyCurrentUser, kAcad + "R25.0\\NoProfiles");
  const std::string lockedRelease = AddProfile("P", "C:\\L1", "Locked", "X");
  const std::string lockedProduct = AddProfile("P", "C:\\L2", "R26.0", "Locked");
  const std::string lockedProfiles = AddProfile("P", "C:\\L3", "R26.0", "ProfilesLocked");
  const std::string lockedProfile = AddProfile("Locked", "C:\\L4", "R26.0", "Open");
  world.registry.Faults(kHkeyCurrentUser, kAcad + "Locked").failOpen = true;
  world.registry.Faults(kHkeyCurrentUser, kAcad + "R26.0\\Locked").failOpen = true;
  world.registry.Faults(kHkeyCurrentUser, kAcad + "R26.0\\ProfilesLocked\\Profiles").failOpen = true;
  world.registry.Faults(kHkeyCurrentUser, kAcad + "R26.0\\Open\\Profiles\\Locked").failOpen = true;
  // Other users' profiles are never looked at.
  world.registry.SetString(platform::kHkeyLocalMachine, Variables("R24.0", "P", "X"), "TRUSTEDPATHS", "C:\\M");

  info.AddTrustedPath();
  EXPECT_EQ(Stored(a), "C:\\A;C:\\VORTEL\\V-TRELMOX");
  EXPECT_EQ(Stored(b), "C:\\B;C:\\VORTEL\\V-TRELMOX");
  EXPECT_EQ(Stored(c), "C:\\C;C:\\VORTEL\\V-TRELMOX");
  const std::string fresh = Variables("R25.0", "ACAD-6101:804", "Fresh");
  EXPECT_EQ(Stored(fresh), kFolder);
  EXPECT_EQ(world.registry.ValueNames(kHkeyCurrentUser, fresh), std::vector<std::string>{"TRUSTEDPATHS"});
  EXPECT_FALSE(world.registry.KeyExists(kHkeyCurrentUser, kAcad + "R25.0\\NoProfiles\\Profiles"));
  for (const auto& [key, original] : {std::pair{lockedRelease, "C:\\L1"}, {lockedProduct, "C:\\L2"},
                                      {lockedProfiles, "C:\\L3"}, {lockedProfile, "C:\\L4"}}) {
    EXPECT_EQ(Stored(key), original) << key;
  }
  EXPECT_EQ(world.registry.GetValue(platform::kHkeyLocalMachine, Variables("R24.0", "P", "X"), "TRUSTEDPATHS")->Text(),
            "C:\\M");
  EXPECT_EQ(world.registry.OpenHandleCount(), 0);
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
  info.AddTrustedPath();
  EXPECT_EQ(Stored(tooLong), longList);
  EXPECT_EQ(Stored(atLimit), "C:\\" + std::string(9996, 'Y') + ";C:\\VORTEL\\V-TRELMOX");
  EXPECT_EQ(Stored(denied), "C:\\Keep");
  EXPECT_EQ(world.registry.OpenHandleCount(), 0);
}

TEST_F(TrustedPaths, NoAutoCadKeyOrAReadOnlyProfileWritesNothing) {
  info.AddTrustedPath();
  EXPECT_FALSE(world.registry.KeyExists(kHkeyCurrentUser, kAcad));
  const std::string key = AddProfile("ReadOnly", "C:\\Tools");
  world.registry.Faults(kHkeyCurrentUser, key).denyWrite = true;
  info.AddTrustedPath();
  EXPECT_EQ(Stored(key), "C:\\Tools");
  EXPECT_EQ(world.registry.OpenHandleCount(), 0);
}

}  // namespace
