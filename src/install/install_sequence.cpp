#include "install/install_sequence.h"

#include <algorithm>

#include "core/package.h"
#include "deploy/acad_folders.h"
#include "deploy/copy_job.h"
#include "install/install_folder.h"
#include "journal/journal.h"
#include "journal/maintenance.h"
#include "journal/removal.h"
#include "platform/file_contents.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "profile/loader_registration.h"
#include "profile/trusted_paths.h"

namespace install {
namespace {

constexpr int kProgressEnd = 50;
constexpr std::intptr_t kProgressRange = kProgressEnd << 16;  // low word 0, high word 50
const char kUnreadableSuffix[] = ".unreadable";

// The lines of a journal that place files into AutoCAD's folders, of folders nobody else writes.
journal::Lines Placements(const platform::Services& services, const std::string& folder) {
  journal::Lines lines, placements;
  if (journal::WhyUntrusted(services, folder) != nullptr ||
      journal::ReadJournal(services, folder, &lines) != journal::ReadResult::Read) {
    return placements;
  }
  for (const core::Effect& line : lines) {
    if (line.kind == core::EffectKind::FilePlaced || line.kind == core::EffectKind::FileReplaced)
      placements.push_back(line);
  }
  return placements;
}

// Whether a file holds what an earlier install placed there, by the journals of this folder and
// of the installation registered before.
deploy::PlacedEarlier PlacedBy(const platform::Services& services, journal::Lines placements) {
  return [&services, placements](const std::string& path, const platform::FileDigest& digest) {
    return std::any_of(placements.begin(), placements.end(), [&](const core::Effect& line) {
      platform::FileDigest placed;
      return platform::IsSamePath(line.fields[0], path, services.isLeadByte) &&
             platform::ParseDigest(line.fields[1], &placed) && placed == digest;
    });
  };
}

journal::RemovalRun RemovalOf(const InstallRun& run) {
  return journal::RemovalRun{run.services, run.installInfo, run.report, run.progress};
}

// The end of a run that failed or aborted: undone when it rolls back, registered nowhere.
core::Ending Stop(const InstallRun& run, CopyJob& job, journal::JournalFile& record, core::Ending ending) {
  if (!run.rollBackOnFailure) {
    job.LetGoOfReplaced();
    record.Finish();
    return ending;
  }
  job.PutBackReplaced();
  job.LetGoOfFolders();
  journal::RollBack(RemovalOf(run), record);
  return core::Ending::Failed;
}

// An upgrade replaces: the files of the installation there before that this package no longer ships
// (and this run did not write) go, each while unchanged; the journal forgets those that went.
void RemoveDropped(const InstallRun& run, const CopyJob& job, journal::JournalFile& record) {
  if (!job.ListedWhole()) return;
  const auto named = [&](const std::vector<std::string>& paths, const std::string& path) {
    return std::any_of(paths.begin(), paths.end(), [&](const std::string& other) {
      return platform::IsSamePath(other, path, run.services.isLeadByte);
    });
  };
  std::vector<std::string> written = job.Shipped();
  for (const core::Effect& line : record.Written()) written.push_back(line.fields[0]);
  journal::Lines dropped;
  for (const core::Effect& line : record.Earlier()) {
    if (line.kind == core::EffectKind::FileCopied && !named(written, line.fields[0])) dropped.push_back(line);
  }
  for (const core::Effect& line : dropped) run.report.Line("no longer shipped: " + line.fields[0]);
  for (const core::Effect& line : journal::RemoveFiles(RemovalOf(run), record.Folder(), dropped)) record.Undone(line);
}

// What the journal of the folder held before: a last line cut short left out, what a killed run
// left removed. A journal that cannot be read is set aside, never written on.
journal::Lines EarlierLines(const InstallRun& run, const std::string& folder) {
  journal::Lines lines;
  const journal::ReadResult read = journal::ReadJournal(run.services, folder, &lines, &run.report);
  if (read == journal::ReadResult::Unreadable) {
    const std::string path = platform::InFolder(folder, journal::kJournalName);
    const platform::ErrorCode moved =
        run.services.files.Move(path, path + kUnreadableSuffix, platform::kMoveReplaceExisting);
    run.report.Line(
        moved == platform::kErrorSuccess
            ? "the journal found there cannot be read: set aside as " + path + kUnreadableSuffix
            : platform::FormatText("the journal found there cannot be read nor set aside (error %ld)", moved));
    return {};
  }
  return journal::RemoveLeftovers(RemovalOf(run), folder, lines);
}

// The entries go last, and only where the uninstall has what it needs.
platform::ErrorCode Register(const InstallRun& run, const std::string& folder, std::uint64_t bytes,
                             core::Report& report) {
  platform::FileSystem& files = run.services.files;
  const bool inPlace =
      files.GetAttributes(platform::InFolder(folder, journal::kJournalName)) != platform::kInvalidFileAttributes &&
      files.GetAttributes(platform::InFolder(folder, journal::kMaintenanceName)) != platform::kInvalidFileAttributes;
  if (!inPlace) {
    report.Line("no uninstall entry is written: the journal or the maintenance copy is missing");
    return platform::kErrorFileNotFound;
  }
  return journal::RegisterMaintenance(run.services, folder, bytes, report);
}

// One installation per machine: the one registered before in another folder goes, its AutoCAD
// folders left to the new one. The keys it made that now hold the new one's entries (the
// Applications keys, the uninstall entry's) pass to the new one's journal.
platform::ErrorCode ReplaceEarlier(const InstallRun& run, const std::optional<std::string>& earlier,
                                   const std::string& folder, journal::JournalFile& record) {
  if (!earlier || platform::IsSameFolder(run.services.files, *earlier, folder, run.services.isLeadByte)) {
    return platform::kErrorSuccess;
  }
  run.report.Line("the installation in " + *earlier + " is replaced by this one and removed");
  platform::NoProgressBar progress;
  const journal::Removal removal = journal::RemoveInstallation(
      journal::RemovalRun{run.services, run.installInfo, run.report, progress}, *earlier, true);
  for (const core::Effect& key : removal.keysLeft) record.Done(key);
  const bool removed = removal.end == journal::Removal::End::NoJournal ||
                       (removal.end == journal::Removal::End::Removed && !removal.errors);
  return removed ? platform::kErrorSuccess : platform::kErrorAccessDenied;
}

}  // namespace

std::optional<std::string> NewerVersionInstalled(const platform::Services& services, core::Report& report) {
  const std::string installed = journal::RegisteredVersion(services), ours = core::VersionText();
  if (installed.empty() || journal::CompareVersions(installed, ours) <= 0) return std::nullopt;
  report.Line("the installed version " + installed + " is newer than this package's " + ours);
  return installed;
}

void LogInstallations(core::Report& report, const CAcadInstallInfo& info, const acad::ReleaseTicks& ticks) {
  std::string ticked;
  for (int index = 0; index < acad::kReleaseCount; ++index) {
    const int year = acad::ReleaseYear(index);
    for (std::size_t n = 0; n < info.m_arrProductKey[index].size(); ++n) {
      const std::string& key = info.m_arrProductKey[index][n];
      const bool wow = key.rfind("SOFTWARE\\Wow6432Node\\", 0) == 0;
      report.Line(platform::FormatText("found AutoCAD %d: HKLM\\%s (%s root), folder %s", year, key.c_str(),
                                       wow ? "32-bit" : "native", info.m_arrAcadLocation[index][n].c_str()));
    }
    if (ticks[index] != 0) ticked += " " + std::to_string(year);
  }
  report.Line(ticked.empty() ? "releases ticked: none" : "releases ticked:" + ticked);
}

core::Outcome Install(const InstallRun& run, const InstallTarget& target) {
  const std::string typed = platform::InFolder(target.folder, core::kInstallSubFolder);
  const std::optional<std::string> earlier = journal::RegisteredInstallFolder(run.services);
  const std::string version = journal::RegisteredVersion(run.services);
  if (!version.empty()) run.report.Line("version " + core::VersionText() + " replaces version " + version);
  std::vector<std::string> made = PrepareInstallFolder(run.services, target.folder, typed, run.report);
  // Every path the install stores names the folder in its long spelling, whichever the user typed.
  const std::string folder = platform::LongSpelling(run.services.files, typed);
  for (std::string& level : made) level = platform::LongSpelling(run.services.files, level);
  run.report.Line("folder: " + target.folder + ", installation folder: " + folder);
  journal::Lines placements = Placements(run.services, folder);
  if (earlier && !platform::IsSameFolder(run.services.files, *earlier, folder, run.services.isLeadByte)) {
    const journal::Lines before = Placements(run.services, *earlier);
    placements.insert(placements.end(), before.begin(), before.end());
  }
  // From here on every effect is also kept in the journal, for the uninstall.
  journal::JournalFile record(run.services, folder, EarlierLines(run, folder), run.report);
  for (const std::string& madeFolder : made) record.Done(core::Effect{core::EffectKind::FolderMade, {madeFolder}});
  run.progress.Send(platform::kPbmSetRange, 0, kProgressRange);
  run.progress.Send(platform::kPbmSetStep, 1, 0);
  run.progress.Send(platform::kPbmSetPos, 0, 0);

  CopyJob job(folder, run.progress, run.questions, record, run.services);
  const CopyJob::Result copied = job.CopyProgramFiles();
  if (copied == CopyJob::Result::PackageMissing) {
    journal::RollBack(RemovalOf(run), record);
    return {core::Ending::Failed};
  }
  if (copied == CopyJob::Result::Aborted) return {Stop(run, job, record, core::Ending::Aborted)};
  job.CopyExtensionLibrary();
  if (job.CopyProgramItself(journal::kMaintenanceName) == CopyJob::Result::Aborted) {
    return {Stop(run, job, record, core::Ending::Aborted)};
  }
  // A silent install whose journal cannot be written is undone at once: nobody could remove it.
  if (record.Error() != platform::kErrorSuccess && run.rollBackOnFailure)
    return {Stop(run, job, record, core::Ending::Failed)};
  run.progress.Send(platform::kPbmStepIt, 0, 0);

  run.installInfo.SetInstallDir(folder);
  core::Outcome outcome;
  const auto note = [&outcome](platform::ErrorCode error, core::NotDone what) {
    if (error != platform::kErrorSuccess) outcome.notDone |= what;
  };
  note(profile::RegisterLoaders(run.installInfo, target.ticks, run.packageBits, record), core::kLoadersNotWritten);
  note(profile::AddTrustedPath(run.installInfo, record).error, core::kProfilesNotTrusted);
  run.progress.Send(platform::kPbmStepIt, 0, 0);

  note(deploy::DeployToAcadFolders(run.installInfo, target.ticks, run.questions, record,
                                   PlacedBy(run.services, placements)),
       core::kFontsNotPlaced);
  run.progress.Send(platform::kPbmStepIt, 0, 0);
  if (record.Error() != platform::kErrorSuccess && run.rollBackOnFailure)
    return {Stop(run, job, record, core::Ending::Failed)};
  job.LetGoOfFolders();
  RemoveDropped(run, job, record);
  const platform::ErrorCode journalled = record.Finish();
  if (journalled != platform::kErrorSuccess && run.rollBackOnFailure)
    return {Stop(run, job, record, core::Ending::Failed)};
  job.LetGoOfReplaced();
  note(journalled, core::kJournalNotWritten);
  const platform::ErrorCode registered =
      journalled == platform::kErrorSuccess ? Register(run, folder, job.BytesCopied(), record) : journalled;
  note(registered, core::kEntriesNotWritten);
  if (registered == platform::kErrorSuccess)
    note(ReplaceEarlier(run, earlier, folder, record), core::kEarlierNotRemoved);
  note(record.Error(), core::kJournalNotWritten);
  note(record.Finish(), core::kJournalNotWritten);  // with what the registration added, without the copies let go of
  run.progress.Send(platform::kPbmSetPos, kProgressEnd, 0);
  outcome.ending = outcome.notDone != 0  ? core::Ending::FinishedWithErrors
                   : job.RestartNeeded() ? core::Ending::RestartNeeded
                                         : core::Ending::Finished;
  return outcome;
}

}  // namespace install
