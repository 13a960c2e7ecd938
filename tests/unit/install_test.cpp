// The install run without a window, how each way of ending shows in its exit code, the install
// log, the install's record, and the uninstall that undoes what the record names.
#include <gtest/gtest.h>

#include <functional>

#include "app/command_line.h"
#include "install/exit_codes.h"
#include "install/install_log.h"
#include "install/install_record.h"
#include "install/silent_install.h"
#include "platform/texts.h"
#include "support/world.h"
#include "ui/uninstall_dialog.h"

using namespace platform;

namespace {

const std::string kProduct2008 = "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804";
const std::string kLoader = "HKLM\\" + kProduct2008 + "\\Applications\\Vortel2008";
const std::string kProfiles = "HKCU\\SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Profiles\\";
const std::string kVariables = kProfiles + "P\\Variables";
const std::string kInstalled = "C:\\Vortel\\V-Trelmox";
const std::string kEntry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VortelStructureToolbox";
const std::string kStep = "HKLM\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\VortelStructureToolbox";

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
    files.AddFile(files.modulePath, "the program");
    registry.AddKey("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    registry.AddKey("HKLM\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components");
  }
  int Install(const install::SilentChoices& choices = {}) {
    info.ScanInstalledReleases();
    const int code = install::RunSilentInstall(services, info, 32, choices, log);
    EXPECT_TRUE(AllReleased());
    EXPECT_TRUE(desktop.boxes.empty()) << "nobody to see a message";
    return code;
  }
  // The uninstall without a window, run as `program`; then Windows starts anew.
  int Uninstall(const std::string& program = "D:\\pkg\\SetUp.exe") {
    files.modulePath = program;
    CAcadInstallInfo fresh{services};
    const int code = uninstall::RunSilentUninstall(services, fresh, log);
    EXPECT_TRUE(AllReleased());
    files.Restart();
    return code;
  }
  std::pair<std::map<std::string, std::string>, std::string> State() const { return {registry.Dump(), files.Dump()}; }
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
      {"a folder with a ';'", [](Machine&) {}, {"C:\\Users;x", {}}, install::kExitCannotProceed, false},
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

using Change = std::function<void(Machine&)>;
const Change kNothing = [](Machine&) {};

// What stays after an uninstall: the fonts, the list the install stored in capitals, and the
// installation folder, empty, which the per-user step may have trusted for other users.
void InstalledAndUninstalled(Machine& m) {
  m.files.AddFolder(kInstalled);
  m.files.AddFile("C:\\A2008\\Fonts\\Vortel_EN.shx", "Vortel_EN.shx");
  m.files.AddFile("C:\\A2008\\Fonts\\Vortel_HZ.shx", "Vortel_HZ.shx");
  m.registry.Set(kVariables, "TRUSTEDPATHS", "C:\\TOOLS");
}

TEST(Uninstall, LeavesTheMachineAsBeforeTheInstallSaveTheFontsAndWhatIsNotItsOwn) {
  const std::string driver = "C:\\A2008\\Drv\\pdfplot9.hdi";
  const struct {
    const char* what;
    Change before;     // on both machines
    Change meanwhile;  // on the installed machine, before its uninstall
    Change expected;   // on the machine never installed: what differs after the uninstall
    std::string program = "D:\\pkg\\SetUp.exe";
  } cases[] = {
      {"as installed", kNothing, kNothing, kNothing},
      {"from the maintenance copy, deleted when Windows starts", kNothing, kNothing, kNothing,
       kInstalled + "\\Uninstall.exe"},
      {"AutoCAD's driver put back", [&](Machine& m) { m.files.AddFile(driver, "AutoCAD's"); }, kNothing, kNothing},
      {"the original kept by an earlier install put back",
       [&](Machine& m) { m.files.AddFile(driver, "an older add-on's"), m.files.AddFile(driver + ".vortel-backup", "AutoCAD's"); },
       kNothing, [&](Machine& m) { m.files.AddFile(driver, "AutoCAD's"), m.files.Delete(driver + ".vortel-backup"); }},
      {"a user's file stays, and so do its folders", kNothing,
       [](Machine& m) { m.files.AddFile(kInstalled + "\\notes.txt", "mine"); },
       [](Machine& m) { m.files.AddFile(kInstalled + "\\notes.txt", "mine"); }},
      {"a loader entry rewritten by another install stays", kNothing,
       [](Machine& m) { m.registry.Set(kLoader, "LOADER", "E:\\V-Trelmox\\Vortel2008.ARX"); },
       [](Machine& m) {
         m.registry.Set(kLoader, "LOADER", "E:\\V-Trelmox\\Vortel2008.ARX");
         m.registry.SetRaw(kLoader, "LOADCTRLS", kRegDword, {2, 0, 0, 0});
       }},
      {"a loader entry already gone", kNothing,
       [](Machine& m) { m.registry.DeleteKey(kHkeyLocalMachine, (kProduct2008 + "\\Applications\\Vortel2008").c_str()); },
       kNothing},
      {"a profile without a list", [](Machine& m) { m.registry.AddKey(kProfiles + "Q"); }, kNothing, kNothing},
      {"HKLM not writable: the entry is the user's, no other user trusts the folder",
       [](Machine& m) { m.faults.Fail("CreateKey", "HKLM\\SOFTWARE\\Microsoft", 5); }, kNothing,
       [](Machine& m) { m.files.RemoveFolder(kInstalled), m.files.RemoveFolder("C:\\Vortel"); }},
  };
  for (const auto& expected : cases) {
    Machine machine, untouched;
    expected.before(machine), expected.before(untouched);
    ASSERT_EQ(machine.Install(), install::kExitFinished) << expected.what;
    expected.meanwhile(machine);
    EXPECT_EQ(machine.Uninstall(expected.program), install::kExitFinished) << expected.what;
    InstalledAndUninstalled(untouched), expected.expected(untouched);
    EXPECT_EQ(machine.State(), untouched.State()) << expected.what;
  }
}

TEST(Uninstall, DoesNothingWhenItCannotProceedOrItsRecordCannotBeRead) {
  const struct {
    const char* what;
    Change arrange;
    int code;
  } cases[] = {
      {"AutoCAD running", [](Machine& m) { m.processes.running = {"acad.exe"}; }, install::kExitCannotProceed},
      {"not installed", [](Machine& m) { m.registry.DeleteKey(kHkeyLocalMachine, kEntry.c_str()); }, install::kExitCannotProceed},
      {"no record", [](Machine& m) { m.files.Delete(kInstalled + "\\Uninstall.dat"); }, install::kExitFailed},
      {"a record cut short",
       [](Machine& m) { m.files.AddFile(kInstalled + "\\Uninstall.dat", "Vortel install record 1\r\nfile\tC:\\x"); },
       install::kExitFailed},
  };
  for (const auto& expected : cases) {
    Machine machine;
    machine.Install();
    expected.arrange(machine);
    const auto installed = machine.State();
    EXPECT_EQ(machine.Uninstall(), expected.code) << expected.what;
    EXPECT_EQ(machine.State(), installed) << expected.what;
  }
}

TEST(InstallRecord, HoldsWhatTheInstallDidAndIsReadOnlyWhole) {
  Machine machine;
  machine.files.AddFile("C:\\A2008\\Drv\\pdfplot9.hdi", "AutoCAD's");
  machine.Install();
  const std::optional<install::InstallRecord> record = install::ReadInstallRecord(machine.services, kInstalled);
  ASSERT_TRUE(record);
  using Pairs = std::vector<install::InstallRecord::Pair>;
  EXPECT_EQ(record->folders, (std::vector<std::string>{"C:\\Vortel", kInstalled, kInstalled + "\\" + texts::kExtensionLibraryFolder}));
  EXPECT_EQ(record->loaders, (Pairs{{kProduct2008 + "\\", "Applications\\Vortel2008"}}));
  EXPECT_EQ(record->trusted, (Pairs{{kVariables.substr(5), "1"}}));
  EXPECT_EQ(record->originals, (Pairs{{"C:\\A2008\\Drv\\pdfplot9.hdi", "C:\\A2008\\Drv\\pdfplot9.hdi.vortel-backup"}}));
  EXPECT_EQ(record->steps, std::vector<std::string>{kInstalled});
  EXPECT_EQ(record->placed.size(), 3u);
  EXPECT_EQ(record->files.size(), 3u);
  for (const char* broken : {"", "Vortel install record 2\r\n", "Vortel install record 1\r\nfile\r\n",
                             "Vortel install record 1\r\nlink\tC:\\x\r\n", "Vortel install record 1\r\nfile\tC:\\x"}) {
    machine.files.AddFile(kInstalled + "\\Uninstall.dat", broken);
    EXPECT_FALSE(install::ReadInstallRecord(machine.services, kInstalled)) << broken;
  }
}

TEST(Maintenance, ASecondInstallKeepsOneEntryAndEachUninstallTakesOnlyItsOwn) {
  Machine machine, untouched;
  for (Machine* m : {&machine, &untouched}) {
    m->files.AddFolder("E:");
    m->registry.Set("HKLM\\" + kProduct2008 + "\\Applications\\AcadVba", "LOADER", "acvba.arx");
  }
  machine.Install();
  machine.Install({"E:\\T", {}});
  EXPECT_EQ(machine.registry.Keys("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"),
            std::vector<std::string>{"VortelStructureToolbox"});
  EXPECT_EQ(machine.registry.Get("HKLM\\" + kEntry, "InstallLocation")->Text(), "E:\\T\\V-Trelmox");
  // Each command the entry and the per-user step give is one the program understands.
  const auto arguments = [&](const std::string& key, const char* name) {
    const std::string command = machine.registry.Get(key, name)->Text();
    EXPECT_EQ(command.rfind("\"E:\\T\\V-Trelmox\\Uninstall.exe\"", 0), 0u) << command;
    return ParseCommandLine(command.substr(command.find("\" ") + 1));
  };
  EXPECT_TRUE(arguments("HKLM\\" + kEntry, "QuietUninstallString").silent);
  EXPECT_TRUE(arguments(kStep, "StubPath").trustUser);

  EXPECT_EQ(machine.Uninstall(kInstalled + "\\Uninstall.exe"), install::kExitFinished);
  EXPECT_EQ(machine.files.Names(kInstalled), fakes::Names{}) << "empty, kept for other users' lists";
  EXPECT_EQ(machine.registry.Get(kLoader, "LOADER")->Text(), "E:\\T\\V-Trelmox\\Vortel2008.ARX");
  EXPECT_TRUE(machine.registry.Get(kStep, "StubPath"));
  EXPECT_EQ(machine.Uninstall(), install::kExitFinished);
  InstalledAndUninstalled(untouched);
  untouched.files.AddFolder("E:\\T\\V-Trelmox");
  EXPECT_EQ(machine.State(), untouched.State());
}

TEST(Uninstall, WithTheUserItIsConfirmedOnceRunsBehindItsBarAndSaysTheFontsStay) {
  const struct {
    const char* what;
    Change arrange;
    std::vector<std::string> boxes;
    int code;
  } cases[] = {
      {"confirmed", [](Machine& m) { m.desktop.answers = {kIdYes}; }, {texts::kConfirmUninstall, texts::kUninstallFinished},
       install::kExitFinished},
      {"not confirmed", [](Machine& m) { m.desktop.answers = {kIdNo}; }, {texts::kConfirmUninstall}, install::kExitCancelled},
      {"AutoCAD running", [](Machine& m) { m.processes.running = {"ACAD.EXE"}; }, {texts::kCloseAcadBeforeUninstall},
       install::kExitCannotProceed},
      {"a file not deleted", [](Machine& m) { m.desktop.answers = {kIdYes}, m.faults.Fail("Delete", kInstalled, 5); },
       {texts::kConfirmUninstall, texts::kUninstallFinishedPartly}, install::kExitFinishedWithErrors},
  };
  for (const auto& expected : cases) {
    Machine machine;
    machine.Install();
    expected.arrange(machine);
    fakes::FakeWindow window;
    const auto showModal = [&](Dialog& dialog) {
      dialog.HandleInitDialog(window);
      for (const int command : std::exchange(window.posted, {})) dialog.HandleCommand(command, kBnClicked);
    };
    CAcadInstallInfo info{machine.services};
    EXPECT_EQ(RunUninstallWithUser(machine.services, info, machine.log, showModal), expected.code) << expected.what;
    std::vector<std::string> texts;
    for (const fakes::ShownBox& box : machine.desktop.boxes) texts.push_back(box.text);
    EXPECT_EQ(texts, expected.boxes) << expected.what;
    const bool ran = expected.boxes.size() == 2;
    EXPECT_EQ(window.ended, ran ? std::optional(kIdOk) : std::nullopt) << expected.what;
    EXPECT_EQ(window.Count(1014, kPbmStepIt), ran ? 5 : 0) << expected.what;
    EXPECT_EQ(machine.registry.Get(kLoader, "LOADER").has_value(), !ran) << expected.what;
  }
}

}  // namespace
