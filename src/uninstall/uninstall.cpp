#include "uninstall/uninstall.h"

#include "core/package.h"
#include "deploy/file_utilities.h"
#include "journal/maintenance.h"
#include "journal/removal.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/registry_values.h"
#include "profile/trusted_paths.h"

namespace uninstall {
namespace {

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kRunOnceValue[] = "VortelStructureToolboxTrust";
const char kFinisherPrefix[] = "Vortel-Uninstall-";

// A new folder of its own in the temporary folder, with the protected access list from its
// creation and a name nobody can guess (nor have made before): where the finishing copy goes.
platform::ErrorCode MakeHandoverFolder(const platform::Services& services, std::string* folder) {
  unsigned char random[12] = {};
  if (!services.environment.RandomBytes(random, sizeof random)) return platform::kErrorInvalidParameter;
  *folder = services.environment.TempFolder() + kFinisherPrefix;
  for (const unsigned char byte : random) *folder += platform::FormatText("%02x", byte);
  return services.files.MakeProtectedDirectory(*folder);
}

// The removal's last step, for the maintenance copy that cannot delete its own file while it
// runs: a copy of the program in a folder of its own in the temporary folder waits for it to end,
// and removes what the journal still names. The error when that copy cannot be started.
platform::ErrorCode HandOver(const UninstallRun& run, const std::string& installFolder) {
  const platform::Services& services = run.services;
  const std::uint32_t self = services.processes.CurrentProcessId();
  const std::optional<std::string> program = platform::ProgramPath(services.files);
  const std::optional<std::string> chosen = platform::FolderOf(installFolder, services.isLeadByte);
  std::string folder;
  platform::ErrorCode started =
      program && chosen ? MakeHandoverFolder(services, &folder) : platform::kErrorFileNotFound;
  const std::string finisher = platform::InFolder(folder, platform::FormatText("%s%u.exe", kFinisherPrefix, self));
  if (started == platform::kErrorSuccess) started = services.files.Copy(*program, finisher, true);
  if (started == platform::kErrorSuccess) {
    const std::string log = run.logPath.empty() ? "" : " /LOG=\"" + run.logPath + "\"";
    started = services.processes.StartProgram(
        finisher, platform::FormatText("/UNINSTALL /S /DIR=\"%s\" /AFTER=%u", chosen->c_str(), self) + log);
  }
  run.report.Line(started == platform::kErrorSuccess
                      ? "the removal is finished by " + finisher + " once this program has ended"
                      : platform::FormatText("the removal cannot be finished by a copy in the temporary folder "
                                             "(error %ld): the maintenance copy stays",
                                             started));
  return started;
}

// A run that finished another's removal goes itself when Windows next starts, where it may.
void LeaveNothingBehind(const UninstallRun& run) {
  const std::optional<std::string> program = platform::ProgramPath(run.services.files);
  const std::optional<std::string> folder =
      program ? platform::FolderOf(*program, run.services.isLeadByte) : std::nullopt;
  platform::ErrorCode scheduled =
      program ? run.services.files.Move(*program, "", platform::kMoveDelayUntilReboot) : platform::kErrorFileNotFound;
  if (scheduled == platform::kErrorSuccess && folder)  // its folder after it
    scheduled = run.services.files.Move(*folder, "", platform::kMoveDelayUntilReboot);
  run.report.Line(scheduled == platform::kErrorSuccess
                      ? "this copy is deleted when Windows next starts"
                      : platform::FormatText("this copy stays in the temporary folder (error %ld)", scheduled));
}

// Active Setup runs the step once per user and marks it done for the user whatever it found, so a
// user without an AutoCAD profile yet (AutoCAD never started) would never be trusted: the step then
// leaves itself a run-once entry of the user's, which Windows takes away as it starts the step at
// the next logon, and which the step leaves again for as long as there is no profile to trust.
platform::ErrorCode ComeBackAtNextLogon(const platform::Services& services, const std::string& installFolder,
                                        core::Report& report) {
  platform::ScopedRegKey key(services.registry);
  platform::ErrorCode written =
      services.registry.CreateKey(platform::kHkeyCurrentUser, kRunOnceKey, platform::kKeyReadWrite, key.Receive());
  const std::string command =
      "\"" + platform::InFolder(installFolder, journal::kMaintenanceName) + "\" " + journal::kTrustUserSwitch;
  if (written == platform::kErrorSuccess)
    written = platform::SetText(services.registry, key.Get(), kRunOnceValue, command);
  report.Line(
      written == platform::kErrorSuccess
          ? std::string("no AutoCAD profile to trust yet: the step runs again at the user's next logon (HKCU\\") +
                kRunOnceKey + ", " + kRunOnceValue + ")"
          : platform::FormatText("no AutoCAD profile to trust yet, and the step cannot run again at the next "
                                 "logon (error %ld)",
                                 written));
  return written;
}

// The installation a folder given names: the folder chosen at the install (holding V-Trelmox) or the
// installation folder itself, known by what it is. One that holds none while the entry names an
// installation elsewhere is refused, naming that one.
std::optional<std::string> FolderGiven(const UninstallRun& run, const std::string& given, core::Refusal* refusal) {
  const platform::Services& services = run.services;
  const std::optional<std::string> registered = journal::RegisteredInstallFolder(services);
  const std::string candidates[] = {platform::InFolder(given, core::kInstallSubFolder), given};
  for (const std::string& candidate : candidates) {
    if (registered && platform::IsSameFolder(services.files, candidate, *registered, services.isLeadByte)) {
      return registered;
    }
  }
  for (const std::string& candidate : candidates) {
    const std::string journal = platform::InFolder(candidate, journal::kJournalName);
    if (services.files.GetAttributes(journal) != platform::kInvalidFileAttributes) return candidate;
  }
  if (registered) {
    *refusal = core::Refusal::NoInstallationThere;
    run.report.Line("no installation in " + given + ": the installed one is in " + *registered);
    return std::nullopt;
  }
  return candidates[0];
}

}  // namespace

std::optional<std::string> MaintenanceCopyFolder(const platform::Services& services) {
  const std::optional<std::string> program = platform::ProgramPath(services.files);
  if (!program || !platform::EqualsIgnoringCase(platform::NameOf(*program, services.isLeadByte),
                                                journal::kMaintenanceName, services.isLeadByte)) {
    return std::nullopt;
  }
  return platform::FolderOf(*program, services.isLeadByte);
}

bool IsFinishingCopy(const platform::Services& services) {
  const std::optional<std::string> program = platform::ProgramPath(services.files);
  const std::optional<std::string> folder = program ? platform::FolderOf(*program, services.isLeadByte) : std::nullopt;
  const auto named = [&](const std::string& path) {
    const std::string name = platform::NameOf(path, services.isLeadByte);
    return name.size() > sizeof kFinisherPrefix && name.compare(0, sizeof kFinisherPrefix - 1, kFinisherPrefix) == 0;
  };
  return folder && named(*program) && named(*folder);
}

std::optional<std::string> FolderIfUninstallStarts(const UninstallRun& run, core::Refusal* refusal) {
  const platform::Services& services = run.services;
  const core::RunChoices& choices = run.choices;
  *refusal = core::Refusal::None;
  std::optional<std::string> folder =
      choices.folder ? FolderGiven(run, *choices.folder, refusal) : MaintenanceCopyFolder(services);
  if (!folder && !choices.folder) folder = journal::RegisteredInstallFolder(services);
  if (!folder) {
    if (*refusal == core::Refusal::None) run.report.Line("nothing to remove: the add-on is not installed");
    return std::nullopt;
  }
  if (deploy::IsAcadRunning(services)) {
    *refusal = core::Refusal::AcadRunningForUninstall;
    run.report.Line(std::string("the uninstall does not start: ") + core::RefusalReason(*refusal));
    return std::nullopt;
  }
  return folder;
}

UninstallResult Uninstall(const UninstallRun& run, const std::string& installFolder) {
  const platform::Services& services = run.services;
  run.installInfo.ScanInstalledReleases();
  const std::optional<std::string> registered = journal::RegisteredInstallFolder(services);
  const bool isRegistered =
      registered && platform::IsSameFolder(services.files, *registered, installFolder, services.isLeadByte);
  const journal::Removal removal =
      journal::RemoveInstallation(journal::RemovalRun{services, run.installInfo, run.report, run.progress},
                                  installFolder, registered && !isRegistered);
  UninstallResult result{core::Ending::Finished, removal.changed};
  switch (removal.end) {
    case journal::Removal::End::NoJournal:
      result.ending = isRegistered ? core::Ending::Failed : core::Ending::NothingToRemove;
      break;
    case journal::Removal::End::Unreadable: result.ending = core::Ending::Failed; break;
    case journal::Removal::End::Untrusted: result.ending = core::Ending::CannotProceed; break;
    case journal::Removal::End::Handover:
    case journal::Removal::End::Removed:
      const bool handedOver =
          removal.end != journal::Removal::End::Handover || HandOver(run, installFolder) == platform::kErrorSuccess;
      result.ending = removal.errors || !handedOver ? core::Ending::FinishedWithErrors
                      : removal.restartNeeded       ? core::Ending::RestartNeeded
                                                    : core::Ending::Finished;
      break;
  }
  for (const std::string& file : removal.changed) run.report.Line("kept, changed after the install: " + file);
  if (IsFinishingCopy(services)) LeaveNothingBehind(run);
  return result;
}

core::Ending RunSilentUninstall(const UninstallRun& run) {
  core::Refusal refusal;
  const std::optional<std::string> folder = FolderIfUninstallStarts(run, &refusal);
  if (!folder) return refusal == core::Refusal::None ? core::Ending::NothingToRemove : core::EndingOf(refusal);
  return Uninstall(run, *folder).ending;
}

core::Ending TrustFolderForUser(const platform::Services& services, CAcadInstallInfo& info, core::Report& report) {
  const std::optional<std::string> folder = MaintenanceCopyFolder(services);
  if (!folder) {
    report.Line("no folder to trust: the program is not the maintenance copy");
    return core::Ending::CannotProceed;
  }
  info.SetInstallDir(*folder);
  const profile::Trusted trusted = profile::AddTrustedPath(info, report);
  if (trusted.profiles == 0 && ComeBackAtNextLogon(services, *folder, report) != platform::kErrorSuccess) {
    return core::Ending::FinishedWithErrors;
  }
  return trusted.error == platform::kErrorSuccess ? core::Ending::Finished : core::Ending::FinishedWithErrors;
}

}  // namespace uninstall
