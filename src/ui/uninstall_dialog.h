// The uninstall as a user runs it: refused while AutoCAD runs, confirmed once, then run behind
// a small progress dialog, and ended with a closing message that says the fonts stay.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "acad/install_info.h"
#include "core/endings.h"
#include "core/report.h"
#include "platform/dialog.h"
#include "platform/services.h"
#include "uninstall/uninstall.h"

// The progress dialog: it starts the uninstall once it shows, and ends when it is over.
class Dlg_Uninstall final : public platform::Dialog, private platform::ProgressBar {
 public:
  Dlg_Uninstall(const uninstall::UninstallRun& run, std::string installFolder);

  // How the uninstall ended; none while it has not run.
  const std::optional<uninstall::UninstallResult>& Result() const { return m_result; }

 protected:
  void DoDataExchange(platform::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int notifyCode) override;
  // The uninstall is not stopped half-way: Esc and the close box do nothing.
  void OnCancel() override {}

 private:
  // The bar's steps, each painted as it comes.
  void Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

  uninstall::UninstallRun m_run;
  const std::string m_installFolder;
  platform::ProgressControl m_progress;
  std::optional<uninstall::UninstallResult> m_result;
};

// Shows a dialog modally until it ends.
using ShowModal = std::function<void(platform::Dialog&)>;

// Runs the uninstall with the user, showing its progress with `showModal`.
core::Ending RunUninstallWithUser(const uninstall::UninstallRun& run, const ShowModal& showModal);
