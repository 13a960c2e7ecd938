#include "ui/setup_dialog.h"

#include <algorithm>

#include "platform/format.h"
#include "platform/texts.h"
#include "ui/browse_folder.h"
#include "ui/resources/resource.h"

using platform::FormatText;

const std::array<Dlg_Setup::ReleaseBox, acad::kReleaseCount> Dlg_Setup::kReleaseBoxes = {{
    {2007, IDC_ACAD2007, &Dlg_Setup::m_bAcad2007, &Dlg_Setup::m_btnAcad2007},
    {2008, IDC_ACAD2008, &Dlg_Setup::m_bAcad2008, &Dlg_Setup::m_btnAcad2008},
    {2009, IDC_ACAD2009, &Dlg_Setup::m_bAcad2009, &Dlg_Setup::m_btnAcad2009},
    {2010, IDC_ACAD2010, &Dlg_Setup::m_bAcad2010, &Dlg_Setup::m_btnAcad2010},
    {2011, IDC_ACAD2011, &Dlg_Setup::m_bAcad2011, &Dlg_Setup::m_btnAcad2011},
    {2012, IDC_ACAD2012, &Dlg_Setup::m_bAcad2012, &Dlg_Setup::m_btnAcad2012},
    {2013, IDC_ACAD2013, &Dlg_Setup::m_bAcad2013, &Dlg_Setup::m_btnAcad2013},
    {2014, IDC_ACAD2014, &Dlg_Setup::m_bAcad2014, &Dlg_Setup::m_btnAcad2014},
    {2015, IDC_ACAD2015, &Dlg_Setup::m_bAcad2015, &Dlg_Setup::m_btnAcad2015},
    {2016, IDC_ACAD2016, &Dlg_Setup::m_bAcad2016, &Dlg_Setup::m_btnAcad2016},
    {2017, IDC_ACAD2017, &Dlg_Setup::m_bAcad2017, &Dlg_Setup::m_btnAcad2017},
    {2018, IDC_ACAD2018, &Dlg_Setup::m_bAcad2018, &Dlg_Setup::m_btnAcad2018},
    {2019, IDC_ACAD2019, &Dlg_Setup::m_bAcad2019, &Dlg_Setup::m_btnAcad2019},
    {2020, IDC_ACAD2020, &Dlg_Setup::m_bAcad2020, &Dlg_Setup::m_btnAcad2020},
    {2021, IDC_ACAD2021, &Dlg_Setup::m_bAcad2021, &Dlg_Setup::m_btnAcad2021},
    {2022, IDC_ACAD2022, &Dlg_Setup::m_bAcad2022, &Dlg_Setup::m_btnAcad2022},
    {2023, IDC_ACAD2023, &Dlg_Setup::m_bAcad2023, &Dlg_Setup::m_btnAcad2023},
    {2024, IDC_ACAD2024, &Dlg_Setup::m_bAcad2024, &Dlg_Setup::m_btnAcad2024},
    {2025, IDC_ACAD2025, &Dlg_Setup::m_bAcad2025, &Dlg_Setup::m_btnAcad2025},
    {2026, IDC_ACAD2026, &Dlg_Setup::m_bAcad2026, &Dlg_Setup::m_btnAcad2026},
    {2027, IDC_ACAD2027, &Dlg_Setup::m_bAcad2027, &Dlg_Setup::m_btnAcad2027},
}};

std::string FormatPackageTitle(int packageVersion) {
  return std::string(texts::kProductName) + " V" + core::VersionText(packageVersion);
}

Dlg_Setup::Dlg_Setup(CAcadInstallInfo& installInfo, const platform::Services& services, PackageBuild package,
                     const core::RunChoices& start, core::Report* report, std::string logPath)
    : Dialog(IDD_SETUP),
      m_strPath(start.folder.value_or(install::StartingFolder(services))),
      m_installInfo(installInfo),
      m_services(services),
      m_package(package),
      m_start(start),
      m_report(report != nullptr ? *report : m_noReport),
      m_logPath(std::move(logPath)) {}

void Dlg_Setup::DoDataExchange(platform::DataExchange& dx) {
  std::for_each(kReleaseBoxes.rbegin(), kReleaseBoxes.rend(),
                [&](const ReleaseBox& box) { DDX_Control(dx, box.controlId, this->*box.button); });
  for (const ReleaseBox& box : kReleaseBoxes) DDX_Check(dx, box.controlId, this->*box.tick);
  DDX_Text(dx, IDC_TITLE, m_strTitle);
  DDX_Text(dx, IDC_BITS, m_strBits);
  DDX_Control(dx, IDC_PROGRESS, m_progress);
  DDX_Text(dx, IDC_PATH, m_strPath);
}

bool Dlg_Setup::OnInitDialog() {
  Dialog::OnInitDialog();
  m_strTitle = FormatPackageTitle(m_package.version);
  m_strBits = FormatText(texts::kBitsFormat, m_package.bits);
  ShowProgramIcon();
  DisableReleasesNotFound();
  if (m_package.bits == 32) HideReleasesOf64BitOnly();
  if (m_start.releases) TickReleasesAsked(*m_start.releases);
  UpdateData(false);
  UpdateInstallButton();
  return true;
}

bool Dlg_Setup::OnCommand(int id, int notifyCode) {
  if (notifyCode != platform::kBnClicked) return false;
  if (IsReleaseBox(id)) {
    OnReleaseClicked();
  } else if (id == IDC_BROWSE) {
    OnBrowse();
  } else if (id == IDC_INSTALL) {
    OnInstall();
  } else {
    return false;
  }
  return true;
}

void Dlg_Setup::UpdateInstallButton() {
  UpdateData(true);
  const bool anyTicked = std::any_of(kReleaseBoxes.begin(), kReleaseBoxes.end(),
                                     [&](const ReleaseBox& box) { return this->*box.tick != 0; });
  Window().EnableItem(IDC_INSTALL, anyTicked);
}

void Dlg_Setup::OnReleaseClicked() { UpdateInstallButton(); }

void Dlg_Setup::OnBrowse() {
  UpdateData(true);
  if (BrowseForFolder(m_services.desktop, Handle(), texts::kBrowseTitle, m_strPath)) {
    UpdateData(false);
  }
  UpdateInstallButton();
}

void Dlg_Setup::ShowProgramIcon() {
  const platform::IconHandle icon = Window().LoadProgramIcon(IDI_SETUP);
  if (icon != platform::kNoIcon) Window().SetSmallIcon(icon);
}

void Dlg_Setup::DisableReleasesNotFound() {
  for (const ReleaseBox& box : kReleaseBoxes) {
    if (!m_installInfo.m_arrAcadLocation[acad::ReleaseIndex(box.year)].empty()) continue;
    (this->*box.button).EnableWindow(false);
    this->*box.tick = 0;
  }
}

void Dlg_Setup::HideReleasesOf64BitOnly() {
  for (const ReleaseBox& box : kReleaseBoxes) {
    if (box.year < acad::kFirstReleaseOf64BitOnly) continue;
    (this->*box.button).ShowWindow(false);
    this->*box.tick = 0;
  }
}

// Of the releases offered, ticks those asked for on the command line and no other.
void Dlg_Setup::TickReleasesAsked(const std::vector<int>& years) {
  for (const ReleaseBox& box : kReleaseBoxes) {
    const bool asked = std::find(years.begin(), years.end(), box.year) != years.end();
    this->*box.tick = asked && install::IsOffered(m_installInfo, box.year, m_package.bits) ? 1 : 0;
  }
}

bool Dlg_Setup::IsReleaseBox(int controlId) const {
  return std::any_of(kReleaseBoxes.begin(), kReleaseBoxes.end(),
                     [&](const ReleaseBox& box) { return box.controlId == controlId; });
}
