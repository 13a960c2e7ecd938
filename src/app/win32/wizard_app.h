// CWizardApp: the setup program's application object. A run of the program is app::RunProgram
// over the real Win32 services; its exit code is the process's.
#pragma once

#include "platform/win32/win32_app.h"

class CWizardApp final : public platform::WinApp {
 public:
  CWizardApp() = default;
  ~CWizardApp() override = default;

  // Runs the program and returns false, so that the process ends when the run is over.
  bool InitInstance() override;
  int ExitCode() const override { return m_nExitCode; }

 private:
  int m_nExitCode = 0;
};
