#include "app/program.h"

#include <optional>

#include "app/command_line.h"
#include "core/endings.h"
#include "core/log_file.h"
#include "core/package.h"
#include "install/silent_install.h"
#include "platform/format.h"
#include "platform/texts.h"
#include "ui/setup_dialog.h"
#include "ui/uninstall_dialog.h"
#include "uninstall/uninstall.h"

namespace app {
namespace {

// The program's texts and file names are GBK: under another code page it cannot work.
constexpr unsigned kChineseCodePage = 936;
// Held while a run installs or removes the add-on: for a run of an administrator or of SYSTEM, in
// the administrators' own namespace, which no standard user can make or hold; otherwise
// machine-wide where the program may make such a name, else in the user's session.
const char kRunGuard[] = "VortelStructureToolboxSetup";
const char* const kRunGuards[] = {"Global\\VortelStructureToolboxSetup", "Local\\VortelStructureToolboxSetup"};
// A run that finishes another's removal waits as long as that one lives (INFINITE).
constexpr std::uint32_t kFinishPatienceMs = 0xFFFFFFFFu;

// Readable under any code page: UTF-8, shown with the Unicode message box and written as is.
const char kWrongCodePageCaption[] = "V-结构工具箱安装 / Setup";
const char kWrongCodePageFormat[] =
    "本程序只能在简体中文 Windows（代码页 936）上运行，当前系统的代码页为 %u，未进行任何安装。\n\n"
    "This setup program runs only on Windows with the Simplified Chinese code page (936); this system "
    "uses code page %u. Nothing was installed.";

// The run's choices: the command line's, and the maintenance copy started without a task removes.
core::RunChoices ChoicesOf(const platform::Services& services, const StartedAs& started) {
  core::RunChoices choices = ParseCommandLine(started.arguments, started.representable);
  if (choices.task == core::Task::Install && uninstall::MaintenanceCopyFolder(services)) {
    choices.task = core::Task::Uninstall;
  }
  return choices;
}

// The name a log in the temporary folder starts with, after what the run does.
const char* LogKindOf(core::Task task) {
  return task == core::Task::Uninstall   ? "Vortel-Uninstall"
         : task == core::Task::TrustUser ? "Vortel-TrustUser"
                                         : "Vortel-Setup";
}

class Run {
 public:
  // Every run keeps a log: the one asked for, else a new one in the temporary folder.
  Run(const platform::Services& services, CAcadInstallInfo& info, const StartedAs& started, WindowHost& windows)
      : m_services(services),
        m_info(info),
        m_windows(windows),
        m_choices(ChoicesOf(services, started)),
        m_log(services, m_choices.log.value_or(""), LogKindOf(m_choices.task), m_choices.finishAfter != 0) {
    LogStart(started.commandLine);
  }

  int Go() {
    const core::Ending ending = Dispatch();
    m_log.LastLine(core::LastLogLine(ending));
    return core::ExitCodeOf(ending);
  }

 private:
  core::Report& Report() { return m_log; }

  void LogStart(const std::string& commandLine) {
    const platform::LocalTime now = m_services.environment.Now();
    Report().Line(
        platform::FormatText("Vortel setup %s (%d-bit AutoCAD)", core::VersionText().c_str(), g_nPackageBits));
    Report().Line("command line: " + commandLine);
    Report().Line(platform::FormatText("date: %04d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour,
                                       now.minute, now.second));
    Report().Line(m_services.environment.IsElevated() ? "elevated: yes" : "elevated: no");
    for (const std::string& ignored : m_choices.ignored) Report().Line("switch ignored: " + ignored);
  }

  core::Ending Dispatch() {
    const unsigned codePage = m_services.environment.AnsiCodePage();
    if (codePage != kChineseCodePage) return WrongCodePage(codePage);
    if (!m_choices.error.empty() || m_choices.task == core::Task::Usage) return Usage();
    if (m_choices.task == core::Task::TrustUser) return uninstall::TrustFolderForUser(m_services, m_info, Report());
    if (m_choices.finishAfter != 0) WaitForFirstRun();
    if (!HoldRunGuard()) return Refused(core::Refusal::AnotherRun);
    return m_choices.task == core::Task::Uninstall ? Uninstall() : Install();
  }

  core::Ending WrongCodePage(unsigned codePage) {
    const std::string text = platform::FormatText(kWrongCodePageFormat, codePage, codePage);
    m_log.Utf8Line(text);
    if (!m_choices.silent) {
      m_windows.BeginWindows();
      m_services.desktop.ShowUnicodeMessageBox(platform::kNoWindow, text, kWrongCodePageCaption,
                                               platform::kMbOk | platform::kMbIconWarning);
    }
    return core::Ending::CannotProceed;
  }

  core::Ending Usage() {
    if (!m_choices.error.empty()) Report().Line("command line not understood: " + m_choices.error);
    Report().Line(texts::kUsage);
    if (!m_choices.silent) {
      m_windows.BeginWindows();
      m_services.desktop.ShowMessageBox(
          platform::kNoWindow, texts::kUsage, texts::kSoftwareSetupCaption,
          m_choices.error.empty() ? platform::kMbIconInformation : platform::kMbIconWarning);
    }
    return m_choices.error.empty() ? core::Ending::UsageShown : core::Ending::NotUnderstood;
  }

  // /AFTER= only makes the copy that finishes a removal wait for the run that started it; it
  // skips no check, and any other program ignores it.
  void WaitForFirstRun() {
    if (!uninstall::IsFinishingCopy(m_services)) {
      Report().Line("/AFTER= ignored: this program is not the copy that finishes a removal");
      return;
    }
    m_services.processes.WaitForProcessEnd(m_choices.finishAfter, kFinishPatienceMs);
  }

  bool HoldRunGuard() {
    if (m_services.environment.IsElevated()) {
      const platform::ErrorCode held = m_services.processes.HoldAdministratorsMutex(kRunGuard);
      if (held == platform::kErrorSuccess) return true;
      if (held == platform::kErrorAlreadyExists) return false;
      Report().Line(platform::FormatText("the administrators' run guard cannot be made (error %ld)", held));
    }
    for (const char* name : kRunGuards) {
      const platform::ErrorCode held = m_services.processes.HoldNamedMutex(name);
      if (held == platform::kErrorSuccess) return true;
      if (held == platform::kErrorAlreadyExists || held == platform::kErrorAccessDenied) return false;
    }
    return true;  // no guard can be made: the run goes on unguarded
  }

  core::Ending Refused(core::Refusal refusal) {
    Report().Line(std::string("the run does not start: ") + core::RefusalReason(refusal));
    if (!m_choices.silent) {
      m_windows.BeginWindows();
      m_services.desktop.ShowMessageBox(platform::kNoWindow, core::RefusalMessage(refusal),
                                        texts::kSoftwareSetupCaption, platform::kMbOk | platform::kMbIconWarning);
    }
    return core::EndingOf(refusal);
  }

  core::Ending Uninstall() {
    platform::NoProgressBar noBar;
    const uninstall::UninstallRun run{m_services, m_info, noBar, Report(), m_choices, m_log.Path()};
    if (m_choices.silent) return uninstall::RunSilentUninstall(run);
    m_windows.BeginWindows();
    return RunUninstallWithUser(run, [&](platform::Dialog& dialog) { m_windows.ShowModal(dialog, false); });
  }

  core::Ending Install() {
    m_info.ScanInstalledReleases();
    if (m_choices.silent) return install::RunSilentInstall(m_services, m_info, g_nPackageBits, m_choices, Report());
    m_windows.BeginWindows();
    Dlg_Setup dialog(m_info, m_services, PackageBuild{}, m_choices, &Report(), m_log.Path());
    m_windows.ShowModal(dialog, true);
    return dialog.Ending();
  }

  const platform::Services& m_services;
  CAcadInstallInfo& m_info;
  WindowHost& m_windows;
  core::RunChoices m_choices;
  core::LogFile m_log;
};

}  // namespace

int RunProgram(const platform::Services& services, CAcadInstallInfo& info, const StartedAs& started,
               WindowHost& windows) {
  return Run(services, info, started, windows).Go();
}

}  // namespace app
