// The application object of a dialog program and the process around it.
#pragma once

namespace platform {

class WinApp {
 public:
  virtual ~WinApp() = default;
  // Runs the program. The process ends when it returns: there is no message loop after it,
  // so a program returns false once its dialog has closed.
  virtual bool InitInstance() = 0;
};

// The program's entry: prepares the process (a DLL search path without the current and the
// program's folder, COM for the shell's folder picker, the common controls) and runs the
// application. Returns the process's exit status, 0.
int RunWinApp(WinApp& app);

}  // namespace platform
