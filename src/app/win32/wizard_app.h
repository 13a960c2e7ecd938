// CWizardApp: the setup program's application object. A run of the program reads its command
// line, fills the installation record from the registry, and then either shows the setup dialog
// once or installs without a window; its exit code says how it ended.
#pragma once

#include "app/command_line.h"
#include "core/report.h"
#include "platform/win32/win32_app.h"

class CWizardApp final : public platform::WinApp {
 public:
  CWizardApp() = default;
  ~CWizardApp() override = default;

  // Runs the program and returns false, so that the process ends when the run is over.
  bool InitInstance() override;
  int ExitCode() const override { return m_nExitCode; }

 private:
  int Run(const CommandLine& commandLine, core::Report& report);

  int m_nExitCode = 0;
};
