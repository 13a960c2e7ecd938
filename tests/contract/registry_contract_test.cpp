// What the program relies on from the registry, checked against the fake and against Wine.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "contract_world.h"

using namespace platform;

namespace {

const char kScratchPath[] = "Software\\VortelContractTest";

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteTree(kHkeyCurrentUser, kScratchPath);
    ASSERT_EQ(registry.CreateKey(kHkeyCurrentUser, kScratchPath, scratch.Receive()), kErrorSuccess);
  }
  void TearDown() override {
    scratch.Reset();
    DeleteTree(kHkeyCurrentUser, kScratchPath);
  }

  void DeleteTree(RegKey parent, const std::string& path) {
    ScopedRegKey key(registry);
    if (registry.OpenKey(parent, path.c_str(), key.Receive()) != kErrorSuccess) return;
    for (std::string child; !(child = NameAt(key.Get(), 0)).empty();) {
      DeleteTree(key.Get(), child);
    }
    key.Reset();
    registry.DeleteKey(parent, path.c_str());
  }

  std::string NameAt(RegKey key, std::uint32_t index) {
    std::array<char, 256> name{};
    std::uint32_t length = name.size();
    if (registry.EnumKey(key, index, name.data(), &length) != kErrorSuccess) return "";
    return std::string(name.data(), length);
  }

  std::vector<std::string> Names(RegKey key) {
    std::vector<std::string> names;
    std::uint32_t count = 0;
    EXPECT_EQ(registry.QuerySubKeyCount(key, &count), kErrorSuccess);
    for (std::uint32_t index = 0; index < count; ++index) names.push_back(NameAt(key, index));
    return names;
  }

  void Create(const std::string& path) {
    ScopedRegKey key(registry);
    ASSERT_EQ(registry.CreateKey(scratch.Get(), path.c_str(), key.Receive()), kErrorSuccess);
  }

  void SetBytes(const char* name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
    ASSERT_EQ(registry.SetValue(scratch.Get(), name, type, data.data(), data.size()), kErrorSuccess);
  }

  std::vector<std::uint8_t> Read(const char* name, std::uint32_t* type) {
    std::vector<std::uint8_t> data(64, 0xEE);
    std::uint32_t size = data.size();
    EXPECT_EQ(registry.QueryValue(scratch.Get(), name, type, data.data(), &size), kErrorSuccess);
    data.resize(size);
    return data;
  }

  std::unique_ptr<contract::World> world = contract::MakeWorld();
  Registry& registry = world->Registry();
  ScopedRegKey scratch{registry};
};

TEST_F(RegistryContract, KeyAndValueNamesIgnoreLetterCase) {
  Create("MixedCase\\Inner");
  ScopedRegKey key(registry);
  EXPECT_EQ(registry.OpenKeyEx(scratch.Get(), "MIXEDCASE\\inner", kKeyRead, key.Receive()),
            kErrorSuccess);
  SetBytes("TrustedPaths", kRegSz, {'x', 0});
  std::uint32_t type = 0;
  EXPECT_EQ(Read("TRUSTEDPATHS", &type), (std::vector<std::uint8_t>{'x', 0}));
  EXPECT_EQ(Names(scratch.Get()), std::vector<std::string>{"MixedCase"});
}

TEST_F(RegistryContract, SubKeysEnumerateSortedByNameWhateverTheirCase) {
  for (const char* name : {"b", "A", "c", "B2", "a1"}) Create(name);
  EXPECT_EQ(Names(scratch.Get()), (std::vector<std::string>{"A", "a1", "b", "B2", "c"}));

  std::array<char, 256> name{};
  std::uint32_t length = name.size();
  EXPECT_EQ(registry.EnumKey(scratch.Get(), 5, name.data(), &length), kErrorNoMoreItems);
  length = 2;  // room for one character and the NUL: "B2" does not fit
  EXPECT_EQ(registry.EnumKey(scratch.Get(), 3, name.data(), &length), kErrorMoreData);
}

TEST_F(RegistryContract, GbkNamesKeepTrailBytesThatLookLikeBackslashes) {
  const std::string shallow = "A\x9C\x5C";  // A淺
  Create(shallow);
  EXPECT_EQ(Names(scratch.Get()), std::vector<std::string>{shallow});
  ScopedRegKey key(registry);
  EXPECT_EQ(registry.OpenKeyEx(scratch.Get(), "A", kKeyRead, key.Receive()), kErrorFileNotFound);
}

TEST_F(RegistryContract, SmallBufferAnswersMoreDataWithTheNeededSize) {
  SetBytes("Text", kRegSz, {'h', 'e', 'l', 'l', 'o', 0});
  std::array<std::uint8_t, 3> small{};
  std::uint32_t size = small.size();
  std::uint32_t type = 0;
  EXPECT_EQ(registry.QueryValue(scratch.Get(), "Text", &type, small.data(), &size), kErrorMoreData);
  EXPECT_EQ(size, 6u);
  size = 0;
  EXPECT_EQ(registry.QueryValue(scratch.Get(), "Text", &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(size, 6u);
  size = 6;
  std::array<std::uint8_t, 6> exact{};
  EXPECT_EQ(registry.QueryValue(scratch.Get(), "Text", &type, exact.data(), &size), kErrorSuccess);
  EXPECT_EQ(registry.QueryValue(scratch.Get(), "Missing", &type, exact.data(), &size),
            kErrorFileNotFound);
}

TEST_F(RegistryContract, ValuesOfEveryTypeReadBackAsTheirBytes) {
  std::uint32_t type = 0;
  SetBytes("Dword", kRegDword, {2, 0, 0, 0});
  EXPECT_EQ(Read("Dword", &type), (std::vector<std::uint8_t>{2, 0, 0, 0}));
  EXPECT_EQ(type, kRegDword);
  SetBytes("Expand", kRegExpandSz, {'%', 'T', 'E', 'M', 'P', '%', 0});
  EXPECT_EQ(Read("Expand", &type), (std::vector<std::uint8_t>{'%', 'T', 'E', 'M', 'P', '%', 0}));
  EXPECT_EQ(type, kRegExpandSz);
  SetBytes("Binary", kRegBinary, {'C', ':', 0xFF});
  EXPECT_EQ(Read("Binary", &type), (std::vector<std::uint8_t>{'C', ':', 0xFF}));
  SetBytes("Empty", kRegSz, {});
  EXPECT_TRUE(Read("Empty", &type).empty());
  const std::string gbk = "C:\\\xC0\xA9\xD5\xB9";
  SetBytes("Gbk", kRegSz, std::vector<std::uint8_t>(gbk.c_str(), gbk.c_str() + gbk.size() + 1));
  EXPECT_EQ(Read("Gbk", &type), std::vector<std::uint8_t>(gbk.c_str(), gbk.c_str() + gbk.size() + 1));
}

TEST_F(RegistryContract, OpenKeyWithNoNameHandsBackTheKeyItself) {
  Create("Child");
  for (const char* noName : {static_cast<const char*>(nullptr), ""}) {
    RegKey same = kNullKey;
    ASSERT_EQ(registry.OpenKey(scratch.Get(), noName, &same), kErrorSuccess);
    EXPECT_EQ(same, scratch.Get());
  }
  // The extended call opens a second handle that can be closed on its own.
  ScopedRegKey again(registry);
  ASSERT_EQ(registry.OpenKeyEx(scratch.Get(), "", kKeyRead, again.Receive()), kErrorSuccess);
  EXPECT_NE(again.Get(), scratch.Get());
  EXPECT_EQ(Names(again.Get()), std::vector<std::string>{"Child"});
  again.Reset();
  EXPECT_EQ(Names(scratch.Get()), std::vector<std::string>{"Child"});

  // For a root that is the predefined handle, and closing it leaves the root usable.
  RegKey machine = kNullKey;
  ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, nullptr, &machine), kErrorSuccess);
  EXPECT_EQ(machine, kHkeyLocalMachine);
  EXPECT_EQ(registry.CloseKey(machine), kErrorSuccess);
  ScopedRegKey software(registry);
  EXPECT_EQ(registry.OpenKeyEx(kHkeyLocalMachine, "SOFTWARE", kKeyRead, software.Receive()),
            kErrorSuccess);
}

TEST_F(RegistryContract, PathsOpenWithATrailingBackslashAndFailWhenMissing) {
  Create("Product\\Applications");
  ScopedRegKey key(registry);
  EXPECT_EQ(registry.OpenKey(scratch.Get(), "Product\\", key.Receive()), kErrorSuccess);
  EXPECT_TRUE(key.IsOpen());
  EXPECT_EQ(registry.OpenKey(scratch.Get(), "Nowhere\\", key.Receive()), kErrorFileNotFound);
  EXPECT_FALSE(key.IsOpen());
}

TEST_F(RegistryContract, CreateMakesParentsAndDeleteTakesOnlyLeaves) {
  Create("Product\\Applications\\Vortel2011");
  std::uint32_t count = 99;
  ScopedRegKey product(registry);
  ASSERT_EQ(registry.OpenKey(scratch.Get(), "Product", product.Receive()), kErrorSuccess);
  EXPECT_EQ(registry.QuerySubKeyCount(product.Get(), &count), kErrorSuccess);
  EXPECT_EQ(count, 1u);
  EXPECT_NE(registry.DeleteKey(product.Get(), "Applications"), kErrorSuccess);
  EXPECT_EQ(registry.DeleteKey(product.Get(), "Applications\\Vortel2011"), kErrorSuccess);
  EXPECT_EQ(registry.DeleteKey(product.Get(), "Applications\\Vortel2011"), kErrorFileNotFound);
  ScopedRegKey created(registry);
  ASSERT_EQ(registry.CreateKey(product.Get(), "Applications", created.Receive()), kErrorSuccess);
  EXPECT_EQ(registry.QuerySubKeyCount(created.Get(), &count), kErrorSuccess);
  EXPECT_EQ(count, 0u);
}

}  // namespace
