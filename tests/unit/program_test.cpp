// The program as it is started: its command line, and every front end (the setup dialog, the install without a
// window, the uninstall with the user or without, the per-user step) ending with its exit code, with no window in a
// run without one.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "support/machine.h"

using namespace platform;
using namespace fakes;

namespace {

TEST(CommandLine, EverySwitchEitherFormOfTheFolderAndEveryErrorAsATable) {
  using Text = std::optional<std::string>;
  using Years = std::optional<std::vector<int>>;
  using core::Task;
  // clang-format off
  const struct { std::string arguments; bool silent; Task task; Text folder; Years releases; Text log; Names ignored = {}; } cases[] = {
      {"", false, Task::Install, {}, {}, {}}, {"/?", false, Task::Usage, {}, {}, {}},
      {"-S /uninstall", true, Task::Uninstall, {}, {}, {}}, {"/TRUSTUSER", false, Task::TrustUser, {}, {}, {}},
      {" /verysilent  /SuppressMsgBoxes /NORESTART /SP- -nocancel /CLOSEAPPLICATIONS /NOICONS", true, Task::Install, {}, {},
       {}, {"SuppressMsgBoxes", "NORESTART", "SP-", "nocancel", "CLOSEAPPLICATIONS", "NOICONS"}},
      {"/Releases=All /S", true, Task::Install, {}, {}, {}},
      {"/DIR=\"C:\\Program Files\\V\" /S", true, Task::Install, "C:\\Program Files\\V", {}, {}},
      {"/S /D=C:\\Program Files\\Vortel  ", true, Task::Install, "C:\\Program Files\\Vortel", {}, {}},
      {"/S -D=\"C:\\Program Files\\Vortel\"", true, Task::Install, "C:\\Program Files\\Vortel", {}, {}},
      {"/d=C:\\a /S", false, Task::Install, "C:\\a /S", {}, {}},  // /D= takes the rest of the line
      {"/DIR=C:\\a /DIR=\"C:\\a\"", false, Task::Install, "C:\\a", {}, {}}, {"/LOG /S", true, Task::Install, {}, {}, ""},
      {"/RELEASES=2008,2016", false, Task::Install, {}, Years{{2008, 2016}}, {}},
      {"/releases=2028", false, Task::Install, {}, Years{{2028}}, {}},  // a year, if not one served
      {"/log=\"C:\\My Logs\\v.log\"", false, Task::Install, {}, {}, "C:\\My Logs\\v.log"},
      {"/LOG \"C:\\My Logs\\v.log\" /QUIET", true, Task::Install, {}, {}, "C:\\My Logs\\v.log"}};
  // clang-format on
  for (const auto& x : cases) {
    const core::RunChoices line = ParseCommandLine(x.arguments);
    EXPECT_EQ(line.error, "") << x.arguments;
    EXPECT_EQ(std::tie(line.silent, line.task, line.folder, line.releases, line.log, line.ignored),
              std::tie(x.silent, x.task, x.folder, x.releases, x.log, x.ignored))
        << x.arguments;
  }
  // Not understood; silent all the same after a silent switch, so that no box shows the error.
  for (const std::string wrong : {"/X", "C:\\V /S", "/DIR=", "/D=", "/RELEASES=20x8", "/RELEASES=2008,", "/S=1", "/DIR=C:\\a /DIR=C:\\b",
                                  "/DIR=C:\\a /D=C:\\b", "/RELEASES=all /RELEASES=2008", "/DIR=C:\\\"a\"", "/D=\"C:\\a", "/NORESTARTS"}) {
    const core::RunChoices line = ParseCommandLine(wrong);
    EXPECT_NE(line.error, "") << wrong;
    EXPECT_EQ(line.silent, wrong == "C:\\V /S") << wrong;
  }
  EXPECT_NE(ParseCommandLine("/S /DIR=C:\\?", false).error, "") << "a folder the code page cannot write";
}

// Every front end's endings, from the process's start: the exit code, and no window in a run without one.
TEST(Program, EachFrontEndEndsWithTheExitCodeOfHowItEndedAndARunWithoutAWindowShowsNone) {
  const Change installed = [](Machine& m) { m.Install(); };
  const Change acadRuns = [](Machine& m) { m.processes.running = {"acad.exe"}; };
  const Change anotherRun = [](Machine& m) { m.faults.Fail("HoldNamedMutex", "Global", kErrorAlreadyExists); };
  const Change codePage = [](Machine& m) { m.environment.codePage = 1252; };
  // clang-format off
  const struct { std::string arguments; Change arrange; int code; bool windows; std::string program = "D:\\pkg\\SetUp.exe"; } cases[] = {
      // The install.
      {"", kNothing, 0, true}, {"/S", kNothing, 0, false}, {"/VERYSILENT", kNothing, 0, false}, {"/SILENT", kNothing, 0, false},
      {"/QUIET", kNothing, 0, false}, {"/QN", kNothing, 0, false}, {"-PASSIVE", kNothing, 0, false},
      {"/VERYSILENT /SUPPRESSMSGBOXES /NORESTART /SP- /LOG=\"C:\\x.log\"", kNothing, 0, false},
      {"/S", acadRuns, 1618, false}, {"/S", anotherRun, 1618, false}, {"", anotherRun, 1618, true},
      {"/S /RELEASES=2017", kNothing, 7, false}, {"/S /DIR=Q:\\Tools", kNothing, 7, false},
      {"/S", [](Machine& m) { m.files.modulePath = "E:\\SetUp.exe"; }, 4, false, "E:\\SetUp.exe"},
      {"/S", [](Machine& m) { m.faults.Fail("Copy", kInstalled + "\\Vortel2008.ARX", 32); }, 3010, false},
      {"/S", [](Machine& m) { m.faults.Fail("CreateKey", kLoader, 5); }, 9, false},
      {"", [](Machine& m) { m.windows.cancel = true; }, 2, true},
      {"", [](Machine& m) { m.faults.Fail("Copy", kInstalled + "\\Vortel2008.ARX", 5); }, 5, true},
      {"/S", codePage, 7, false}, {"", codePage, 7, true},
      // The command line.
      {"/S /X", kNothing, 1, false}, {"/X", kNothing, 1, true}, {"/?", kNothing, 0, true}, {"/? /S", kNothing, 0, false},
      // The uninstall.
      {"/UNINSTALL /S", installed, 0, false}, {"/UNINSTALL /S", kNothing, 0, false},
      {"/UNINSTALL /S", [&](Machine& m) { installed(m); acadRuns(m); }, 1618, false},
      {"/UNINSTALL /S", [&](Machine& m) { installed(m); m.files.AddFile(kInstalled + "\\Uninstall.dat", "?"); }, 4, false},
      {"/UNINSTALL", [&](Machine& m) { installed(m); m.desktop.answers = {kIdYes}; }, 0, true},
      {"/UNINSTALL", [&](Machine& m) { installed(m); m.desktop.answers = {kIdNo}; }, 2, true},
      {"/S", installed, 0, false, kInstalled + "\\Uninstall.exe"},
      // The per-user step.
      {"/TRUSTUSER", installed, 0, false, kInstalled + "\\Uninstall.exe"}, {"/TRUSTUSER", kNothing, 7, false},
  };
  // clang-format on
  for (const auto& expected : cases) {
    Machine machine;
    expected.arrange(machine);
    machine.desktop.boxes.clear();
    EXPECT_EQ(machine.Run(expected.arguments, expected.program), expected.code) << expected.arguments;
    EXPECT_EQ(!machine.desktop.boxes.empty() || machine.windows.dialogs > 0, expected.windows) << expected.arguments;
    const bool otherCodePage = machine.environment.codePage != 936;
    EXPECT_EQ(machine.desktop.boxes.size() == 1 && machine.desktop.boxes[0].unicode, expected.windows && otherCodePage)
        << expected.arguments;
  }
}

// The program as it starts asks to close a running AutoCAD on the first click, and installs on the next.
TEST(Program, TheFirstClickWhileAutoCadRunsOnlyAsksToCloseItAndTheLogTellsTheRun) {
  Machine machine;
  machine.processes.running = {"ACAD.EXE"};
  EXPECT_EQ(machine.Run("/LOG=C:\\setup.log /NORESTART"), 0);
  EXPECT_EQ(machine.BoxTexts(), (Names{texts::kCloseAcadFirst, texts::kInstallFinished}));
  const std::string log = machine.files.Read("C:\\setup.log").value_or("");
  for (const std::string line : {"\xEF\xBB\xBFVortel setup 2026.08.05 (32-bit AutoCAD)\r\n",
                                 "command line: \"D:\\pkg\\SetUp.exe\" /LOG=C:\\setup.log /NORESTART\r\n", "switch ignored: NORESTART\r\n",
                                 "outcome: finished (exit code 0)\r\n"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
}

}  // namespace
