#include "core/endings.h"

#include "platform/format.h"
#include "platform/texts.h"

namespace core {
namespace {

// One row per ending, in the order of the enumeration: its exit code, its name in the log's last
// line, and the closing message of the install's and the uninstall's window ("": none, since the
// user ended the run, or a message before this one said why). A warning names the log.
struct EndingRow {
  Ending ending;
  int exitCode;
  const char* name;
  const char* installMessage;
  const char* uninstallMessage;
  bool warning;
};
constexpr EndingRow kEndings[] = {
    {Ending::Finished, 0, "finished", texts::kInstallFinished, texts::kUninstallFinished, false},
    {Ending::UsageShown, 0, "usage shown", "", "", false},
    {Ending::NothingToRemove, 0, "nothing to remove", "", texts::kNotInstalled, false},
    {Ending::NotUnderstood, 1, "command line not understood", "", "", true},
    {Ending::Cancelled, 2, "cancelled before it began", "", "", false},
    {Ending::Failed, 4, "failed", "", texts::kRecordUnreadable, true},
    {Ending::Aborted, 5, "aborted by the user", "", "", true},
    {Ending::CannotProceed, 7, "cannot proceed", "", "", true},
    {Ending::FinishedWithErrors, 9, "finished with errors", texts::kInstallFinishedWithErrors,
     texts::kUninstallFinishedPartly, true},
    {Ending::Busy, 1618, "busy: AutoCAD or another run of the program is running, try again later", "", "", true},
    {Ending::NewerInstalled, 1638, "a newer version is installed: not replaced without /ALLOWDOWNGRADE", "", "", true},
    {Ending::RestartNeeded, 3010, "finished, once Windows starts anew", texts::kInstallRestartNeeded,
     texts::kUninstallRestartNeeded, false},
};
constexpr int kEndingCount = static_cast<int>(Ending::RestartNeeded) + 1;
constexpr bool InEnumerationOrder() {
  int index = 0;
  for (const EndingRow& row : kEndings) {
    if (static_cast<int>(row.ending) != index++) return false;
  }
  return index == kEndingCount;
}
static_assert(InEnumerationOrder(), "one row for each ending, in the order of the enumeration");

// What an install could not do, in the user's words, in the order the install does it.
struct NotDoneRow {
  NotDone what;
  const char* words;
};
const NotDoneRow kNotDone[] = {
    {kLoadersNotWritten, texts::kNotDoneLoaders}, {kProfilesNotTrusted, texts::kNotDoneProfiles},
    {kFontsNotPlaced, texts::kNotDoneFonts},      {kEntriesNotWritten, texts::kNotDoneEntries},
    {kEarlierNotRemoved, texts::kNotDoneEarlier}, {kJournalNotWritten, texts::kNotDoneJournal},
};

struct RefusalRow {
  Refusal refusal;
  const char* message;
  const char* reason;
  Ending ending;
};
constexpr RefusalRow kRefusals[] = {
    {Refusal::None, "", "", Ending::Finished},
    {Refusal::AcadRunning, texts::kCloseAcadFirst, "AutoCAD is running", Ending::Busy},
    {Refusal::AcadRunningForUninstall, texts::kCloseAcadBeforeUninstall, "AutoCAD is running", Ending::Busy},
    {Refusal::AnotherRun, texts::kAnotherRun, "another run of the setup program is installing or removing the add-on",
     Ending::Busy},
    {Refusal::NoRelease, texts::kChooseInstallPath, "no release to install", Ending::CannotProceed},
    {Refusal::ReleaseNotOffered, texts::kChooseInstallPath,
     "a release asked for was not found, or this package does not serve it", Ending::CannotProceed},
    {Refusal::FolderUnusable, texts::kChooseInstallPath, "the folder cannot be resolved, or holds a ';'",
     Ending::CannotProceed},
    {Refusal::FolderTooLong, texts::kInstallPathTooLong, "the folder is too long", Ending::CannotProceed},
    {Refusal::DriveMissing, texts::kDriveMissing, "the folder's drive does not exist", Ending::CannotProceed},
    {Refusal::FolderOthersMayChange, texts::kFolderOthersMayChange,
     "others than the administrators could rename or replace the folder, or it holds a link", Ending::CannotProceed},
    {Refusal::NoInstallationThere, texts::kNotInstalled, "the folder given holds no installation",
     Ending::NotUnderstood},
};
constexpr bool RefusalsInOrder() {
  int index = 0;
  for (const RefusalRow& row : kRefusals) {
    if (static_cast<int>(row.refusal) != index++) return false;
  }
  return index == static_cast<int>(Refusal::NoInstallationThere) + 1;
}
static_assert(RefusalsInOrder(), "one row for each refusal, in the order of the enumeration");

const EndingRow& RowOf(Ending ending) { return kEndings[static_cast<int>(ending)]; }
const RefusalRow& RowOf(Refusal refusal) { return kRefusals[static_cast<int>(refusal)]; }

}  // namespace

int ExitCodeOf(Ending ending) { return RowOf(ending).exitCode; }

std::string LastLogLine(Ending ending) {
  return platform::FormatText("outcome: %s (exit code %d)", RowOf(ending).name, RowOf(ending).exitCode);
}

std::string ClosingMessage(FrontEnd frontEnd, const Outcome& outcome, const std::string& logPath) {
  const EndingRow& row = RowOf(outcome.ending);
  std::string text = frontEnd == FrontEnd::Install ? row.installMessage : row.uninstallMessage;
  if (text.empty()) return text;
  if (outcome.ending == Ending::FinishedWithErrors) {
    for (const NotDoneRow& notDone : kNotDone) {
      if ((outcome.notDone & notDone.what) != 0) text += std::string("\n") + notDone.words;
    }
  }
  if (row.warning && !logPath.empty()) text += std::string("\n\n") + texts::kSeeLog + logPath;
  return text;
}

bool ClosesWithWarning(Ending ending) { return RowOf(ending).warning; }

const char* RefusalMessage(Refusal refusal) { return RowOf(refusal).message; }
const char* RefusalReason(Refusal refusal) { return RowOf(refusal).reason; }
Ending EndingOf(Refusal refusal) { return RowOf(refusal).ending; }

}  // namespace core
