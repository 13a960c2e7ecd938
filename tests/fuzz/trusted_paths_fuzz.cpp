// The trusted-path update of one profile whose stored value has any type, size and bytes: the
// stored list is never lost or shortened, and is left alone when it cannot be read whole.
#include <algorithm>

#include "acad/install_info.h"
#include "fuzz_input.h"
#include "support/world.h"

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char kVariables[] = "HKCU\\SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\Profiles\\P\\Variables";
  fuzz::Input input(data, size);
  const std::uint32_t type = input.Upto(7);
  std::string folder = "C:\\" + input.Bytes(input.Upto(40));
  std::replace(folder.begin(), folder.end(), ';', '_');  // the install refuses a folder with a ';'
  std::string stored = input.Bytes(size);
  if (input.Byte() % 8 == 0 && !stored.empty()) stored.assign(10001 + stored[0] % 16, stored[0]);

  fakes::World world;
  world.registry.SetRaw(kVariables, "TRUSTEDPATHS", type, fakes::Bytes(stored.begin(), stored.end()));
  CAcadInstallInfo info{world.services};
  info.SetInstallDir(folder);
  info.AddTrustedPath(world.log);
  Require(world.AllReleased());
  const auto after = world.registry.Get(kVariables, "TRUSTEDPATHS");
  Require(after.has_value());
  if (stored.size() > 10000) {
    Require(after->type == type && after->data == fakes::Bytes(stored.begin(), stored.end()));
    return 0;
  }
  const std::string before = stored.substr(0, stored.find('\0'));
  Require(after->type == platform::kRegSz);
  const bool noEntry = before.find_first_not_of("; \t") == std::string::npos;
  Require(noEntry || after->Text().rfind(fakes::Upper(before), 0) == 0);
  // Taking the folder out again gives back the list as the install stored it before adding it
  // (unless the list ends in half a character, which swallows the separator added after it).
  std::size_t end = 0;
  while (end < before.size()) end += platform::IsCp936LeadByte(before[end]) ? 2 : 1;
  info.RemoveTrustedPath({}, world.log);
  const auto removed = world.registry.Get(kVariables, "TRUSTEDPATHS");
  Require(world.AllReleased() && removed.has_value());
  info.SetInstallDir(folder);
  if (!noEntry && end == before.size() && after->Text() == fakes::Upper(before) + ";" + fakes::Upper(info.m_strInstallDir)) {
    Require(removed->Text() == fakes::Upper(before));
  }
  return 0;
}
