// The setup program's command line, as deployment tools give it, into the run's choices:
//   /S, /VERYSILENT, /SILENT, /QUIET, /QN, /PASSIVE    no window and no message box
//   /DIR="folder"  or, last, /D=folder (spaces and all)  the folder (its V-Trelmox is installed)
//   /RELEASES=2008,2016 | /RELEASES=all                  the releases to install
//   /LOG, /LOG="file" or /LOG file                       the log
//   /UNINSTALL                                           removes the add-on (as Uninstall.exe does)
//   /TRUSTUSER                                           the per-user step run at each logon
//   /?, /HELP                                            the usage
// Accepted and ignored, so that the lines written for other installers work: /SUPPRESSMSGBOXES,
// /NORESTART, /SP-, /NOCANCEL, /CLOSEAPPLICATIONS and its kin, /NOICONS. Switches are
// case-insensitive, begin with '/' or '-', and come in any order, /D= last. A folder loses one
// pair of surrounding quotes; any other '"' in it is not understood.
#pragma once

#include <string>

#include "core/choices.h"

// Parses the arguments (the command line after the program's name). `representable` is false
// when the line held characters the system's code page cannot write, which makes it an error.
core::RunChoices ParseCommandLine(const std::string& arguments, bool representable = true);
