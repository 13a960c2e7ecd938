// What the program relies on from the registry, checked against the fake and against Wine.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "contract_world.h"

using namespace platform;
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;

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
    for (std::string child; !(child = NameAt(key.Get(), 0)).empty();) DeleteTree(key.Get(), child);
    key.Reset();
    registry.DeleteKey(parent, path.c_str());
  }

  std::string NameAt(RegKey key, std::uint32_t index) {
    std::array<char, 256> name{};
    std::uint32_t length = name.size();
    if (registry.EnumKey(key, index, name.data(), &length) != kErrorSuccess) return "";
    return std::string(name.data(), length);
  }

  Names SubKeys(RegKey key) {
    Names names;
    std::uint32_t count = 0;
    EXPECT_EQ(registry.QuerySubKeyCount(key, &count), kErrorSuccess);
    for (std::uint32_t index = 0; index < count; ++index) names.push_back(NameAt(key, index));
    return names;
  }

  void Create(const std::string& path) {
    ScopedRegKey key(registry);
    ASSERT_EQ(registry.CreateKey(scratch.Get(), path.c_str(), key.Receive()), kErrorSuccess);
  }

  ErrorCode Open(const std::string& path) {
    ScopedRegKey key(registry);
    const ErrorCode opened =
        registry.OpenKeyEx(scratch.Get(), path.c_str(), kKeyRead, key.Receive());
    EXPECT_EQ(key.IsOpen(), opened == kErrorSuccess);
    return opened;
  }

  ErrorCode Query(const char* name, std::uint8_t* data, std::uint32_t* size,
                  std::uint32_t* type = nullptr) {
    std::uint32_t ignored = 0;
    return registry.QueryValue(scratch.Get(), name, type ? type : &ignored, data, size);
  }

  // Writes a value and reads it back, by its name in capitals, through a buffer larger than it.
  Bytes WriteAndRead(std::uint32_t type, const Bytes& data) {
    EXPECT_EQ(registry.SetValue(scratch.Get(), "Value", type, data.data(), data.size()),
              kErrorSuccess);
    Bytes read(64, 0xEE);
    std::uint32_t size = read.size(), readType = 0;
    EXPECT_EQ(Query("VALUE", read.data(), &size, &readType), kErrorSuccess);
    EXPECT_EQ(readType, type);
    read.resize(size);
    return read;
  }

  std::unique_ptr<contract::World> world = contract::MakeWorld();
  Registry& registry = world->Registry();
  ScopedRegKey scratch{registry};
};

TEST_F(RegistryContract, KeyNamesIgnoreCaseKeepTrailBytesAndMayEndInABackslash) {
  const std::string shallow = "A\x9C\x5C";  // A淺: its trail byte is a backslash
  Create("MixedCase\\Inner");
  Create(shallow);
  EXPECT_EQ(Open("MIXEDCASE\\inner"), kErrorSuccess);
  EXPECT_EQ(Open("MixedCase\\"), kErrorSuccess);
  EXPECT_EQ(Open("Nowhere\\"), kErrorFileNotFound);
  EXPECT_EQ(Open("A"), kErrorFileNotFound);
  EXPECT_EQ(SubKeys(scratch.Get()), (Names{shallow, "MixedCase"}));
}

TEST_F(RegistryContract, SubKeysEnumerateSortedByNameWhateverTheirCase) {
  for (const char* name : {"b", "A", "c", "B2", "a1"}) Create(name);
  EXPECT_EQ(SubKeys(scratch.Get()), (Names{"A", "a1", "b", "B2", "c"}));
  std::array<char, 256> name{};
  std::uint32_t length = name.size();
  EXPECT_EQ(registry.EnumKey(scratch.Get(), 5, name.data(), &length), kErrorNoMoreItems);
  length = 2;  // room for one character and the NUL: "B2" does not fit
  EXPECT_EQ(registry.EnumKey(scratch.Get(), 3, name.data(), &length), kErrorMoreData);
}

TEST_F(RegistryContract, ValuesOfEveryTypeReadBackAsTheirBytesOrAskForMoreRoom) {
  const std::string gbk = "C:\\\xC0\xA9\xD5\xB9";
  for (const auto& [type, data] :
       {std::pair{kRegDword, Bytes{2, 0, 0, 0}}, {kRegExpandSz, Bytes{'%', 'T', '%', 0}},
        {kRegBinary, Bytes{'C', ':', 0xFF}}, {kRegSz, Bytes{}},
        {kRegSz, Bytes(gbk.c_str(), gbk.c_str() + gbk.size() + 1)}}) {
    EXPECT_EQ(WriteAndRead(type, data), data) << type;
  }
  WriteAndRead(kRegSz, {'h', 'e', 'l', 'l', 'o', 0});
  std::array<std::uint8_t, 6> buffer{};
  std::uint32_t size = 5;
  EXPECT_EQ(Query("Value", buffer.data(), &size), kErrorMoreData);
  EXPECT_EQ(size, 6u);
  size = 0;
  EXPECT_EQ(Query("Value", nullptr, &size), kErrorSuccess);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(Query("Value", buffer.data(), &size), kErrorSuccess);
  EXPECT_EQ(Query("Missing", buffer.data(), &size), kErrorFileNotFound);
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
  again.Reset();
  EXPECT_EQ(SubKeys(scratch.Get()), Names{"Child"});
  // For a root that is the predefined handle, and closing it leaves the root usable.
  RegKey machine = kNullKey;
  ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, nullptr, &machine), kErrorSuccess);
  EXPECT_EQ(machine, kHkeyLocalMachine);
  EXPECT_EQ(registry.CloseKey(machine), kErrorSuccess);
  ScopedRegKey software(registry);
  EXPECT_EQ(registry.OpenKeyEx(kHkeyLocalMachine, "SOFTWARE", kKeyRead, software.Receive()),
            kErrorSuccess);
}

TEST_F(RegistryContract, CreateMakesParentsAndDeleteTakesOnlyLeaves) {
  Create("Product\\Applications\\Vortel2011");
  ScopedRegKey product(registry);
  ASSERT_EQ(registry.OpenKey(scratch.Get(), "Product", product.Receive()), kErrorSuccess);
  EXPECT_EQ(SubKeys(product.Get()), Names{"Applications"});
  EXPECT_NE(registry.DeleteKey(product.Get(), "Applications"), kErrorSuccess);
  EXPECT_EQ(registry.DeleteKey(product.Get(), "Applications\\Vortel2011"), kErrorSuccess);
  EXPECT_EQ(registry.DeleteKey(product.Get(), "Applications\\Vortel2011"), kErrorFileNotFound);
  EXPECT_EQ(SubKeys(product.Get()), Names{"Applications"});
}

}  // namespace
