// A machine to install on: the package beside SetUp.exe in D:\pkg, AutoCAD 2008 found (and AutoCAD 2017, which a
// package for 32 bits does not serve), one profile of the user, the keys of Programs and Features; and the program's
// runs on it: the whole program as started with arguments, or the install and the uninstall without a window.
#pragma once

#include <functional>

#include "app/program.h"
#include "install/silent_install.h"
#include "platform/texts.h"
#include "support/world.h"
#include "ui/process_state.h"
#include "ui/resources/resource.h"
#include "ui/uninstall_dialog.h"
#include "uninstall/uninstall.h"

namespace fakes {

const std::string kProduct2008 = "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804";
const std::string kLoader = "HKLM\\" + kProduct2008 + "\\Applications\\Vortel2008";
const std::string kVariables = "HKCU\\" + kProduct2008 + "\\Profiles\\P\\Variables";
const std::string kPackage = "D:\\pkg\\Data\\", kInstalled = "C:\\Vortel\\V-Trelmox", kDriver = "C:\\A2008\\Drv\\pdfplot9.hdi";
const std::string kEntry = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VortelStructureToolbox";
const std::string kStep = "HKLM\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\VortelStructureToolbox";

// The host of the program's windows: the setup dialog's install button is pressed, the uninstall's dialog runs.
struct FakeWindows final : app::WindowHost {
  FakeWindow window;
  int dialogs = 0;
  bool cancel = false;  // the setup dialog is closed instead
  void BeginWindows() override {}
  void ShowModal(platform::Dialog& dialog, bool) override {
    ++dialogs;
    window = FakeWindow{};
    dialog.HandleInitDialog(window);
    for (int click = 0; click < 2 && !window.ended; ++click)
      dialog.HandleCommand(cancel ? platform::kIdCancel : IDC_INSTALL, platform::kBnClicked);
    for (const int command : std::exchange(window.posted, {})) dialog.HandleCommand(command, platform::kBnClicked);
  }
};

struct Machine : World {
  Machine() {
    for (const char* name : {"Vortel2008.ARX", "Vortel_EN.shx", "Vortel_HZ.shx", "Vortel.prt5", "LICENSE"}) {
      files.AddFile(kPackage + name, name);
    }
    files.AddFile(kPackage + texts::kExtensionLibraryFolder + "\\a.dwg", "a");
    files.AddFile(files.modulePath, "the program");
    for (const auto& [key, year] : {std::pair{kProduct2008, 2008}, {"SOFTWARE\\Autodesk\\AutoCAD\\R21.0\\A", 2017}}) {
      const std::string folder = "C:\\A" + std::to_string(year);
      for (const char* below : {"\\Fonts", "\\Drv"}) files.AddFolder(folder + below);
      registry.Set("HKLM\\" + key, "AcadLocation", folder);
      registry.Set("HKLM\\" + key, "ProductName", "AutoCAD " + std::to_string(year));
    }
    registry.Set(kVariables, "TRUSTEDPATHS", "C:\\Tools");
    for (const char* folder : {"E:", "C:\\Temp"}) files.AddFolder(folder);
    registry.AddKey("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    registry.AddKey("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion");
    registry.AddKey("HKLM\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components");
  }
  // The whole program, started with `arguments` (as `program`); its exit code. A new process: no run guard held.
  int Run(const std::string& arguments, const std::string& program = "D:\\pkg\\SetUp.exe") {
    files.modulePath = program;
    processes.mutexes.clear();
    g_bCheckAcadRunning = g_checkAcadAtStart;
    CAcadInstallInfo info{services};
    const int code = app::RunProgram(services, info, {"\"" + program + "\" " + arguments, arguments, true}, windows);
    EXPECT_TRUE(AllReleased()) << arguments;
    return code;
  }
  // The install without a window, on its own.
  core::Ending Install(const core::RunChoices& choices = {}) {
    CAcadInstallInfo info{services};
    info.ScanInstalledReleases();
    const core::Ending ending = install::RunSilentInstall(services, info, 32, choices, log);
    EXPECT_TRUE(AllReleased());
    EXPECT_TRUE(desktop.boxes.empty()) << "nobody to see a message";
    return ending;
  }
  // The uninstall without a window, then (when `restart`) Windows starts anew; or, given a window, with the user.
  core::Ending Uninstall(bool restart = true, FakeWindow* window = nullptr) {
    files.modulePath = "D:\\pkg\\SetUp.exe";
    CAcadInstallInfo info{services};
    platform::NoProgressBar bar;
    const core::RunChoices choices;
    const uninstall::UninstallRun run{services, info, bar, log, choices, ""};
    const core::Ending ending = !window ? uninstall::RunSilentUninstall(run) : RunUninstallWithUser(run, [&](platform::Dialog& dialog) {
      dialog.HandleInitDialog(*window);
      for (const int command : std::exchange(window->posted, {})) dialog.HandleCommand(command, platform::kBnClicked);
    });
    EXPECT_TRUE(AllReleased());
    if (restart) files.Restart();
    return ending;
  }
  std::pair<std::map<std::string, std::string>, std::string> State() const { return {registry.Dump(), files.Dump()}; }
  bool Logged(const std::string& line) const { return std::find(log.lines.begin(), log.lines.end(), line) != log.lines.end(); }

  FakeWindows windows;
};

using Change = std::function<void(Machine&)>;
const Change kNothing = [](Machine&) {};
// The calls of `method` on `path` and below fail with `error`.
inline Change Failing(const std::string& method, const std::string& path, long error) {
  return [=](Machine& m) { m.faults.Fail(method, path, error); };
}
// Another program holds the file open.
inline Change InUse(const std::string& path) {
  return [=](Machine& m) { m.files.inUse.insert(path); };
}
inline Change Both(Change first, Change second) {
  return [=](Machine& m) {
    first(m);
    second(m);
  };
}

}  // namespace fakes
