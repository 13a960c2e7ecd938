// How a run of the program ends, and why a run may not start: one table decides, for each ending,
// its exit code (as deployment tools read them; the numbers follow the common installer engines'
// where one fits), the log's last line and the closing message each front end shows; and one text
// for each refusal, shown in a message box or written to the log by the front end.
#pragma once

#include <string>

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
  NewerInstalled,      // 1638: a newer version is installed, which a run without a window does not
                       //       replace unless allowed
  RestartNeeded,       // 3010: done once Windows starts anew
};

// What an install that finished with errors could not do, each said to the user in its own words.
enum NotDone : unsigned {
  kLoadersNotWritten = 1u << 0,   // a demand-load entry of some AutoCAD
  kProfilesNotTrusted = 1u << 1,  // the folder in some AutoCAD profile's trusted paths
  kFontsNotPlaced = 1u << 2,      // a font or the plot driver in some AutoCAD folder
  kEntriesNotWritten = 1u << 3,   // the Programs and Features entry or the per-user step
  kEarlierNotRemoved = 1u << 4,   // the installation registered before in another folder
  kJournalNotWritten = 1u << 5,   // a line of the journal, so the uninstall may leave something
};

// How a run ended, and what it could not do (NotDone bits).
struct Outcome {
  Ending ending = Ending::Finished;
  unsigned notDone = 0;
};

// The front ends that tell a person how the run ended in a closing message.
enum class FrontEnd { Install, Uninstall };

int ExitCodeOf(Ending ending);
// The log's last line: the ending's name and its exit code.
std::string LastLogLine(Ending ending);
// The closing message (GBK) of a run with a window that ended so, "" when the run shows none (the
// user ended it, or a message before said why): what could not be done, and for an ending with
// errors the log to read (`logPath`, when there is one).
std::string ClosingMessage(FrontEnd frontEnd, const Outcome& outcome, const std::string& logPath);
// Whether the closing message is a warning rather than information.
bool ClosesWithWarning(Ending ending);

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
  FolderOthersMayChange,    // a per-machine install: others could rename or replace a level of the folder, or
                            // a folder there already holds a link
  NoInstallationThere,      // the uninstall: the folder given holds none, the one installed is elsewhere
};

// The message box's text (GBK), the log's words, and the ending of a run refused so.
const char* RefusalMessage(Refusal refusal);
const char* RefusalReason(Refusal refusal);
Ending EndingOf(Refusal refusal);

}  // namespace core
