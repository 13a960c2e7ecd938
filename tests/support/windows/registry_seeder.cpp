#include "registry_seeder.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace platform;

namespace integration {

const char kNativeRoot[] = "SOFTWARE\\Autodesk\\AutoCAD\\";
const char kWowRoot[] = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\";

std::string StoredValue::Text() const {
  return std::string(data.begin(), std::find(data.begin(), data.end(), 0));
}

RegistrySeeder::RegistrySeeder(Registry& registry) : m_registry(registry) {
  RemoveAcadKeys();
  const std::string probe = std::string(kNativeRoot) + "Probe";
  ScopedRegKey key(m_registry);
  m_registry.CreateKey(kHkeyLocalMachine, probe.c_str(), key.Receive());
  m_rootsAreOneKey = m_registry.OpenKey(kHkeyLocalMachine, (std::string(kWowRoot) + "Probe").c_str(),
                                        key.Receive()) == kErrorSuccess;
  key.Reset();
  RemoveAcadKeys();
}

// Wine (8.0) opens "SOFTWARE\Wow6432Node\..." from a 32-bit program as the 32-bit view itself,
// as Windows does, but one create call of that path makes a nested Wow6432Node key. Where the
// roots are one key, keys below the 32-bit root are therefore created under the native root.
std::string RegistrySeeder::SeedPath(RegKey root, const std::string& path) const {
  const std::string wow = kWowRoot;
  if (root != kHkeyLocalMachine || !m_rootsAreOneKey || path.compare(0, wow.size(), wow) != 0) {
    return path;
  }
  return kNativeRoot + path.substr(wow.size());
}

void RegistrySeeder::SetText(RegKey root, const std::string& path, const char* name,
                             const std::string& text) {
  ScopedRegKey key(m_registry);
  ASSERT_EQ(m_registry.CreateKey(root, SeedPath(root, path).c_str(), key.Receive()), kErrorSuccess);
  ASSERT_EQ(m_registry.SetValue(key.Get(), name, kRegSz,
                                reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                static_cast<std::uint32_t>(text.size() + 1)),
            kErrorSuccess);
}

StoredValue RegistrySeeder::Read(RegKey root, const std::string& path, const char* name) {
  StoredValue value;
  ScopedRegKey key(m_registry);
  if (m_registry.OpenKey(root, path.c_str(), key.Receive()) != kErrorSuccess) return value;
  std::uint32_t size = 0;
  if (m_registry.QueryValue(key.Get(), name, &value.type, nullptr, &size) != kErrorSuccess) {
    return value;
  }
  value.data.resize(size);
  value.found = m_registry.QueryValue(key.Get(), name, &value.type, value.data.data(), &size) ==
                kErrorSuccess;
  return value;
}

void RegistrySeeder::DeleteTree(RegKey parent, const std::string& path) {
  ScopedRegKey key(m_registry);
  if (m_registry.OpenKey(parent, path.c_str(), key.Receive()) != kErrorSuccess) return;
  for (;;) {
    char name[256] = {};
    std::uint32_t length = sizeof name;
    if (m_registry.EnumKey(key.Get(), 0, name, &length) != kErrorSuccess) break;
    DeleteTree(key.Get(), name);
  }
  key.Reset();
  m_registry.DeleteKey(parent, path.c_str());
}

void RegistrySeeder::RemoveAcadKeys() {
  DeleteTree(kHkeyLocalMachine, "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD");
  DeleteTree(kHkeyLocalMachine, "SOFTWARE\\Autodesk\\AutoCAD");
  DeleteTree(kHkeyCurrentUser, "SOFTWARE\\Autodesk\\AutoCAD");
}

}  // namespace integration
