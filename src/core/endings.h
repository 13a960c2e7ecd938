// How a run of the program ends, and why a run may not start: one exit code for each ending, as
// deployment tools read them (the numbers follow the common installer engines' where one fits),
// and one text for each refusal, shown in a message box or written to the log by the front end.
#pragma once

namespace core {

enum class Ending {
  Finished,            // 0: installed or removed as asked
  UsageShown,          // 0: the usage, as asked
  NothingToRemove,     // 0: an uninstall found no installation to remove
  NotUnderstood,       // 1: the command line was not understood; nothing was done
  Cancelled,           // 2: closed before the install began, or the uninstall not confirmed
  Failed,              // 4: the package missing, a file not copied (a silent install is rolled
                       //    back), or the journal of an uninstall cannot be read whole
  Aborted,             // 5: the user aborted the install on a file that was not copied
  CannotProceed,       // 7: refused for good: nothing to install, the folder refused, another code page
  FinishedWithErrors,  // 9: done, but something could not be written or removed (the log says what)
  Busy,                // 1618: AutoCAD runs, or another run of the program: try again later
  RestartNeeded,       // 3010: done once Windows starts anew
};

int ExitCodeOf(Ending ending);
// The ending as the log's last line names it.
const char* OutcomeName(Ending ending);

// Why a run does not start. Each has a message for the user, a line for the log and an ending.
enum class Refusal {
  None,
  AcadRunning,              // the install: AutoCAD runs
  AcadRunningForUninstall,  // the uninstall: AutoCAD runs
  AnotherRun,               // another run of the program installs or removes the add-on
  NoRelease,                // no release to install
  ReleaseNotOffered,        // a release asked for was not found, or this package does not serve it
  FolderUnusable,           // the folder is empty, cannot be resolved, or holds a ';'
  FolderTooLong,            // the installation folder would be too long for the program's paths
  DriveMissing,             // the folder's drive or share does not exist
};

// The message box's text (GBK), the log's words, and the ending of a run refused so.
const char* RefusalMessage(Refusal refusal);
const char* RefusalReason(Refusal refusal);
Ending EndingOf(Refusal refusal);

}  // namespace core
