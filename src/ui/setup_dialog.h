// Dlg_Setup: the one window the user sees. It shows the package's title and the bitness of
// the AutoCAD edition it serves, a check box per AutoCAD release (enabled for the releases
// found at start-up, ticked by default), the installation folder with a browse button, and
// the install and cancel buttons. Its colours and fonts are painted by the Windows side
// (ui/win32/setup_dialog_colors.h).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "acad/install_info.h"
#include "acad/release_table.h"
#include "core/choices.h"
#include "core/endings.h"
#include "core/package.h"
#include "core/report.h"
#include "install/install_sequence.h"
#include "platform/dialog.h"
#include "platform/services.h"

class Dlg_Setup : public platform::Dialog {
 public:
  // The dialog starts from the run's choices: the folder and the releases they give (of those
  // offered; none: every one offered); the install takes them with what the user changed. It
  // tells the install's progress to `report`, and names `logPath` when something went wrong.
  Dlg_Setup(CAcadInstallInfo& installInfo, const platform::Services& services, PackageBuild package = {},
            const core::RunChoices& start = {}, core::Report* report = nullptr, std::string logPath = {});

  // How the dialog ended: cancelled before the install began, or how the install ended.
  core::Ending Ending() const { return m_ending; }

  // Takes the controls' values and enables the install button exactly when at least one
  // release is ticked.
  void UpdateInstallButton();

  // Control objects of the release check boxes, declared from 2027 down to 2007.
  platform::Button m_btnAcad2027, m_btnAcad2026, m_btnAcad2025, m_btnAcad2024, m_btnAcad2023, m_btnAcad2022,
      m_btnAcad2021, m_btnAcad2020, m_btnAcad2019, m_btnAcad2018, m_btnAcad2017, m_btnAcad2016, m_btnAcad2015,
      m_btnAcad2014, m_btnAcad2013, m_btnAcad2012, m_btnAcad2011, m_btnAcad2010, m_btnAcad2009, m_btnAcad2008,
      m_btnAcad2007;
  // Tick state of each release's box, declared from 2007 up to 2027; nonzero is ticked.
  int m_bAcad2007 = 1, m_bAcad2008 = 1, m_bAcad2009 = 1, m_bAcad2010 = 1, m_bAcad2011 = 1, m_bAcad2012 = 1,
      m_bAcad2013 = 1, m_bAcad2014 = 1, m_bAcad2015 = 1, m_bAcad2016 = 1, m_bAcad2017 = 1, m_bAcad2018 = 1,
      m_bAcad2019 = 1, m_bAcad2020 = 1, m_bAcad2021 = 1, m_bAcad2022 = 1, m_bAcad2023 = 1, m_bAcad2024 = 1,
      m_bAcad2025 = 1, m_bAcad2026 = 1, m_bAcad2027 = 1;
  std::string m_strTitle;  // title and version, static 1013
  std::string m_strBits;   // bitness of the AutoCAD edition served, static 1021
  platform::ProgressControl m_progress;
  std::string m_strPath = core::kDefaultFolder;  // the folder chosen, edit box 1000

 protected:
  void DoDataExchange(platform::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int notifyCode) override;

 private:
  // A release's check box: its control id and the members bound to it.
  struct ReleaseBox {
    int year;
    int controlId;
    int Dlg_Setup::*tick;
    platform::Button Dlg_Setup::*button;
  };
  static const std::array<ReleaseBox, acad::kReleaseCount> kReleaseBoxes;

  void OnReleaseClicked();
  void OnBrowse();
  void OnInstall();
  core::Outcome RunInstall(const install::InstallTarget& target);
  void ShowProgressInsteadOfFolderRow();
  std::vector<int> TickedYears() const;

  void ShowProgramIcon();
  void DisableReleasesNotFound();
  void HideReleasesOf64BitOnly();
  void TickReleasesAsked(const std::vector<int>& years);
  bool IsReleaseBox(int controlId) const;

  CAcadInstallInfo& m_installInfo;
  const platform::Services& m_services;
  const PackageBuild m_package;
  const core::RunChoices m_start;
  core::NoReport m_noReport;
  core::Report& m_report;
  const std::string m_logPath;
  core::Ending m_ending = core::Ending::Cancelled;
};

// "结构工具箱软件 V2026.08.05" for version 20260805.
std::string FormatPackageTitle(int packageVersion);
