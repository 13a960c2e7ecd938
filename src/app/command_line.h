// The setup program's command line, as deployment tools give it:
//   /S, /VERYSILENT, /SILENT     no window and no message box; /SUPPRESSMSGBOXES is accepted
//   /DIR="folder"  or, last and unquoted, /D=folder    the folder (its V-Trelmox is installed)
//   /RELEASES=2008,2016 | /RELEASES=all                 the releases to install
//   /LOG  or  /LOG="file"                               the install log
//   /UNINSTALL                                          removes the add-on (as Uninstall.exe does)
//   /TRUSTUSER                                          the per-user step run at each logon
//   /?, /HELP                                           the usage
// Switches are case-insensitive and come in any order, /D= last.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct CommandLine {
  bool silent = false;
  bool help = false;
  bool uninstall = false;
  bool trustUser = false;
  std::optional<std::string> folder;             // none: the dialog's default
  std::optional<std::vector<int>> releases;      // none: every release found and offered
  std::optional<std::string> log;                // none: no log asked; "": in the temporary folder
  std::string error;                             // what was not understood; empty when all was
};

// Parses the arguments (the command line after the program's name). `representable` is false
// when the line held characters the system's code page cannot write, which makes it an error.
CommandLine ParseCommandLine(const std::string& arguments, bool representable = true);
