// One run of the setup program, whatever its front end: the command line read, the log opened,
// then the setup dialog, the install without a window, the uninstall (with the user or without),
// or the per-user step; its exit code says how it ended. Portable: the Windows side only gives
// it the real services and a host for its windows.
#pragma once

#include <string>

#include "acad/install_info.h"
#include "platform/dialog.h"
#include "platform/services.h"

namespace app {

// What only the Windows side of the program can do with its windows.
class WindowHost {
 public:
  virtual ~WindowHost() = default;
  // Makes ready what the program's windows need, once, before the first is shown.
  virtual void BeginWindows() = 0;
  // Shows a dialog modally until it ends; the setup dialog with its colours and fonts.
  virtual void ShowModal(platform::Dialog& dialog, bool setupDialog) = 0;
};

// The command line as the program was started (`commandLine`, for the log) and its arguments
// after the program's name (`representable` false when the system's code page cannot write them).
struct StartedAs {
  std::string commandLine;
  std::string arguments;
  bool representable = true;
};

// Runs the program; returns its exit code.
int RunProgram(const platform::Services& services, CAcadInstallInfo& info, const StartedAs& started,
               WindowHost& windows);

}  // namespace app
