// CWizardApp: the setup program's application object. A run of the program fills the
// installation record from the registry, shows the setup dialog once and ends.
#pragma once

#include "platform/win32/win32_app.h"

class CWizardApp final : public platform::WinApp {
 public:
  CWizardApp() = default;
  ~CWizardApp() override = default;

  // Scans the registry, runs the setup dialog modally and returns false, so that the
  // process ends when the dialog closes.
  bool InitInstance() override;
};
