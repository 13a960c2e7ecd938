// The discovery scan over registry trees built from the fuzz input: names with any bytes,
// deep nesting, values of every type and size, and planted faults.
#include "acad/install_info.h"
#include "fuzz_input.h"
#include "support/fake_services.h"

using fuzz::Require;

namespace {

const char* const kRoots[] = {"SOFTWARE\\Autodesk\\AutoCAD", "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD"};
const char* const kValueNames[] = {"AcadLocation", "ProductName", "Other"};
const char* const kNameAtoms[] = {"R17.1", "ACAD-6001:804", "\x9C\x5C", "a", "A", "\xC0\xA9"};

std::string KeyName(fuzz::FuzzInput& input) {
  if (input.Byte() % 2 == 0) return kNameAtoms[input.Below(5)];
  std::string name = input.Bytes(input.Below(12));
  for (char& ch : name) {
    if (ch == '\0' || ch == '\\') ch = '_';
  }
  return name.empty() ? "k" : name;
}

void BuildTree(fuzz::FuzzInput& input, fakes::FakeRegistry& registry) {
  while (!input.Empty()) {
    std::string path = kRoots[input.Below(1)];
    const std::size_t depth = input.Below(8);
    for (std::size_t level = 0; level < depth; ++level) path += "\\" + KeyName(input);
    switch (input.Byte() % 6) {
      case 0: registry.Faults(platform::kHkeyLocalMachine, path).failOpen = true; break;
      case 1: registry.Faults(platform::kHkeyLocalMachine, path).failSubKeyCount = true; break;
      case 2: registry.Faults(platform::kHkeyLocalMachine, path).failEnumIndexes.insert(input.Below(3)); break;
      default: {
        const char* name = kValueNames[input.Below(2)];
        const std::uint32_t type = input.Below(7);
        std::string data = input.Byte() % 4 == 0 ? std::string(500 + input.Below(40), 'x')
                                                 : "AutoCAD " + input.Bytes(input.Below(16));
        registry.SetRaw(platform::kHkeyLocalMachine, path, name, type,
                        std::vector<std::uint8_t>(data.begin(), data.end()));
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  fakes::FakeServices world;
  BuildTree(input, world.registry);
  CAcadInstallInfo info{world.services};
  info.ScanInstalledReleases();
  Require(world.registry.OpenHandleCount() == 0);
  for (int index = 0; index < acad::kReleaseCount; ++index) {
    Require(info.m_arrAcadLocation[index].size() == info.m_arrProductKey[index].size());
    for (const std::string& key : info.m_arrProductKey[index]) {
      Require(!key.empty() && key.back() == '\\');
      Require(key.rfind("SOFTWARE\\Autodesk\\AutoCAD\\", 0) == 0 ||
              (index <= acad::ReleaseIndex(acad::kLastReleaseOf32BitRoot) &&
               key.rfind("SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\", 0) == 0));
    }
    for (const std::string& folder : info.m_arrAcadLocation[index]) Require(folder.size() <= 520);
  }
  return 0;
}
