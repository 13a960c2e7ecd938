// How a run of the program ended, as its exit code tells a deployment tool. The numbers follow
// the common installer engines' where one fits.
#pragma once

namespace core {

enum ExitCode : int {
  kExitFinished = 0,            // installed as asked (also: the usage shown when asked for)
  kExitNotUnderstood = 1,       // the command line was not understood; nothing was done
  kExitCancelled = 2,           // the dialog was closed before the install began
  kExitFailed = 4,              // the install failed: the package missing, a file not copied
  kExitAborted = 5,             // the user aborted the install on a file that was not copied
  kExitCannotProceed = 7,       // AutoCAD runs, nothing to install, or the folder is refused
  kExitFinishedWithErrors = 9,  // installed, but some loader entry could not be written
};

// The outcome as the install log's last line names it.
inline const char* OutcomeName(int code) {
  switch (code) {
    case kExitFinished: return "finished";
    case kExitNotUnderstood: return "command line not understood";
    case kExitCancelled: return "cancelled before the install began";
    case kExitFailed: return "failed";
    case kExitAborted: return "aborted by the user";
    case kExitCannotProceed: return "cannot proceed";
    case kExitFinishedWithErrors: return "finished with errors";
    default: return "ended";
  }
}

}  // namespace core
