#include "journal/maintenance.h"

#include <algorithm>
#include <vector>

#include "core/package.h"
#include "core/registry_keys.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/registry_values.h"
#include "platform/texts.h"

namespace journal {
namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string StepCommand(const std::string& installFolder) {
  return Quoted(platform::InFolder(installFolder, kMaintenanceName)) + " " + kTrustUserSwitch;
}

// Writes each value in turn; the first error, if any.
class ValueWriter {
 public:
  ValueWriter(platform::Registry& registry, platform::RegKey key) : m_registry(registry), m_key(key) {}
  void Text(const char* name, const std::string& text) { m_error += platform::SetText(m_registry, m_key, name, text); }
  void Number(const char* name, std::uint32_t number) {
    m_error += platform::SetNumber(m_registry, m_key, name, number);
  }
  platform::ErrorCode Error() const { return m_error.Get(); }

 private:
  platform::Registry& m_registry;
  platform::RegKey m_key;
  platform::FirstError m_error;
};

platform::ErrorCode WriteUninstallEntry(platform::Registry& registry, platform::RegKey entry,
                                        const std::string& installFolder, std::uint64_t installedBytes) {
  const std::string copy = platform::InFolder(installFolder, kMaintenanceName);
  ValueWriter values(registry, entry);
  // The value the uninstall knows the entry by goes first: an entry a killed run left half written goes too.
  values.Text("InstallLocation", installFolder);
  values.Text("DisplayName", texts::kProductName);
  values.Text("DisplayVersion", core::VersionText());
  values.Text("Publisher", "Vortel");
  values.Text("DisplayIcon", copy);
  values.Text("UninstallString", Quoted(copy));
  values.Text("QuietUninstallString", Quoted(copy) + " /S");
  values.Number("EstimatedSize", static_cast<std::uint32_t>((installedBytes + 1023) / 1024));
  values.Number("NoModify", 1);
  values.Number("NoRepair", 1);
  return values.Error();
}

// Active Setup runs the step once for each user whose record of it is older than this
// version: each install writes a newer one, so that a folder moved is trusted anew.
platform::ErrorCode WritePerUserStep(const platform::Services& services, platform::RegKey step,
                                     const std::string& installFolder) {
  const platform::LocalTime now = services.environment.Now();
  ValueWriter values(services.registry, step);
  values.Text("StubPath", StepCommand(installFolder));  // what the uninstall knows it by, first
  values.Text("", texts::kProductName);
  values.Text("Version", platform::FormatText("%d,%d,%d,%d", now.year, now.month * 100 + now.day,
                                              now.hour * 100 + now.minute, now.second));
  values.Number("IsInstalled", 1);
  return values.Error();
}

// Opens (or makes) a key of the maintenance entries and writes it, or takes it away again; the
// error that stopped it.
template <typename Write>
platform::ErrorCode WriteKey(const platform::Services& services, platform::RegKey root, const char* path,
                             core::Report& report, Write write) {
  platform::ScopedRegKey key(services.registry);
  const platform::ErrorCode made =
      core::CreateKeyReported(services, root, root == platform::kHkeyLocalMachine ? "HKLM" : "HKCU", path, key, report);
  if (!key.IsOpen()) return made != platform::kErrorSuccess ? made : platform::kErrorInvalidHandle;
  const platform::ErrorCode written = write(key.Get());
  if (written != platform::kErrorSuccess) {  // a key half written would name what is not there
    key.Reset();
    services.registry.DeleteKey(root, path);
  }
  return written;
}

// Whether a value names the installation folder (InstallLocation), or is the per-user step's command
// for it, however the folder is spelt.
bool NamesFolder(const platform::Services& services, const std::string& value, const std::string& folder) {
  const platform::LeadByteTest lead = services.isLeadByte;
  const std::string command = StepCommand(folder),
                    tail = std::string("\\") + kMaintenanceName + "\" " + kTrustUserSwitch;
  if (platform::EqualsIgnoringCase(value, command, lead)) return true;
  const bool step = value.size() > tail.size() + 1 && value.front() == '"' &&
                    platform::EqualsIgnoringCase(value.substr(value.size() - tail.size()), tail, lead);
  const std::string named = step ? value.substr(1, value.size() - tail.size() - 1) : value;
  return platform::IsSameFolder(services.files, named, folder, lead);
}

// Removes a key while its value names `folder`; the error when it cannot be told or removed.
platform::ErrorCode RemoveKeyNaming(const platform::Services& services, platform::RegKey root, const char* path,
                                    const char* value, const std::string& folder, const char* what,
                                    core::Report& report) {
  platform::ValueText named;
  platform::ErrorCode removed = platform::ReadValueText(services.registry, root, path, value, 1024, &named);
  if (removed == platform::kErrorFileNotFound) return platform::kErrorSuccess;
  if (removed == platform::kErrorSuccess && !NamesFolder(services, named.text, folder)) return platform::kErrorSuccess;
  if (removed == platform::kErrorSuccess) removed = services.registry.DeleteKey(root, path);
  report.Line(removed == platform::kErrorSuccess
                  ? platform::FormatText("%s removed: %s", what, path)
                  : platform::FormatText("%s not removed (error %ld): %s", what, removed, path));
  return removed;
}

}  // namespace

platform::ErrorCode RegisterMaintenance(const platform::Services& services, const std::string& installFolder,
                                        std::uint64_t installedBytes, core::Report& report) {
  const auto entry = [&](platform::RegKey key) {
    return WriteUninstallEntry(services.registry, key, installFolder, installedBytes);
  };
  platform::RegKey root = platform::kHkeyLocalMachine;
  platform::ErrorCode written = WriteKey(services, root, kUninstallKey, report, entry);
  if (written != platform::kErrorSuccess) {
    report.Line(platform::FormatText("no uninstall entry below HKLM (error %ld): for this user only", written));
    root = platform::kHkeyCurrentUser;
    written = WriteKey(services, root, kUninstallKey, report, entry);
  }
  if (written != platform::kErrorSuccess) {
    report.Line(platform::FormatText("no uninstall entry could be written (error %ld)", written));
    return written;
  }
  report.Line(std::string("uninstall entry: ") + (root == platform::kHkeyLocalMachine ? "HKLM\\" : "HKCU\\") +
              kUninstallKey);
  if (root != platform::kHkeyLocalMachine) return platform::kErrorSuccess;
  written = WriteKey(services, root, kActiveSetupKey, report,
                     [&](platform::RegKey key) { return WritePerUserStep(services, key, installFolder); });
  if (written == platform::kErrorSuccess) {
    report.Done(core::Effect{core::EffectKind::PerUserStepWritten, {installFolder}});
    report.Line(std::string("per-user step: HKLM\\") + kActiveSetupKey);
  } else {
    report.Line(platform::FormatText("no per-user step could be written (error %ld)", written));
  }
  return written;
}

std::optional<std::string> RegisteredInstallFolder(const platform::Services& services) {
  for (const platform::RegKey root : {platform::kHkeyLocalMachine, platform::kHkeyCurrentUser}) {
    const std::string folder = platform::ReadString(services.registry, root, kUninstallKey, "InstallLocation");
    if (!folder.empty()) return folder;
  }
  return std::nullopt;
}

std::string RegisteredVersion(const platform::Services& services) {
  for (const platform::RegKey root : {platform::kHkeyLocalMachine, platform::kHkeyCurrentUser}) {
    const std::string version = platform::ReadString(services.registry, root, kUninstallKey, "DisplayVersion");
    if (!version.empty()) return version;
  }
  return "";
}

int CompareVersions(const std::string& a, const std::string& b) {
  const auto numbers = [](const std::string& version) {
    std::vector<unsigned long> parts;
    for (std::size_t start = 0; start <= version.size();) {
      const std::size_t end = std::min(version.find('.', start), version.size());
      const std::string part = version.substr(start, std::min<std::size_t>(end - start, 9));
      parts.push_back(part.empty() || part.find_first_not_of("0123456789") != std::string::npos ? 0 : std::stoul(part));
      start = end + 1;
    }
    return parts;
  };
  std::vector<unsigned long> first = numbers(a), second = numbers(b);
  first.resize(std::max(first.size(), second.size()));
  second.resize(first.size());
  return first < second ? -1 : first == second ? 0 : 1;
}

platform::ErrorCode UnregisterMaintenance(const platform::Services& services, const std::string& installFolder,
                                          core::Report& report) {
  platform::FirstError removed;
  for (const platform::RegKey root : {platform::kHkeyLocalMachine, platform::kHkeyCurrentUser}) {
    removed +=
        RemoveKeyNaming(services, root, kUninstallKey, "InstallLocation", installFolder, "uninstall entry", report);
  }
  removed += RemoveKeyNaming(services, platform::kHkeyLocalMachine, kActiveSetupKey, "StubPath", installFolder,
                             "per-user step", report);
  return removed.Get();
}

}  // namespace journal
