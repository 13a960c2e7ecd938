// Seeds and reads the real registry from the Windows-side tests, with the same key paths
// SetUp.exe uses and no registry-view flags, so that both see the same view.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace integration {

extern const char kNativeRoot[];  // SOFTWARE\Autodesk\AutoCAD\ (under HKLM)
extern const char kWowRoot[];     // SOFTWARE\Wow6432Node\Autodesk\AutoCAD\ (under HKLM)

struct StoredValue {
  bool found = false;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  std::string Text() const;
};

class RegistrySeeder {
 public:
  explicit RegistrySeeder(platform::Registry& registry);

  // In a 64-bit prefix (as on 64-bit Windows) a 32-bit program sees the two AutoCAD roots of
  // HKLM as one key; in a 32-bit prefix they are two.
  bool RootsAreOneKey() const { return m_rootsAreOneKey; }

  void SetText(platform::RegKey root, const std::string& path, const char* name,
               const std::string& text);
  StoredValue Read(platform::RegKey root, const std::string& path, const char* name);
  void DeleteTree(platform::RegKey parent, const std::string& path);
  // Removes both AutoCAD roots of HKLM and the user's AutoCAD key.
  void RemoveAcadKeys();

 private:
  std::string SeedPath(platform::RegKey root, const std::string& path) const;

  platform::Registry& m_registry;
  bool m_rootsAreOneKey = false;
};

}  // namespace integration
