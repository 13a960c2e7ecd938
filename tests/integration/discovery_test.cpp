// The discovery scan over the real registry: keys seeded by this 32-bit program with the same
// paths SetUp.exe reads, and no registry-view flags, so both see the same view.
#include <gtest/gtest.h>

#include <string>

#include "acad/install_info.h"
#include "platform/win32/win32_services.h"

using namespace platform;

namespace {

const std::string kNativeRoot = "SOFTWARE\\Autodesk\\AutoCAD\\";
const std::string kWowRoot = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\";

class RealRegistryDiscovery : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveSeeds();
    m_rootsAreOneKey = ProbeRootsAreOneKey();
    RemoveSeeds();
  }
  void TearDown() override { RemoveSeeds(); }

  void RemoveSeeds() {
    for (const std::string& root : {kWowRoot, kNativeRoot}) {
      DeleteTree(kHkeyLocalMachine, root.substr(0, root.size() - 1));
    }
  }

  void DeleteTree(RegKey parent, const std::string& path) {
    ScopedRegKey key(registry);
    if (registry.OpenKey(parent, path.c_str(), key.Receive()) != kErrorSuccess) return;
    for (;;) {
      char name[256] = {};
      std::uint32_t length = sizeof name;
      if (registry.EnumKey(key.Get(), 0, name, &length) != kErrorSuccess) break;
      DeleteTree(key.Get(), name);
    }
    key.Reset();
    registry.DeleteKey(parent, path.c_str());
  }

  // A key below the 32-bit root is seeded under the native root when the two are one key:
  // Wine (8.0) opens "SOFTWARE\\Wow6432Node\\..." from a 32-bit program as the 32-bit view
  // itself, as Windows does, but a create call of that path makes a nested Wow6432Node key.
  void SetText(std::string path, const char* name, const std::string& text) {
    if (m_rootsAreOneKey && path.compare(0, kWowRoot.size(), kWowRoot) == 0) {
      path = kNativeRoot + path.substr(kWowRoot.size());
    }
    ScopedRegKey key(registry);
    ASSERT_EQ(registry.CreateKey(kHkeyLocalMachine, path.c_str(), key.Receive()), kErrorSuccess);
    ASSERT_EQ(registry.SetValue(key.Get(), name, kRegSz,
                                reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                static_cast<std::uint32_t>(text.size() + 1)),
              kErrorSuccess);
  }

  void AddInstall(const std::string& path, const std::string& folder, const std::string& name) {
    SetText(path, "AcadLocation", folder);
    SetText(path, "ProductName", name);
  }

  // In a 64-bit prefix (as on 64-bit Windows) a 32-bit program sees the two roots as one key.
  bool ProbeRootsAreOneKey() {
    ScopedRegKey key(registry);
    registry.CreateKey(kHkeyLocalMachine, (kNativeRoot + "Probe").c_str(), key.Receive());
    return registry.OpenKey(kHkeyLocalMachine, (kWowRoot + "Probe").c_str(), key.Receive()) ==
           kErrorSuccess;
  }

  bool m_rootsAreOneKey = false;
  Win32Services win32;
  Registry& registry = win32.registry;
};

TEST_F(RealRegistryDiscovery, FindsSeededInstallationsUnderBothRoots) {
  AddInstall(kWowRoot + "R17.1\\ACAD-6001:804", "C:\\Program Files (x86)\\AutoCAD 2008\\",
             "AutoCAD 2008 - \xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4");
  AddInstall(kNativeRoot + "R20.1\\ACAD-F001:804", "C:\\Program Files\\AutoCAD 2016",
             "AutoCAD 2016");
  AddInstall(kNativeRoot + "R20.1\\ACAD-F002:409", "C:\\Acad\\\x9C\x5C", "AutoCAD 2016");
  AddInstall(kNativeRoot + "R18.2\\Nested\\ACAD-A001:804", "C:\\Acad2012", "AutoCAD 2012");
  const bool shared = m_rootsAreOneKey;

  CAcadInstallInfo info{win32.services};
  info.ScanInstalledReleases();

  acad::StringList keys2008{kWowRoot + "R17.1\\ACAD-6001:804\\"};
  if (shared) keys2008.push_back(kNativeRoot + "R17.1\\ACAD-6001:804\\");
  EXPECT_EQ(info.m_arrProductKey[1], keys2008) << (shared ? "64-bit prefix" : "32-bit prefix");
  ASSERT_FALSE(info.m_arrAcadLocation[1].empty());
  EXPECT_EQ(info.m_arrAcadLocation[1].front(), "C:\\Program Files (x86)\\AutoCAD 2008");
  EXPECT_EQ(info.m_arrAcadLocation[9],
            (acad::StringList{"C:\\Program Files\\AutoCAD 2016", "C:\\Acad\\\x9C\x5C"}));
  EXPECT_EQ(info.m_arrProductKey[5], acad::StringList{kNativeRoot + "R18.2\\Nested\\ACAD-A001:804\\"});
  // Under the 32-bit root only 2007 to 2010 count, so the shared view adds nothing else.
  int total = 0;
  for (const auto& list : info.m_arrAcadLocation) total += static_cast<int>(list.size());
  EXPECT_EQ(total, shared ? 5 : 4);
}

}  // namespace
