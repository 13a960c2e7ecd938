// The trusted-path update of one profile whose stored value has any type and bytes: the stored
// list is never lost or shortened, and taking the folder out again gives it back.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>

#include "profile/loader_registration.h"
#include "profile/trusted_paths.h"
#include "support/world.h"

#define REQUIRE(condition) ((condition) ? void() : std::abort())

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char kVariables[] = "HKCU\\SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\Profiles\\P\\Variables";
  FuzzedDataProvider input(data, size);
  const std::uint32_t type = input.ConsumeIntegralInRange<std::uint32_t>(0, 7);
  std::string folder = "C:\\" + input.ConsumeRandomLengthString(40);
  std::replace(folder.begin(), folder.end(), ';', '_');  // the install refuses a folder with a ';'
  const std::string stored = input.ConsumeRemainingBytesAsString();

  fakes::World world;
  world.registry.SetRaw(kVariables, "TRUSTEDPATHS", type, fakes::Bytes(stored.begin(), stored.end()));
  CAcadInstallInfo info{world.services};
  info.SetInstallDir(folder);
  profile::AddTrustedPath(info, world.log);
  REQUIRE(world.AllReleased());
  const auto after = world.registry.Get(kVariables, "TRUSTEDPATHS");
  REQUIRE(after.has_value());
  if (stored.size() > 10000) return 0;  // too long to be read whole: left alone
  const std::string before = stored.substr(0, stored.find('\0'));
  REQUIRE(after->type == platform::kRegSz);
  const bool noEntry = before.find_first_not_of("; \t") == std::string::npos;
  REQUIRE(noEntry || after->Text().rfind(fakes::Upper(before), 0) == 0);
  // Taking the folder out again gives back the list as the install stored it before adding it
  // (unless the list ends in half a character, which swallows the separator added after it).
  std::size_t end = 0;
  while (end < before.size()) end += platform::IsCp936LeadByte(before[end]) ? 2 : 1;
  profile::RemoveTrustedPath(info, world.log);
  const auto removed = world.registry.Get(kVariables, "TRUSTEDPATHS");
  REQUIRE(world.AllReleased() && removed.has_value());
  info.SetInstallDir(folder);
  if (!noEntry && end == before.size() && after->Text() == fakes::Upper(before) + ";" + fakes::Upper(info.m_strInstallDir)) {
    REQUIRE(removed->Text() == fakes::Upper(before));
  }
  return 0;
}
