// The install run without a window, how each way of ending shows in its exit code, and the
// install log.
#include <gtest/gtest.h>

#include <functional>

#include "install/exit_codes.h"
#include "install/silent_install.h"
#include "platform/texts.h"
#include "support/world.h"

using namespace platform;

namespace {

const std::string kProduct2008 = "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804";
const std::string kLoader = "HKLM\\" + kProduct2008 + "\\Applications\\Vortel2008";
const std::string kVariables = "HKCU\\SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Profiles\\P\\Variables";

// A package beside the program, AutoCAD 2008 found, and AutoCAD 2017, which a package for 32-bit
// AutoCAD does not serve.
struct Machine : fakes::World {
  Machine() {
    for (const char* name : {"Vortel2008.ARX", "Vortel_EN.shx", "Vortel_HZ.shx", "Vortel.prt5", "LICENSE"}) {
      files.AddFile(std::string("D:\\pkg\\Data\\") + name, name);
    }
    files.AddFile("D:\\pkg\\Data\\" + std::string(texts::kExtensionLibraryFolder) + "\\a.dwg", "a");
    for (const auto& [key, year] : {std::pair{kProduct2008, 2008}, {"SOFTWARE\\Autodesk\\AutoCAD\\R21.0\\A", 2017}}) {
      const std::string folder = "C:\\A" + std::to_string(year);
      files.AddFolder(folder + "\\Fonts");
      files.AddFolder(folder + "\\Drv");
      registry.Set("HKLM\\" + key, "AcadLocation", folder);
      registry.Set("HKLM\\" + key, "ProductName", "AutoCAD " + std::to_string(year));
    }
    registry.Set(kVariables, "TRUSTEDPATHS", "C:\\Tools");
  }
  int Install(const install::SilentChoices& choices = {}) {
    info.ScanInstalledReleases();
    const int code = install::RunSilentInstall(services, info, 32, choices, log);
    EXPECT_TRUE(AllReleased());
    EXPECT_TRUE(desktop.boxes.empty()) << "nobody to see a message";
    return code;
  }
  bool Logged(const std::string& line) const { return std::find(log.lines.begin(), log.lines.end(), line) != log.lines.end(); }

  CAcadInstallInfo info{services};
};

TEST(SilentInstall, EachWayOfEndingHasItsExitCodeAndNothingIsAsked) {
  using install::SilentChoices;
  const struct {
    const char* what;
    std::function<void(Machine&)> arrange;
    SilentChoices choices;
    int code;
    bool registered;
  } cases[] = {
      {"finished", [](Machine&) {}, {}, install::kExitFinished, true},
      {"the releases asked", [](Machine&) {}, {"E:\\T", std::vector<int>{2008}}, install::kExitFinished, true},
      {"AutoCAD running", [](Machine& m) { m.processes.running = {"ACAD.EXE"}; }, {}, install::kExitCannotProceed, false},
      {"nothing found", [](Machine& m) { m.registry.Set("HKLM\\" + kProduct2008, "ProductName", "?"); }, {},
       install::kExitCannotProceed, false},
      {"a release not found", [](Machine&) {}, {{}, std::vector<int>{2008, 2016}}, install::kExitCannotProceed, false},
      {"a release not served", [](Machine&) {}, {{}, std::vector<int>{2017}}, install::kExitCannotProceed, false},
      {"a folder too long", [](Machine&) {}, {"C:\\" + std::string(240, 'x'), {}}, install::kExitCannotProceed, false},
      {"a folder unresolved", [](Machine& m) { m.faults.Fail("FullPathName", "", 0); }, {}, install::kExitCannotProceed, false},
      {"the package missing", [](Machine& m) { m.files.modulePath = "E:\\SetUp.exe"; }, {}, install::kExitFailed, false},
      {"a file not copied", [](Machine& m) { m.faults.Fail("Copy", "C:\\Vortel\\V-Trelmox\\Vortel2008.ARX", 32); }, {},
       install::kExitFailed, false},
      {"a loader entry not written", [](Machine& m) { m.faults.Fail("CreateKey", kLoader, kErrorAccessDenied); }, {},
       install::kExitFinishedWithErrors, false},
  };
  for (const auto& expected : cases) {
    Machine machine;
    machine.files.AddFolder("E:");
    expected.arrange(machine);
    EXPECT_EQ(machine.Install(expected.choices), expected.code) << expected.what;
    EXPECT_EQ(machine.registry.Get(kLoader, "LOADER").has_value(), expected.registered) << expected.what;
    const bool started = expected.code != install::kExitCannotProceed;
    EXPECT_EQ(machine.files.Exists(expected.choices.folder.value_or("C:\\Vortel")), started) << expected.what;
    EXPECT_EQ(machine.log.lines.back().rfind("the install does not start: ", 0) == 0, !started) << expected.what;
  }
}

TEST(InstallLog, AWholeInstallLogsWhatItFoundChoseAndDid) {
  Machine machine;
  machine.faults.Fail("Copy", "C:\\A2008\\Fonts\\Vortel_HZ.shx", kErrorAccessDenied);
  ASSERT_EQ(machine.Install(), install::kExitFinished);
  const std::string installed = "C:\\Vortel\\V-Trelmox";
  for (const std::string& line : std::vector<std::string>{
           "found AutoCAD 2008: HKLM\\" + kProduct2008 + "\\ (native root), folder C:\\A2008",
           "found AutoCAD 2017: HKLM\\SOFTWARE\\Autodesk\\AutoCAD\\R21.0\\A\\ (native root), folder C:\\A2017",
           "releases ticked: 2008", "folder: C:\\Vortel, installation folder: " + installed,
           "made " + installed + " with an access list of its own", "package: D:\\pkg\\Data",
           "program file copied: " + installed + "\\Vortel2008.ARX", "program file skipped: LICENSE (no dot in its name)",
           "program file skipped: Vortel_EN.shx (a font, for AutoCAD's Fonts folders)",
           "library file copied: " + installed + "\\" + texts::kExtensionLibraryFolder + "\\a.dwg",
           "loader entry written: " + kLoader + ": LOADER (REG_SZ) = " + installed + "\\Vortel2008.ARX, LOADCTRLS (REG_DWORD) = 2",
           "TRUSTEDPATHS of " + kVariables + " was \"C:\\Tools\", is \"C:\\TOOLS;C:\\VORTEL\\V-TRELMOX\"",
           "placed C:\\A2008\\Fonts\\Vortel_EN.shx", "not placed C:\\A2008\\Fonts\\Vortel_HZ.shx (error 5)",
           "placed C:\\A2008\\Drv\\pdfplot9.hdi"}) {
    EXPECT_TRUE(machine.Logged(line)) << line;
  }
  Machine failing;
  failing.faults.Fail("Copy", installed + "\\Vortel2008.ARX", kErrorSharingViolation);
  failing.Install();
  EXPECT_TRUE(failing.Logged("not copied: " + installed + "\\Vortel2008.ARX (error 32), answered Abort"));
}

TEST(InstallLog, TheFileIsUtf8WithItsMarkANewOneEachRunAndBounded) {
  fakes::World world;
  world.files.AddFolder("C:\\Temp");
  world.files.AddFile("C:\\Temp\\Vortel-Setup-20261207-1.log", "an earlier run's");
  {
    install::InstallLogFile log(world.services, "");
    EXPECT_EQ(log.Path(), "C:\\Temp\\Vortel-Setup-20261207-2.log");
    log.Line("one");
    log.Line(std::string(5000, 'x'));
    for (int n = 0; n < 1100; ++n) log.Line(std::string(1000, 'y'));
    log.LastLine("outcome: finished (exit code 0)");
  }
  EXPECT_TRUE(world.AllReleased());
  const std::string text = *world.files.Read("C:\\Temp\\Vortel-Setup-20261207-2.log");
  EXPECT_EQ(text.substr(0, 8), "\xEF\xBB\xBFone\r\n");
  EXPECT_EQ(text.substr(8, 1032), std::string(1024, 'x') + " [...]\r\n");
  EXPECT_LE(text.size(), install::InstallLogFile::kMaxFileBytes + 100);
  EXPECT_NE(text.find("[the log is full: further lines are left out]\r\noutcome: finished (exit code 0)\r\n"), std::string::npos);
  install::InstallLogFile asked(world.services, "C:\\Temp\\Vortel-Setup-20261207-1.log");
  asked.Line("made anew");
  EXPECT_EQ(world.files.Read(asked.Path()), "\xEF\xBB\xBFmade anew\r\n");
  world.faults.Fail("CreateFileForWriting", "", kErrorAccessDenied);
  install::InstallLogFile unwritable(world.services, "");
  unwritable.Line("goes nowhere");
  EXPECT_EQ(unwritable.Path(), "");
}

}  // namespace
