#include "uninstall/uninstall.h"

#include <algorithm>
#include <vector>

#include "deploy/file_utilities.h"
#include "core/endings.h"
#include "journal/journal.h"
#include "journal/maintenance.h"
#include "core/registry_keys.h"
#include "platform/format.h"
#include "profile/trusted_paths.h"

namespace uninstall {
namespace {

using journal::InstallRecord;

// The program's path is read into this many bytes, so at most 260 characters.
constexpr std::uint32_t kModulePathBufferSize = 261;
constexpr std::size_t kLoaderBufferSize = 1024;
constexpr int kSteps = 5;

// The fonts stay in AutoCAD's folders: drawings made with the add-on name them.
bool IsFont(const platform::Services& services, const std::string& path) {
  return path.size() > 4 && platform::EqualsIgnoringCase(path.substr(path.size() - 4), ".shx", services.isLeadByte);
}

bool IsInFolder(const platform::Services& services, const std::string& path, const std::string& folder) {
  return path.size() > folder.size() + 1 && path[folder.size()] == '\\' &&
         platform::EqualsIgnoringCase(path.substr(0, folder.size()), folder, services.isLeadByte);
}

// One uninstall: what it does, told to the report, and whether anything could not be undone.
class Remover {
 public:
  Remover(const UninstallRun& run, std::string installFolder)
      : m_run(run), m_services(run.services), m_folder(std::move(installFolder)) {}

  bool HadErrors() const { return m_errors; }

  // Each loader entry the install wrote, while its LOADER still names a file in this folder.
  void RemoveLoaderEntries(const std::vector<InstallRecord::Pair>& loaders) {
    platform::Registry& registry = m_services.registry;
    for (const auto& [productKeyPath, entryName] : loaders) {
      const std::string where = "HKLM\\" + productKeyPath + entryName;
      platform::ScopedRegKey productKey(registry);
      platform::ScopedRegKey entry(registry);
      if (registry.OpenKey(platform::kHkeyLocalMachine, productKeyPath.c_str(), productKey.Receive()) !=
              platform::kErrorSuccess ||
          registry.OpenKey(productKey.Get(), entryName.c_str(), entry.Receive()) != platform::kErrorSuccess) {
        m_run.report.Line("loader entry already gone: " + where);
        continue;
      }
      const std::string loader = ReadLoader(entry.Get());
      entry.Reset();
      if (!IsInFolder(m_services, loader, m_folder)) {
        m_run.report.Line("loader entry left: " + where + " names \"" + loader + "\", not this installation");
        continue;
      }
      Done(registry.DeleteKey(productKey.Get(), entryName.c_str()), "loader entry removed: " + where);
    }
  }

  // The folder out of every trusted-path list of the user; a list the install made goes whole
  // when the folder was all it named.
  void RemoveTrustedPaths(const std::vector<InstallRecord::Pair>& trusted) {
    std::vector<std::string> valuesMade;
    for (const auto& [variablesKey, existed] : trusted) {
      if (existed == "0") valuesMade.push_back(variablesKey);
    }
    m_run.installInfo.SetInstallDir(m_folder);
    profile::RemoveTrustedPath(m_run.installInfo, valuesMade, m_run.report);
  }

  // What each file the install replaced in AutoCAD's folders held before comes back; the fonts
  // stay, and so does a file whose original was not kept.
  void RestorePlacedFiles(const InstallRecord& record) {
    for (const std::string& placed : record.placed) {
      const auto original = std::find_if(record.originals.begin(), record.originals.end(),
                                         [&](const InstallRecord::Pair& pair) { return pair.first == placed; });
      if (original != record.originals.end()) {
        RestoreOriginal(placed, original->second);
      } else {
        m_run.report.Line((IsFont(m_services, placed) ? "font left in place: " : "left in place, its original unknown: ") + placed);
      }
    }
  }

  // The files the install copied, the record, and the maintenance copy, which is deleted when
  // Windows next starts if it is running.
  void DeleteFiles(const std::vector<std::string>& files) {
    for (const std::string& file : files) DeleteFile(file);
    DeleteFile(m_folder + "\\" + journal::kRecordName);
    const std::string copy = m_folder + "\\" + journal::kMaintenanceName;
    const platform::ErrorCode deleted = m_services.files.Delete(copy);
    if (deleted == platform::kErrorSuccess || deleted == platform::kErrorFileNotFound) {
      m_run.report.Line("deleted " + copy);
    } else if (Done(m_services.files.DeleteAtRestart(copy), "deleted when Windows next starts: " + copy)) {
      m_atRestart.push_back(copy);
    }
  }

  // The folders the install made, the deepest first, each when nothing is left in it; one
  // that holds only what is deleted when Windows starts goes then too. The installation folder
  // and those above it stay when `keepInstallFolder`.
  void RemoveFolders(const std::vector<std::string>& folders, bool keepInstallFolder) {
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
      if (keepInstallFolder && (*folder == m_folder || IsInFolder(m_services, m_folder, *folder))) {
        m_run.report.Line("folder kept: " + *folder);
        continue;
      }
      const platform::ErrorCode removed = m_services.files.RemoveFolder(*folder);
      if (removed == platform::kErrorSuccess || removed == platform::kErrorFileNotFound) {
        m_run.report.Line("removed folder " + *folder);
      } else if (!HoldsOnly(*folder, m_atRestart)) {
        m_run.report.Line("folder left: " + *folder + " holds files the install did not copy");
      } else if (Done(m_services.files.DeleteAtRestart(*folder), "removed when Windows next starts: " + *folder)) {
        m_atRestart.push_back(*folder);
      }
    }
  }

  // The registry keys the install made, the deepest first, each when it is empty.
  void RemoveKeys(const std::vector<std::string>& keys) {
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
      m_run.report.Line((core::RemoveKeyIfEmpty(m_services, *key) ? "key removed: " : "key left, not empty: ") + *key);
    }
  }

 private:
  std::string ReadLoader(platform::RegKey entry) {
    std::vector<std::uint8_t> data(kLoaderBufferSize + 1, 0);
    std::uint32_t size = kLoaderBufferSize, type = 0;
    const bool read = m_services.registry.QueryValue(entry, "LOADER", &type, data.data(), &size) ==
                      platform::kErrorSuccess && (type == platform::kRegSz || type == platform::kRegExpandSz);
    return read ? reinterpret_cast<const char*>(data.data()) : "";
  }

  // The copy kept holds the original, or nothing when there was none.
  void RestoreOriginal(const std::string& placed, const std::string& copy) {
    const std::optional<std::uint64_t> size = FileSize(copy);
    if (!size) {
      m_run.report.Line("nothing to put back for " + placed + ": " + copy + " is gone");
    } else if (*size == 0) {
      DeleteFile(placed);
      DeleteFile(copy);
    } else if (Done(m_services.files.Copy(copy, placed, false), "original put back: " + placed)) {
      DeleteFile(copy);
    }
  }

  std::optional<std::uint64_t> FileSize(const std::string& path) {
    platform::ScopedFind find(m_services.files);
    platform::FoundEntry entry;
    if (m_services.files.FindFirst(path, find.Receive(), &entry) != platform::kErrorSuccess ||
        (entry.attributes & platform::kFileAttributeDirectory) != 0) {
      return std::nullopt;
    }
    return entry.size;
  }

  void DeleteFile(const std::string& path) {
    const platform::ErrorCode deleted = m_services.files.Delete(path);
    Done(deleted == platform::kErrorFileNotFound ? platform::kErrorSuccess : deleted, "deleted " + path);
  }

  // Whether every entry of `folder` is among `paths`.
  bool HoldsOnly(const std::string& folder, const std::vector<std::string>& paths) {
    platform::ScopedFind find(m_services.files);
    platform::FoundEntry entry;
    for (platform::ErrorCode found = m_services.files.FindFirst(folder + "\\*", find.Receive(), &entry);
         found == platform::kErrorSuccess; found = m_services.files.FindNext(find.Get(), &entry)) {
      if (entry.name != "." && entry.name != ".." && std::find(paths.begin(), paths.end(), folder + "\\" + entry.name) == paths.end()) {
        return false;
      }
    }
    return find.IsOpen();
  }

  // Reports one step; false, and the uninstall has errors, when it failed.
  bool Done(platform::ErrorCode result, const std::string& what) {
    if (result != platform::kErrorSuccess) m_errors = true;
    m_run.report.Line(result == platform::kErrorSuccess ? what
                                                        : platform::FormatText("failed (error %ld): %s", result, what.c_str()));
    return result == platform::kErrorSuccess;
  }

  const UninstallRun& m_run;
  const platform::Services& m_services;
  const std::string m_folder;
  std::vector<std::string> m_atRestart;
  bool m_errors = false;
};

std::string ModulePath(const platform::Services& services) {
  char program[kModulePathBufferSize] = {};
  const std::uint32_t length = services.files.ModuleFileName(program, kModulePathBufferSize);
  return length < kModulePathBufferSize ? std::string(program, length) : "";
}

int CannotProceed(core::Report& report, const std::string& why) {
  report.Line("the uninstall does not start: " + why);
  return core::kExitCannotProceed;
}

}  // namespace

std::optional<std::string> MaintenanceCopyFolder(const platform::Services& services) {
  const std::string program = ModulePath(services);
  const std::size_t slash = program.find_last_of('\\');
  if (slash == std::string::npos ||
      !platform::EqualsIgnoringCase(program.substr(slash + 1), journal::kMaintenanceName, services.isLeadByte)) {
    return std::nullopt;
  }
  return program.substr(0, slash);
}

std::optional<std::string> FolderToRemove(const platform::Services& services) {
  if (auto own = MaintenanceCopyFolder(services)) return own;
  return journal::RegisteredInstallFolder(services);
}

UninstallEnd Uninstall(const UninstallRun& run, const std::string& installFolder) {
  run.report.Line("installation folder: " + installFolder);
  const std::optional<InstallRecord> record = journal::ReadInstallRecord(run.services, installFolder);
  if (!record) {
    run.report.Line(std::string("the record ") + journal::kRecordName + " is missing or cannot be read whole: nothing is removed");
    return UninstallEnd::RecordUnreadable;
  }
  run.progress.Send(platform::kPbmSetRange, 0, kSteps << 16);
  run.progress.Send(platform::kPbmSetStep, 1, 0);
  Remover remover(run, installFolder);
  const auto step = [&] { run.progress.Send(platform::kPbmStepIt, 0, 0); };
  remover.RemoveLoaderEntries(record->loaders), step();
  remover.RemoveTrustedPaths(record->trusted), step();
  // AutoCAD's folders serve the installation Programs and Features names: one elsewhere keeps them.
  const std::optional<std::string> registered = journal::RegisteredInstallFolder(run.services);
  if (!registered || platform::EqualsIgnoringCase(*registered, installFolder, run.services.isLeadByte)) {
    remover.RestorePlacedFiles(*record);
  } else {
    run.report.Line("AutoCAD's folders are left as they are: the add-on stays installed in " + *registered);
  }
  step();
  remover.DeleteFiles(record->files), step();
  journal::UnregisterMaintenance(run.services, installFolder, run.report);
  // Where a per-user step trusted the folder for every user, other users' AutoCAD may still trust
  // it: it stays, empty, with its access list, so that nobody else can put a module there.
  const bool trustedForOthers = !record->steps.empty();
  if (trustedForOthers) run.report.Line("the installation folder stays: other users' AutoCAD may trust it");
  remover.RemoveFolders(record->folders, trustedForOthers);
  remover.RemoveKeys(record->keys), step();
  return remover.HadErrors() ? UninstallEnd::FinishedWithErrors : UninstallEnd::Finished;
}

void TrustFolderForUser(const platform::Services& services, CAcadInstallInfo& info, core::Report& report) {
  const std::optional<std::string> folder = MaintenanceCopyFolder(services);
  if (!folder) {
    report.Line("no folder to trust: the program is not the maintenance copy");
    return;
  }
  info.SetInstallDir(*folder);
  profile::AddTrustedPath(info, report);
}

int ExitCodeOf(UninstallEnd end) {
  switch (end) {
    case UninstallEnd::Finished: return core::kExitFinished;
    case UninstallEnd::FinishedWithErrors: return core::kExitFinishedWithErrors;
    case UninstallEnd::RecordUnreadable: return core::kExitFailed;
  }
  return core::kExitFailed;
}

int RunSilentUninstall(const platform::Services& services, CAcadInstallInfo& info, core::Report& report) {
  if (deploy::IsAcadRunning(services)) return CannotProceed(report, "AutoCAD is running");
  const std::optional<std::string> folder = FolderToRemove(services);
  if (!folder) return CannotProceed(report, "the add-on is not installed");
  platform::NoProgressBar progress;
  return ExitCodeOf(Uninstall(UninstallRun{services, info, progress, report}, *folder));
}

}  // namespace uninstall
