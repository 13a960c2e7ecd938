#include "core/endings.h"

#include "platform/texts.h"

namespace core {
namespace {

struct EndingRow {
  Ending ending;
  int exitCode;
  const char* name;
};
const EndingRow kEndings[] = {
    {Ending::Finished, 0, "finished"},
    {Ending::UsageShown, 0, "usage shown"},
    {Ending::NothingToRemove, 0, "nothing to remove"},
    {Ending::NotUnderstood, 1, "command line not understood"},
    {Ending::Cancelled, 2, "cancelled before it began"},
    {Ending::Failed, 4, "failed"},
    {Ending::Aborted, 5, "aborted by the user"},
    {Ending::CannotProceed, 7, "cannot proceed"},
    {Ending::FinishedWithErrors, 9, "finished with errors"},
    {Ending::Busy, 1618, "busy: AutoCAD or another run of the program is running, try again later"},
    {Ending::RestartNeeded, 3010, "finished, once Windows starts anew"},
};

struct RefusalRow {
  Refusal refusal;
  const char* message;
  const char* reason;
  Ending ending;
};
const RefusalRow kRefusals[] = {
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
};

const EndingRow& RowOf(Ending ending) {
  for (const EndingRow& row : kEndings) {
    if (row.ending == ending) return row;
  }
  return kEndings[5];  // failed
}

const RefusalRow& RowOf(Refusal refusal) {
  for (const RefusalRow& row : kRefusals) {
    if (row.refusal == refusal) return row;
  }
  return kRefusals[0];
}

}  // namespace

int ExitCodeOf(Ending ending) { return RowOf(ending).exitCode; }
const char* OutcomeName(Ending ending) { return RowOf(ending).name; }
const char* RefusalMessage(Refusal refusal) { return RowOf(refusal).message; }
const char* RefusalReason(Refusal refusal) { return RowOf(refusal).reason; }
Ending EndingOf(Refusal refusal) { return RowOf(refusal).ending; }

}  // namespace core
