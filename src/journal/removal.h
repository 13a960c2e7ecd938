// Removing an installation by its journal, walked backwards one line at a time through the
// table of kinds: what each line checks out to be the install's own and unchanged is undone, and
// nothing else is touched. The uninstall, a failed install's rollback, and an install that
// replaces the installation in another folder all remove this way.
#pragma once

#include <string>
#include <vector>

#include "acad/install_info.h"
#include "core/report.h"
#include "journal/journal.h"
#include "platform/progress_bar.h"
#include "platform/services.h"

namespace journal {

// What one removal runs on; none of it is owned.
struct RemovalRun {
  const platform::Services& services;
  const CAcadInstallInfo& acad;  // the AutoCAD installations found: whose folders lines may name
  core::Report& report;
  platform::ProgressBar& progress;
};

struct Removal {
  enum class End {
    Removed,     // every line was tried: undone, left (changed or refused), or kept to undo again
    Handover,    // all but the running program's own file, which is left in the journal
    NoJournal,   // there is no journal: nothing was touched
    Unreadable,  // the journal cannot be read whole: nothing was touched
    Untrusted,   // others than SYSTEM and the administrators could have written the folder or the journal: nothing was
                 // touched
  };
  End end = End::Removed;
  bool errors = false;               // a line was refused, or something could not be undone
  bool restartNeeded = false;        // something goes only when Windows next starts
  std::vector<std::string> changed;  // files left as they are: changed after the install
  Lines keysLeft;                    // keys it made that still hold something: another's, or a newer installation's
};

// Why nothing in `folder` may be trusted: someone besides SYSTEM and the administrators (or the
// user of an install for one user) could have written the folder or its journal, or that cannot
// be told; null when nobody could.
const char* WhyUntrusted(const platform::Services& services, const std::string& folder);

// Removes the installation in `folder`: every line undone, then (when nothing is left to undo)
// the maintenance entries that name the folder and the journal, then the folders the install
// made, each when empty. The installation folder stays, empty, when a per-user step trusted it
// for other users. With `leaveAcadFolders` (another installation is registered) the files in
// AutoCAD's folders are left for it. Steps the bar from 0 to 5.
Removal RemoveInstallation(const RemovalRun& run, const std::string& folder, bool leaveAcadFolders);

// Undoes the lines a failed install wrote, backwards, and the folders it made, once it has let go
// of its journal; the journal then holds what was there before and what could not be undone. The
// error of what could not be undone, or of a journal that could not be rewritten (logged).
platform::ErrorCode RollBack(const RemovalRun& run, JournalFile& record);

// Deletes the files `lines` name, each while it is unchanged (a changed one stays, logged); the
// lines undone.
Lines RemoveFiles(const RemovalRun& run, const std::string& folder, const Lines& lines);

// Removes what a killed run left (the temporary files that `lines` name); the lines less those.
Lines RemoveLeftovers(const RemovalRun& run, const std::string& folder, const Lines& lines);

}  // namespace journal
