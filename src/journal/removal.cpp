#include "journal/removal.h"

#include <algorithm>
#include <set>

#include "core/registry_keys.h"
#include "journal/kinds.h"
#include "journal/maintenance.h"
#include "platform/file_contents.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "profile/trusted_paths.h"

namespace journal {
namespace {

constexpr int kSteps = 5;

// What a walk over lines left: the lines still to undo, the folders and keys waiting for what they
// hold to go (deepest first), and how it went.
struct Walk {
  Lines remaining;
  Lines folders;
  Lines keys;
  Removal removal;
  bool errors = false;      // something was refused or could not be done
  bool unfinished = false;  // something is left that running the removal again can finish
  bool running = false;
  bool othersTrust = false;  // a per-user step trusted the folder for every user
  Lines maintenanceCopy;     // its line, set aside: the copy goes after the entries
};

// Undoes one line and files what is left of it.
void UndoLine(const UndoContext& context, const core::Effect& line, Walk& walk) {
  const Undo undone = journal::UndoLine(context, line);
  if (line.kind == core::EffectKind::PerUserStepWritten && undone == Undo::Done) walk.othersTrust = true;
  switch (undone) {
    case Undo::Done: break;
    case Undo::Changed: walk.removal.changed.push_back(line.fields[0]); break;
    case Undo::Refused: walk.errors = true; break;
    case Undo::Failed:
      walk.errors = true;
      walk.unfinished = true;
      [[fallthrough]];
    case Undo::Running: walk.remaining.insert(walk.remaining.begin(), line); break;
    case Undo::AtRestart: walk.removal.restartNeeded = true; break;
    case Undo::Deferred: (line.kind == core::EffectKind::KeyMade ? walk.keys : walk.folders).push_back(line); break;
  }
  walk.running |= undone == Undo::Running;
}

// The maintenance copy, through which the installation is removed, goes last: only once every other
// line is undone.
bool IsMaintenanceCopy(const UndoContext& context, const core::Effect& line) {
  return line.kind == core::EffectKind::FileCopied &&
         platform::IsSamePath(line.fields[0], platform::InFolder(context.folder, kMaintenanceName),
                              context.services.isLeadByte);
}

// Undoes every line, the last first, but the maintenance copy's, which is set aside.
Walk WalkBackwards(const UndoContext& context, const Lines& lines) {
  Walk walk;
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    if (IsMaintenanceCopy(context, *line) && walk.maintenanceCopy.empty()) {
      walk.maintenanceCopy.push_back(*line);
    } else {
      UndoLine(context, *line, walk);
    }
  }
  return walk;
}

// Once nothing else is left to undo, the entries that name the folder go, and then the maintenance
// copy, so that no entry ever names a folder without it; otherwise both stay for another run.
void RemoveEntriesAndCopy(const RemovalRun& run, const UndoContext& context, Walk& walk) {
  const bool unregistered = walk.remaining.empty() &&
                            UnregisterMaintenance(run.services, context.folder, run.report) == platform::kErrorSuccess;
  if (walk.remaining.empty() && !unregistered) walk.errors = walk.unfinished = true;
  for (const core::Effect& copy : walk.maintenanceCopy) {
    if (unregistered) {
      UndoLine(context, copy, walk);
    } else {
      walk.remaining.push_back(copy);
    }
  }
}

// The keys that held something when their lines were undone, once more: each goes when empty now.
// The ones that stay.
Lines RemoveKeys(const UndoContext& context, const Lines& keys) {
  Lines left;
  for (const core::Effect& line : keys) {
    const platform::ErrorCode removed = core::RemoveKeyIfEmpty(context.services, line.fields[0]);
    if (removed != platform::kErrorSuccess) left.push_back(line);
    context.report.Line(removed == platform::kErrorSuccess ? "key removed: " + line.fields[0]
                        : removed == platform::kErrorDirNotEmpty
                            ? "key left, not empty: " + line.fields[0]
                            : platform::FormatText("key not removed (error %ld): %s", removed, line.fields[0].c_str()));
  }
  return left;
}

// Removes an empty folder through a handle of it as it is, while it lies where the line names it.
platform::ErrorCode RemoveFolderAsItIs(const UndoContext& context, const std::string& folder) {
  platform::ScopedFile entry(context.services.files);
  bool elsewhere = false;
  platform::ErrorCode removed = OpenChecked(context, folder, false, entry, &elsewhere);
  if (removed == platform::kErrorSuccess) removed = context.services.files.DeleteOpened(entry.Get());
  return IsGone(removed) ? platform::kErrorFileNotFound : removed;
}

// Removes the folders, deepest first, each when empty; `keep` and the folders above it stay. A
// folder that holds only what goes when Windows next starts is removed then too (at that time
// only if it is empty).
platform::ErrorCode RemoveFolders(const UndoContext& context, const Lines& folders, const std::string& keep,
                                  bool atRestart) {
  platform::FirstError removed;
  platform::FileSystem& files = context.services.files;
  for (const core::Effect& line : folders) {
    const std::string& folder = line.fields[0];
    if (!keep.empty() && (platform::IsSamePath(folder, keep, context.services.isLeadByte) ||
                          platform::IsInsideFolder(keep, folder, context.services.isLeadByte))) {
      context.report.Line("folder kept: " + folder);
      continue;
    }
    const platform::ErrorCode result = RemoveFolderAsItIs(context, folder);
    if (result == platform::kErrorSuccess || result == platform::kErrorFileNotFound) {
      context.report.Line("removed folder " + folder);
    } else if (atRestart && files.Move(folder, "", platform::kMoveDelayUntilReboot) == platform::kErrorSuccess) {
      context.report.Line("removed when Windows next starts, if empty then: " + folder);
    } else if (result == platform::kErrorDirNotEmpty) {
      context.report.Line("folder left: " + folder + " holds files the install did not copy");
    } else {
      context.report.Line(platform::FormatText("folder not removed (error %ld): %s", result, folder.c_str()));
      removed += result;
    }
  }
  return removed.Get();
}

// The installation folder's final path, through a handle of it as it is; none for a link or a
// junction, or a folder that cannot be opened.
std::string FinalFolder(const platform::Services& services, const std::string& folder) {
  platform::ScopedFile entry(services.files);
  std::uint32_t attributes = 0;
  std::string final;
  const bool found =
      platform::OpenWhereItLies(services.files, folder, entry, &attributes, &final) == platform::kErrorSuccess &&
      (attributes & platform::kFileAttributeReparsePoint) == 0;
  return found ? final : "";
}

UndoContext ContextOf(const RemovalRun& run, const std::string& folder, const Lines& lines) {
  std::vector<std::string> made;
  for (const core::Effect& line : lines) {
    if (line.kind == core::EffectKind::FolderMade) made.push_back(line.fields[0]);
  }
  return UndoContext{run.services,
                     run.acad,
                     folder,
                     run.report,
                     false,
                     false,
                     platform::ProgramPath(run.services.files),
                     FinalFolder(run.services, folder),
                     made};
}

}  // namespace

const char* WhyUntrusted(const platform::Services& services, const std::string& folder) {
  for (const std::string& path : {folder, platform::InFolder(folder, kJournalName)}) {
    bool others = true;
    const platform::ErrorCode read = platform::QueryOthersMayWrite(services.files, path, &others);
    if (IsGone(read)) continue;  // nothing there to trust or not
    if (read != platform::kErrorSuccess) return "the access lists of the folder and its journal cannot be read";
    if (others) return "others than SYSTEM and the administrators could have written the folder or its journal";
  }
  return nullptr;
}

Removal RemoveInstallation(const RemovalRun& run, const std::string& folder, bool leaveAcadFolders) {
  run.report.Line("installation folder: " + folder);
  Lines lines;
  const ReadResult read = ReadJournal(run.services, folder, &lines, &run.report);
  Removal none;
  const char* untrusted = read == ReadResult::Read ? WhyUntrusted(run.services, folder) : nullptr;
  if (untrusted != nullptr) {
    run.report.Line(std::string("nothing is removed: ") + untrusted);
    none.end = Removal::End::Untrusted;
    return none;
  }
  UndoContext context = ContextOf(run, folder, lines);  // opens the folder: only once it is trusted
  if (read != ReadResult::Read || context.finalFolder.empty()) {
    run.report.Line(std::string("the journal ") + kJournalName +
                    (read == ReadResult::Missing ? " is missing" : " cannot be read whole, or lies behind a link") +
                    ": nothing is removed");
    none.end = read == ReadResult::Missing ? Removal::End::NoJournal : Removal::End::Unreadable;
    return none;
  }
  run.progress.Send(platform::kPbmSetRange, 0, kSteps << 16);
  run.progress.Send(platform::kPbmSetStep, 1, 0);
  context.leaveAcadFolders = leaveAcadFolders;
  if (leaveAcadFolders) run.report.Line("AutoCAD's folders are left as they are: another installation is registered");
  Walk walk = WalkBackwards(context, lines);
  run.progress.Send(platform::kPbmStepIt, 0, 0);
  // Also what a per-user step trusted without the journal knowing.
  CAcadInstallInfo installed(run.services);
  installed.SetInstallDir(folder);
  walk.errors |= profile::RemoveTrustedPath(installed, run.report) != platform::kErrorSuccess;
  run.progress.Send(platform::kPbmStepIt, 0, 0);
  RemoveEntriesAndCopy(run, context, walk);
  const Lines keysLeft = RemoveKeys(context, walk.keys);
  run.progress.Send(platform::kPbmStepIt, 0, 0);
  Lines kept = walk.remaining;
  const bool keepJournal = !walk.remaining.empty() || walk.unfinished;
  if (keepJournal) {
    kept.insert(kept.begin(), keysLeft.rbegin(), keysLeft.rend());
    kept.insert(kept.begin(), walk.folders.rbegin(), walk.folders.rend());
    if (walk.othersTrust) kept.push_back(core::Effect{core::EffectKind::PerUserStepWritten, {folder}});
  }
  const platform::ErrorCode rewritten = RewriteJournal(run.services, folder, keepJournal ? kept : Lines{});
  run.report.Line(rewritten != platform::kErrorSuccess
                      ? platform::FormatText("the journal could not be rewritten (error %ld)", rewritten)
                  : keepJournal ? std::string("the journal keeps what is still to undo")
                                : std::string("deleted ") + platform::InFolder(folder, kJournalName));
  walk.errors |= rewritten != platform::kErrorSuccess;
  run.progress.Send(platform::kPbmStepIt, 0, 0);
  // Where a per-user step trusted the folder for every user, other users' AutoCAD may still trust
  // it: it stays, empty, with its access list, so that nobody else can put a module there.
  if (!keepJournal) {
    if (walk.othersTrust) run.report.Line("the installation folder stays: other users' AutoCAD may trust it");
    walk.errors |= RemoveFolders(context, walk.folders, walk.othersTrust ? folder : "", walk.removal.restartNeeded) !=
                   platform::kErrorSuccess;
  } else if (walk.running && !walk.unfinished) {
    RemoveFolders(context, walk.folders, folder, false);  // the rest waits for whoever finishes the removal
  }
  run.progress.Send(platform::kPbmStepIt, 0, 0);
  Removal removal = walk.removal;
  removal.end = walk.running && !walk.unfinished ? Removal::End::Handover : Removal::End::Removed;
  removal.errors = walk.errors;
  removal.keysLeft = keysLeft;
  return removal;
}

platform::ErrorCode RollBack(const RemovalRun& run, JournalFile& record) {
  record.Close();  // the journal is the run's no more: it is rewritten below
  if (const char* untrusted = WhyUntrusted(run.services, record.Folder())) {
    run.report.Line(std::string("not rolled back: ") + untrusted);
    return platform::kErrorAccessDenied;
  }
  // What the installation before made too stays its own: its files (put back), entries and lists.
  std::set<std::string> earlier;
  for (const core::Effect& line : record.Earlier()) earlier.insert(IdentityOf(line, run.services.isLeadByte));
  Lines ownLines;
  for (const core::Effect& line : record.Written()) {
    if (line.kind == core::EffectKind::TemporaryFile || earlier.count(IdentityOf(line, run.services.isLeadByte)) == 0)
      ownLines.push_back(line);
  }
  UndoContext context = ContextOf(run, record.Folder(), ownLines);
  context.rollingBack = true;
  Walk walk = WalkBackwards(context, ownLines);
  for (const core::Effect& copy : walk.maintenanceCopy) UndoLine(context, copy, walk);
  RemoveKeys(context, walk.keys);
  Lines kept = record.Earlier();
  kept.insert(kept.end(), walk.remaining.begin(), walk.remaining.end());
  platform::FirstError rolledBack;
  rolledBack += walk.errors ? platform::kErrorAccessDenied : platform::kErrorSuccess;
  const platform::ErrorCode rewritten = RewriteJournal(run.services, record.Folder(), kept);
  if (rewritten != platform::kErrorSuccess) {
    run.report.Line(
        platform::FormatText("the journal could not be rewritten after the rollback (error %ld)", rewritten));
  }
  rolledBack += rewritten;
  rolledBack += RemoveFolders(context, walk.folders, "", false);
  run.report.Line(walk.errors ? "rolled back, but not all: the journal keeps what is still to undo" : "rolled back");
  return rolledBack.Get();
}

Lines RemoveFiles(const RemovalRun& run, const std::string& folder, const Lines& lines) {
  const UndoContext context = ContextOf(run, folder, lines);
  Lines undone;
  for (const core::Effect& line : lines) {
    if (UndoLine(context, line) == Undo::Done) undone.push_back(line);
  }
  return undone;
}

Lines RemoveLeftovers(const RemovalRun& run, const std::string& folder, const Lines& lines) {
  UndoContext context = ContextOf(run, folder, lines);
  Lines kept;
  for (const core::Effect& line : lines) {
    const bool leftover = line.kind == core::EffectKind::TemporaryFile;
    if (!leftover || UndoLine(context, line) == Undo::Failed) kept.push_back(line);
  }
  return kept;
}

}  // namespace journal
