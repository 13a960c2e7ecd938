// The trusted-path update of one profile with a stored value of any type, size and bytes:
// the stored list is never lost or shortened, and is left alone when it cannot be read whole.
#include "acad/install_info.h"
#include "fuzz_input.h"
#include "support/fake_services.h"

using fuzz::Require;

const char kVariables[] = "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\Profiles\\P\\Variables";

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const std::uint32_t type = input.Below(7);
  std::string folder = "C:\\" + input.Bytes(input.Below(40));
  std::string stored = input.Bytes(size);
  if (input.Byte() % 8 == 0 && !stored.empty()) stored = std::string(10001 + stored[0], stored[0]);

  fakes::FakeServices world;
  world.registry.SetRaw(platform::kHkeyCurrentUser, kVariables, "TRUSTEDPATHS", type,
                        std::vector<std::uint8_t>(stored.begin(), stored.end()));
  CAcadInstallInfo info{world.services};
  info.SetInstallDir(folder);
  info.AddTrustedPath();
  Require(world.registry.OpenHandleCount() == 0);

  const auto after = world.registry.GetValue(platform::kHkeyCurrentUser, kVariables, "TRUSTEDPATHS");
  Require(after.has_value());
  if (stored.size() > 10000) {
    Require(after->type == type && after->data == std::vector<std::uint8_t>(stored.begin(), stored.end()));
    return 0;
  }
  const std::string before = stored.substr(0, stored.find('\0'));
  const std::string now = after->Text();
  Require(after->type == platform::kRegSz);
  if (before.size() <= 2) return 0;
  std::string upperBefore = before;
  platform::ToUpperByCharacters(upperBefore, platform::IsCp936LeadByte);
  Require(now.compare(0, upperBefore.size(), upperBefore) == 0);
  return 0;
}
