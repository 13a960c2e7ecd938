#include "journal/maintenance.h"

#include <vector>

#include "core/registry_keys.h"
#include "platform/format.h"
#include "platform/texts.h"
#include "core/package.h"

namespace journal {
namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VortelStructureToolbox";
const char kActiveSetupKey[] = "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\VortelStructureToolbox";
// The program's path is read into this many bytes, so at most 260 characters.
constexpr std::uint32_t kModulePathBufferSize = 261;

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

void SetText(platform::Registry& registry, platform::RegKey key, const char* name, const std::string& text) {
  registry.SetValue(key, name, platform::kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                    static_cast<std::uint32_t>(text.size() + 1));
}

void SetNumber(platform::Registry& registry, platform::RegKey key, const char* name, std::uint32_t number) {
  registry.SetValue(key, name, platform::kRegDword, reinterpret_cast<const std::uint8_t*>(&number), sizeof number);
}

// A text value of a key below `root`; "" when there is none.
std::string ReadText(platform::Registry& registry, platform::RegKey root, const char* path, const char* name) {
  platform::ScopedRegKey key(registry);
  std::vector<std::uint8_t> data(1024, 0);
  std::uint32_t size = static_cast<std::uint32_t>(data.size() - 1), type = 0;
  if (registry.OpenKey(root, path, key.Receive()) != platform::kErrorSuccess ||
      registry.QueryValue(key.Get(), name, &type, data.data(), &size) != platform::kErrorSuccess || type != platform::kRegSz) {
    return "";
  }
  return reinterpret_cast<const char*>(data.data());
}

bool SameFolder(const platform::Services& services, const std::string& a, const std::string& b) {
  return platform::EqualsIgnoringCase(a, b, services.isLeadByte);
}

// The copy of the running program in the installation folder, through which the add-on is removed.
void MakeMaintenanceCopy(const platform::Services& services, const std::string& copy, core::Report& report) {
  char program[kModulePathBufferSize] = {};
  const std::uint32_t length = services.files.ModuleFileName(program, kModulePathBufferSize);
  const platform::ErrorCode copied = length > 0 && length < kModulePathBufferSize
                                         ? services.files.Copy(std::string(program, length), copy, false)
                                         : platform::kErrorFilenameTooLong;
  report.Line(copied == platform::kErrorSuccess ? "maintenance copy: " + copy
              : platform::FormatText("maintenance copy %s not made (error %ld)", copy.c_str(), copied));
}

void WriteUninstallEntry(platform::Registry& registry, platform::RegKey entry, const std::string& installFolder,
                         std::uint64_t installedBytes) {
  const std::string copy = installFolder + "\\" + kMaintenanceName;
  SetText(registry, entry, "DisplayName", texts::kProductName);
  SetText(registry, entry, "DisplayVersion",
          platform::FormatText("%d.%02d.%02d", g_nPackageVersion / 10000, g_nPackageVersion % 10000 / 100,
                               g_nPackageVersion % 100));
  SetText(registry, entry, "Publisher", "Vortel");
  SetText(registry, entry, "InstallLocation", installFolder);
  SetText(registry, entry, "DisplayIcon", copy);
  SetText(registry, entry, "UninstallString", Quoted(copy));
  SetText(registry, entry, "QuietUninstallString", Quoted(copy) + " /S");
  SetNumber(registry, entry, "EstimatedSize", static_cast<std::uint32_t>((installedBytes + 1023) / 1024));
  SetNumber(registry, entry, "NoModify", 1);
  SetNumber(registry, entry, "NoRepair", 1);
}

// Active Setup runs the step once for each user whose record of it is older than this
// version: each install writes a newer one, so that a folder moved is trusted anew.
void WritePerUserStep(const platform::Services& services, platform::RegKey step, const std::string& installFolder) {
  const platform::LocalTime now = services.environment.Now();
  SetText(services.registry, step, "", texts::kProductName);
  SetText(services.registry, step, "StubPath", Quoted(installFolder + "\\" + kMaintenanceName) + " " + kTrustUserSwitch);
  SetText(services.registry, step, "Version",
          platform::FormatText("%d,%d,%d,%d", now.year, now.month * 100 + now.day, now.hour * 100 + now.minute, now.second));
  SetNumber(services.registry, step, "IsInstalled", 1);
}

}  // namespace

void RegisterMaintenance(const platform::Services& services, const std::string& installFolder,
                         std::uint64_t installedBytes, core::Report& report) {
  MakeMaintenanceCopy(services, installFolder + "\\" + kMaintenanceName, report);
  platform::ScopedRegKey entry(services.registry);
  const bool machineWide = core::CreateKeyReported(services, platform::kHkeyLocalMachine, "HKLM", kUninstallKey, entry,
                                             report) == platform::kErrorSuccess;
  if (!machineWide) core::CreateKeyReported(services, platform::kHkeyCurrentUser, "HKCU", kUninstallKey, entry, report);
  if (entry.IsOpen()) WriteUninstallEntry(services.registry, entry.Get(), installFolder, installedBytes);
  report.Line(!entry.IsOpen() ? std::string("no uninstall entry could be written")
              : machineWide   ? std::string("uninstall entry: HKLM\\") + kUninstallKey
                              : std::string("uninstall entry, for this user only: HKCU\\") + kUninstallKey);
  platform::ScopedRegKey step(services.registry);
  if (machineWide && core::CreateKeyReported(services, platform::kHkeyLocalMachine, "HKLM", kActiveSetupKey, step, report) ==
                         platform::kErrorSuccess) {
    WritePerUserStep(services, step.Get(), installFolder);
    report.PerUserStepWritten(installFolder);
    report.Line(std::string("per-user step: HKLM\\") + kActiveSetupKey);
  }
}

std::optional<std::string> RegisteredInstallFolder(const platform::Services& services) {
  for (const platform::RegKey root : {platform::kHkeyLocalMachine, platform::kHkeyCurrentUser}) {
    const std::string folder = ReadText(services.registry, root, kUninstallKey, "InstallLocation");
    if (!folder.empty()) return folder;
  }
  return std::nullopt;
}

void UnregisterMaintenance(const platform::Services& services, const std::string& installFolder,
                           core::Report& report) {
  platform::Registry& registry = services.registry;
  for (const platform::RegKey root : {platform::kHkeyLocalMachine, platform::kHkeyCurrentUser}) {
    if (!SameFolder(services, ReadText(registry, root, kUninstallKey, "InstallLocation"), installFolder)) continue;
    const platform::ErrorCode removed = registry.DeleteKey(root, kUninstallKey);
    report.Line(removed == platform::kErrorSuccess ? std::string("uninstall entry removed: ") + kUninstallKey
                : platform::FormatText("uninstall entry not removed: %s (error %ld)", kUninstallKey, removed));
  }
  const std::string stub = ReadText(registry, platform::kHkeyLocalMachine, kActiveSetupKey, "StubPath");
  if (!SameFolder(services, stub, Quoted(installFolder + "\\" + kMaintenanceName) + " " + kTrustUserSwitch)) return;
  const platform::ErrorCode removed = registry.DeleteKey(platform::kHkeyLocalMachine, kActiveSetupKey);
  report.Line(removed == platform::kErrorSuccess ? std::string("per-user step removed: ") + kActiveSetupKey
              : platform::FormatText("per-user step not removed: %s (error %ld)", kActiveSetupKey, removed));
}

}  // namespace journal
