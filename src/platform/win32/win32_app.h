// The application object of a dialog program and the process around it.
#pragma once

#include <windows.h>

#include "platform/win32/win32_handles.h"

namespace platform {

class WinApp {
 public:
  virtual ~WinApp() = default;
  // Runs the program. The process ends when it returns: there is no message loop after it,
  // so a program returns false once its dialog has closed.
  virtual bool InitInstance() = 0;
  // The process's exit status once the program has run.
  virtual int ExitCode() const = 0;
};

// The program's entry: restricts the DLL search path to the system folder, before anything
// else runs, and runs the application. Returns the process's exit status, the application's
// exit code.
int RunWinApp(WinApp& app);

// What a dialog of the program needs while it is up: the common controls (the progress bar),
// and COM on the thread once the shell's folder picker is about to open (UseComOnThisThread),
// undone when the session ends. A run without a window makes none of it.
class DialogSession {
 public:
  DialogSession();
  DialogSession(const DialogSession&) = delete;
  DialogSession& operator=(const DialogSession&) = delete;
  ~DialogSession();

 private:
  ScopedLibrary m_commonControls;
};

// A DLL of the system folder, loaded by its full path (none when it cannot be loaded), so that a
// planted copy beside the program is never taken for it.
HMODULE LoadSystemLibrary(const char* name);

// COM on the user-interface thread, single-threaded apartment, made ready once: it takes a good
// part of the start-up's time, and only the folder picker needs it, so the dialog shows first.
void UseComOnThisThread();

}  // namespace platform
