// The install without a window: the command line a deployment tool gives it, its exit codes, log and record, and the
// uninstall that undoes what the record names.
#include <gtest/gtest.h>

#include <functional>

#include "app/command_line.h"
#include "core/endings.h"
#include "core/log_file.h"
#include "journal/journal.h"
#include "install/silent_install.h"
#include "platform/texts.h"
#include "support/world.h"
#include "ui/uninstall_dialog.h"

using namespace platform;
using namespace install;
using namespace core;

namespace {

const std::string kProduct2008 = "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804";
const std::string kLoader = "HKLM\\" + kProduct2008 + "\\Applications\\Vortel2008";
const std::string kProfiles = "HKCU\\" + kProduct2008 + "\\Profiles\\";
const std::string kVariables = kProfiles + "P\\Variables";
const std::string kPackage = "D:\\pkg\\Data\\", kInstalled = "C:\\Vortel\\V-Trelmox";
const std::string kDriver = "C:\\A2008\\Drv\\pdfplot9.hdi";
const std::string kEntry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VortelStructureToolbox";
const std::string kStep = "HKLM\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\VortelStructureToolbox";

// A package beside the program, AutoCAD 2008 found, and AutoCAD 2017, which a 32-bit package does not serve.
struct Machine : fakes::World {
  Machine() {
    for (const char* name : {"Vortel2008.ARX", "Vortel_EN.shx", "Vortel_HZ.shx", "Vortel.prt5", "LICENSE"}) {
      files.AddFile(kPackage + name, name);
    }
    files.AddFile(kPackage + texts::kExtensionLibraryFolder + "\\a.dwg", "a");
    files.AddFile(files.modulePath, "the program");
    for (const auto& [key, year] : {std::pair{kProduct2008, 2008}, {"SOFTWARE\\Autodesk\\AutoCAD\\R21.0\\A", 2017}}) {
      const std::string folder = "C:\\A" + std::to_string(year);
      files.AddFolder(folder + "\\Fonts");
      files.AddFolder(folder + "\\Drv");
      registry.Set("HKLM\\" + key, "AcadLocation", folder);
      registry.Set("HKLM\\" + key, "ProductName", "AutoCAD " + std::to_string(year));
    }
    registry.Set(kVariables, "TRUSTEDPATHS", "C:\\Tools");
    files.AddFolder("E:");
    registry.AddKey("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    registry.AddKey("HKLM\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components");
  }
  int Install(const SilentChoices& choices = {}) {
    info.ScanInstalledReleases();
    const int code = RunSilentInstall(services, info, 32, choices, log);
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

using Change = std::function<void(Machine&)>;
const Change kNothing = [](Machine&) {};

TEST(CommandLine, EverySwitchEitherFormOfTheFolderAndEveryErrorAsATable) {
  using Text = std::optional<std::string>;
  using Years = std::optional<std::vector<int>>;
  const struct { std::string arguments; bool silent, help; Text folder; Years releases; Text log; } cases[] = {
      {"", false, false, {}, {}, {}}, {"/S", true, false, {}, {}, {}}, {"/?", false, true, {}, {}, {}},
      {" /verysilent  /SuppressMsgBoxes ", true, false, {}, {}, {}}, {"/Releases=All /S", true, false, {}, {}, {}},
      {"/DIR=\"C:\\Program Files\\V\" /S", true, false, "C:\\Program Files\\V", {}, {}},
      {"/S /D=C:\\Program Files\\Vortel  ", true, false, "C:\\Program Files\\Vortel", {}, {}},
      {"/d=C:\\a /S", false, false, "C:\\a /S", {}, {}},  // /D= takes the rest of the line
      {"/DIR=C:\\a /DIR=C:\\a", false, false, "C:\\a", {}, {}}, {"/LOG /S", true, false, {}, {}, ""},
      {"/RELEASES=2008,2016", false, false, {}, Years{{2008, 2016}}, {}},
      {"/releases=2028", false, false, {}, Years{{2028}}, {}},  // a year, if not one served
      {"/log=\"C:\\My Logs\\v.log\"", false, false, {}, {}, "C:\\My Logs\\v.log"}};
  for (const auto& x : cases) {
    const CommandLine line = ParseCommandLine(x.arguments);
    EXPECT_EQ(line.error, "") << x.arguments;
    EXPECT_EQ(std::tie(line.silent, line.help, line.folder, line.releases, line.log),
              std::tie(x.silent, x.help, x.folder, x.releases, x.log)) << x.arguments;
  }
  // Not understood; silent all the same after a silent switch, so that no box shows the error.
  for (const std::string wrong : {"/X", "C:\\V /S", "/DIR=", "/D=", "/RELEASES=20x8", "/RELEASES=2008,", "/S=1",
                                  "/DIR=C:\\a /DIR=C:\\b", "/DIR=C:\\a /D=C:\\b", "/RELEASES=all /RELEASES=2008"}) {
    const CommandLine line = ParseCommandLine(wrong);
    EXPECT_NE(line.error, "") << wrong;
    EXPECT_EQ(line.silent, wrong == "C:\\V /S") << wrong;
  }
  EXPECT_NE(ParseCommandLine("/S /DIR=C:\\?", false).error, "") << "a folder the code page cannot write";
}

TEST(SilentInstall, EachWayOfEndingHasItsExitCodeAndLogAndNothingIsAsked) {
  const fakes::Names whole = {
      "found AutoCAD 2017: HKLM\\SOFTWARE\\Autodesk\\AutoCAD\\R21.0\\A\\ (native root), folder C:\\A2017", "releases ticked: 2008",
      "made " + kInstalled + " with an access list of its own", "program file skipped: LICENSE (no dot in its name)",
      "loader entry written: " + kLoader + ": LOADER (REG_SZ) = " + kInstalled + "\\Vortel2008.ARX, LOADCTRLS (REG_DWORD) = 2",
      "TRUSTEDPATHS of " + kVariables + " was \"C:\\Tools\", is \"C:\\TOOLS;C:\\VORTEL\\V-TRELMOX\"",
      "not placed C:\\A2008\\Fonts\\Vortel_HZ.shx (error 5)", "placed " + kDriver};
  const struct { const char* what; Change arrange; SilentChoices choices; int code; fakes::Names logged = {}; } cases[] = {
      {"finished", [](Machine& m) { m.faults.Fail("Copy", "C:\\A2008\\Fonts\\Vortel_HZ.shx", 5); }, {}, kExitFinished, whole},
      {"the releases asked", kNothing, {"E:\\T", std::vector<int>{2008}}, kExitFinished},
      {"AutoCAD running", [](Machine& m) { m.processes.running = {"ACAD.EXE"}; }, {}, kExitCannotProceed},
      {"nothing found", [](Machine& m) { m.registry.Set("HKLM\\" + kProduct2008, "ProductName", "?"); }, {}, kExitCannotProceed},
      {"a release not found", kNothing, {{}, std::vector<int>{2008, 2016}}, kExitCannotProceed},
      {"a release not served", kNothing, {{}, std::vector<int>{2017}}, kExitCannotProceed},
      {"a folder unresolved", [](Machine& m) { m.faults.Fail("FullPathName", "", 0); }, {}, kExitCannotProceed},
      {"a folder with a ';'", kNothing, {"C:\\Users;x", {}}, kExitCannotProceed},
      {"the package missing", [](Machine& m) { m.files.modulePath = "E:\\SetUp.exe"; }, {}, kExitFailed},
      {"a file not copied", [](Machine& m) { m.faults.Fail("Copy", kInstalled + "\\Vortel2008.ARX", 32); }, {}, kExitFailed,
       {"not copied: " + kInstalled + "\\Vortel2008.ARX (error 32), answered Abort",
        "maintenance copy: " + kInstalled + "\\Uninstall.exe"}},  // what was copied can be removed
      {"a loader entry not written", [](Machine& m) { m.faults.Fail("CreateKey", kLoader, 5); }, {}, kExitFinishedWithErrors},
  };
  for (const auto& expected : cases) {
    Machine machine;
    expected.arrange(machine);
    EXPECT_EQ(machine.Install(expected.choices), expected.code) << expected.what;
    EXPECT_EQ(machine.registry.Get(kLoader, "LOADER").has_value(), expected.code == kExitFinished) << expected.what;
    const bool started = expected.code != kExitCannotProceed;
    EXPECT_EQ(machine.files.Exists(expected.choices.folder.value_or("C:\\Vortel")), started) << expected.what;
    EXPECT_EQ(machine.log.lines.back().rfind("the install does not start: ", 0) == 0, !started) << expected.what;
    for (const std::string& line : expected.logged) EXPECT_TRUE(machine.Logged(line)) << line;
  }
}

TEST(InstallLog, TheFileIsUtf8WithItsMarkANewOneEachRunAndBounded) {
  fakes::World world;
  world.files.AddFile("C:\\Temp\\Vortel-Setup-20261207-1.log", "an earlier run's");
  {
    LogFile log(world.services, "");
    EXPECT_EQ(log.Path(), "C:\\Temp\\Vortel-Setup-20261207-2.log");
    log.Line("one");
    log.Line(std::string(5000, 'x'));  // cut
    log.Line(std::string(1024, 'z'));  // whole at the limit
    for (int n = 0; n < 1100; ++n) log.Line(std::string(1000, 'y'));
    log.LastLine("outcome: finished (exit code 0)");
  }
  EXPECT_TRUE(world.AllReleased());
  const std::string text = world.files.Read("C:\\Temp\\Vortel-Setup-20261207-2.log").value_or("");
  EXPECT_EQ(text.substr(0, 2066), "\xEF\xBB\xBFone\r\n" + std::string(1024, 'x') + " [...]\r\n" + std::string(1024, 'z') + "\r\n");
  EXPECT_LE(text.size(), LogFile::kMaxFileBytes + 100);
  EXPECT_NE(text.find("[the log is full: further lines are left out]\r\noutcome: finished (exit code 0)\r\n"), std::string::npos);
  LogFile asked(world.services, "C:\\Temp\\Vortel-Setup-20261207-1.log");
  asked.Line("made anew");
  EXPECT_EQ(world.files.Read(asked.Path()), "\xEF\xBB\xBFmade anew\r\n");
  world.faults.Fail("CreateFileForWriting", "", kErrorAccessDenied);
  LogFile unwritable(world.services, "");
  unwritable.Line("goes nowhere");
  EXPECT_EQ(unwritable.Path(), "");
}

// What an uninstall leaves: the fonts, the list stored in capitals, and the installation folder, empty, for other users.
void InstalledAndUninstalled(Machine& m) {
  m.files.AddFolder(kInstalled);
  for (const char* font : {"Vortel_EN.shx", "Vortel_HZ.shx"}) m.files.AddFile(std::string("C:\\A2008\\Fonts\\") + font, font);
  m.registry.Set(kVariables, "TRUSTEDPATHS", "C:\\TOOLS");
}

TEST(Uninstall, LeavesTheMachineAsBeforeTheInstallSaveTheFontsAndWhatIsNotItsOwn) {
  const std::string copy = kInstalled + "\\Uninstall.exe", backup = kDriver + ".vortel-backup";
  const Change userFile = [](Machine& m) { m.files.AddFile(kInstalled + "\\notes.txt", "mine"); };
  const Change userLoader = [](Machine& m) { m.registry.Set(kLoader, "LOADER", kInstalled + "2\\Vortel2008.ARX"); };
  const Change hklmLocked = [](Machine& m) { m.faults.Fail("CreateKey", "HKLM\\SOFTWARE\\Microsoft", 5); };
  const Change removed = [](Machine& m) { m.files.RemoveFolder(kInstalled); m.files.RemoveFolder("C:\\Vortel"); };
  const struct {
    const char* what;
    Change before, meanwhile, expected;  // on both machines; on the installed one; on the other, what differs after
    std::string program = "D:\\pkg\\SetUp.exe", logged = "";
  } cases[] = {
      {"as installed", kNothing, kNothing, kNothing},
      {"from the maintenance copy, deleted when Windows starts", kNothing, kNothing, kNothing, copy},
      {"AutoCAD's driver put back", [](Machine& m) { m.files.AddFile(kDriver, "AutoCAD's"); }, kNothing, kNothing},
      {"the original kept by an earlier install put back",
       [&](Machine& m) { m.files.AddFile(kDriver, "older"); m.files.AddFile(backup, "AutoCAD's"); }, kNothing,
       [&](Machine& m) { m.files.AddFile(kDriver, "AutoCAD's"); m.files.Delete(backup); }},
      {"a user's file stays, and so do its folders", kNothing, userFile, userFile},
      {"a loader entry naming a folder beside it stays", kNothing, userLoader,
       [&](Machine& m) { userLoader(m); m.registry.SetRaw(kLoader, "LOADCTRLS", kRegDword, {2, 0, 0, 0}); }},
      {"a loader entry already gone", kNothing, [](Machine& m) { m.registry.DeleteKey(kHkeyLocalMachine, kLoader.c_str() + 5); }, kNothing},
      {"a profile without a list", [](Machine& m) { m.registry.AddKey(kProfiles + "Q"); }, kNothing, kNothing},
      {"HKLM not writable: nobody else trusts the folder, which goes when Windows starts", hklmLocked, kNothing, removed, copy},
      {"HKLM not writable: SetUp.exe finds the installation by the user's entry", hklmLocked, kNothing, removed},
      {"HKLM not writable and a user's file: the folder is left", hklmLocked, userFile, userFile, copy,
       "folder left: " + kInstalled + " holds files the install did not copy"},
  };
  for (const auto& expected : cases) {
    Machine machine, untouched;
    expected.before(machine);
    expected.before(untouched);
    ASSERT_EQ(machine.Install(), kExitFinished) << expected.what;
    expected.meanwhile(machine);
    EXPECT_EQ(machine.Uninstall(expected.program), kExitFinished) << expected.what;
    InstalledAndUninstalled(untouched);
    expected.expected(untouched);
    EXPECT_EQ(machine.State(), untouched.State()) << expected.what;
    EXPECT_TRUE(expected.logged.empty() || machine.Logged(expected.logged)) << expected.what;
  }
}

TEST(Uninstall, DoesNothingWhenItCannotProceedOrItsRecordCannotBeRead) {
  std::vector<std::tuple<std::string, Change, int>> cases = {
      {"AutoCAD running", [](Machine& m) { m.processes.running = {"acad.exe"}; }, kExitCannotProceed},
      {"not installed", [](Machine& m) { m.registry.DeleteKey(kHkeyLocalMachine, kEntry.c_str()); }, kExitCannotProceed},
      {"no record", [](Machine& m) { m.files.Delete(kInstalled + "\\Uninstall.dat"); }, kExitFailed}};
  const std::string header = "Vortel install record 1\r\n";  // then lines of tab-separated fields, each line whole
  for (const std::string& record : {std::string(), std::string("Vortel install record 2\r\n"), header + "file\r\n",
                                    header + "link\tC:\\x\r\n", header + "file\tC:\\x", header + "file\tC:\\x\tC:\\y\r\n",
                                    header + "original\tC:\\x\tC:\\y\tC:\\z\r\n", header + "original\tC:\\x\t\r\n"}) {
    cases.emplace_back(record, [=](Machine& m) { m.files.AddFile(kInstalled + "\\Uninstall.dat", record); }, kExitFailed);
  }
  for (const auto& [what, arrange, code] : cases) {
    Machine machine;
    machine.Install();
    arrange(machine);
    const auto installed = machine.State();
    EXPECT_EQ(machine.Uninstall(), code) << what;
    EXPECT_EQ(machine.State(), installed) << what;
  }
}

TEST(Maintenance, ASecondInstallKeepsOneEntryAndEachUninstallTakesOnlyItsOwn) {
  Machine machine, untouched;
  for (Machine* m : {&machine, &untouched}) m->registry.Set("HKLM\\" + kProduct2008 + "\\Applications\\AcadVba", "LOADER", "acvba.arx");
  machine.Install();
  const fakes::Bytes size = machine.registry.Get("HKLM\\" + kEntry, "EstimatedSize").value_or(fakes::RegValue{}).data;
  EXPECT_EQ(size, (fakes::Bytes{1, 0, 0, 0})) << "KiB, rounded up";
  machine.Install({"E:\\T", {}});
  EXPECT_EQ(machine.registry.Keys("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"), fakes::Names{"VortelStructureToolbox"});
  EXPECT_EQ(machine.registry.Text("HKLM\\" + kEntry, "InstallLocation"), "E:\\T\\V-Trelmox");
  EXPECT_EQ(machine.Uninstall(kInstalled + "\\Uninstall.exe"), kExitFinished);
  EXPECT_EQ(machine.files.Names(kInstalled), fakes::Names{}) << "empty, kept for other users' lists";
  EXPECT_EQ(machine.registry.Text(kLoader, "LOADER"), "E:\\T\\V-Trelmox\\Vortel2008.ARX");
  EXPECT_TRUE(machine.registry.Get(kStep, "StubPath"));
  EXPECT_TRUE(machine.files.Exists(kDriver)) << "AutoCAD's folders serve the installation still registered";
  EXPECT_EQ(machine.Uninstall(), kExitFinished);
  InstalledAndUninstalled(untouched);
  untouched.files.AddFolder("E:\\T\\V-Trelmox");
  EXPECT_EQ(machine.State(), untouched.State());
}

TEST(Uninstall, WithTheUserItIsConfirmedOnceRunsBehindItsBarAndSaysTheFontsStay) {
  const auto answer = [](int button) { return [=](Machine& m) { m.desktop.answers = {button}; }; };
  const struct { const char* what; Change arrange; fakes::Names boxes; int code; } cases[] = {
      {"confirmed", answer(kIdYes), {texts::kConfirmUninstall, texts::kUninstallFinished}, kExitFinished},
      {"not confirmed", answer(kIdNo), {texts::kConfirmUninstall}, kExitCancelled},
      {"the question unanswered", [](Machine& m) { m.faults.Fail("ShowMessageBox", "", 0); }, {texts::kConfirmUninstall}, kExitCancelled},
      {"AutoCAD running", [](Machine& m) { m.processes.running = {"ACAD.EXE"}; }, {texts::kCloseAcadBeforeUninstall}, kExitCannotProceed},
      {"a file not deleted", [](Machine& m) { m.desktop.answers = {kIdYes}; m.faults.Fail("Delete", kInstalled, 5); },
       {texts::kConfirmUninstall, texts::kUninstallFinishedPartly}, kExitFinishedWithErrors},
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
    EXPECT_EQ(machine.BoxTexts(), expected.boxes) << expected.what;
    const bool ran = expected.boxes.size() == 2;
    EXPECT_EQ(window.ended, ran ? std::optional(kIdOk) : std::nullopt) << expected.what;
    EXPECT_EQ(window.Count(1014, kPbmStepIt), ran ? 5 : 0) << expected.what;
    EXPECT_EQ(machine.registry.Get(kLoader, "LOADER").has_value(), !ran) << expected.what;
  }
}

}  // namespace
