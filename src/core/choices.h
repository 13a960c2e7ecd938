// The user's choices for one run, whatever the front end: the command line fills them, and the
// setup dialog starts from them and hands its own to the install.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace core {

enum class Task {
  Install,    // the setup dialog, or the install without a window
  Uninstall,  // the removal of the add-on
  TrustUser,  // the per-user step Windows runs at each user's logon
  Usage,      // the usage, as asked
};

struct RunChoices {
  Task task = Task::Install;
  bool silent = false;                       // no window and no message box
  std::optional<std::string> folder;         // the folder chosen (its V-Trelmox is installed); none:
                                             // the installed one's, else the default
  std::optional<std::vector<int>> releases;  // none: every release found and offered
  std::optional<std::string> log;            // none: no log asked; "": in the temporary folder
  std::vector<std::string> ignored;          // switches of other installers, accepted and ignored
  std::string error;                         // what was not understood; empty when all was
  bool allowDowngrade = false;               // a run without a window may replace a newer version
  // An uninstall that finishes one begun by the maintenance copy, which could not remove its own
  // file while it ran: it waits for that process to end first, and writes on at the end of its log.
  std::uint32_t finishAfter = 0;
};

}  // namespace core
