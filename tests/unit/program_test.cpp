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
  const struct {
    std::string arguments; bool silent; Text folder = {}; Years releases = {}; Text log = {}; Names ignored = {}; Task task = Task::Install;
  } cases[] = {
      {"", false}, {"/?", false, {}, {}, {}, {}, Task::Usage}, {"-S /uninstall", true, {}, {}, {}, {}, Task::Uninstall},
      {"/TRUSTUSER", false, {}, {}, {}, {}, Task::TrustUser}, {"/Releases=All /S", true},
      {" /verysilent  /SuppressMsgBoxes /NORESTART /SP- -nocancel /CLOSEAPPLICATIONS /NOICONS", true, {}, {}, {},
       {"SuppressMsgBoxes", "NORESTART", "SP-", "nocancel", "CLOSEAPPLICATIONS", "NOICONS"}},
      {"/DIR=\"C:\\Program Files\\V\" /S", true, "C:\\Program Files\\V"}, {"/S /D=C:\\Program Files\\V  ", true, "C:\\Program Files\\V"},
      {"/S -D=\"C:\\Program Files\\V\"", true, "C:\\Program Files\\V"}, {"/d=C:\\a /S", false, "C:\\a /S"},  // /D= takes the rest
      {"/DIR=C:\\a /DIR=\"C:\\a\"", false, "C:\\a"}, {"/LOG /S", true, {}, {}, ""},
      {"/RELEASES=2008,2016", false, {}, Years{{2008, 2016}}}, {"/releases=2028", false, {}, Years{{2028}}},  // a year, if not one served
      {"/log=\"C:\\My Logs\\v.log\"", false, {}, {}, "C:\\My Logs\\v.log"},
      {"/LOG \"C:\\My Logs\\v.log\" /QUIET", true, {}, {}, "C:\\My Logs\\v.log"}};
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
  const Change anotherRun = Failing("HoldNamedMutex", "Global", kErrorAlreadyExists);
  const Change codePage = [](Machine& m) { m.environment.codePage = 1252; };
  // clang-format off
  const struct { std::string arguments; Change arrange; int code; bool windows; std::string program = "D:\\pkg\\SetUp.exe"; } cases[] = {
      // The install.
      {"", kNothing, 0, true}, {"/S", kNothing, 0, false}, {"/VERYSILENT", kNothing, 0, false}, {"/SILENT", kNothing, 0, false},
      {"/QUIET", kNothing, 0, false}, {"/QN", kNothing, 0, false}, {"-PASSIVE", kNothing, 0, false},
      {"/VERYSILENT /SUPPRESSMSGBOXES /NORESTART /SP- /LOG=\"C:\\x.log\"", kNothing, 0, false},
      {"/S", acadRuns, 1618, false}, {"/S", anotherRun, 1618, false}, {"", anotherRun, 1618, true},
      {"/S /RELEASES=2017", kNothing, 7, false}, {"/S", kNothing, 4, false, "E:\\SetUp.exe"},
      {"/S", Failing("Copy", kInstalled + "\\Vortel2008.ARX", 32), 3010, false}, {"/S", Failing("CreateKey", kLoader, 5), 9, false},
      {"", [](Machine& m) { m.windows.cancel = true; }, 2, true}, {"", Failing("Copy", kInstalled + "\\Vortel2008.ARX", 5), 5, true},
      {"/S", codePage, 7, false}, {"", codePage, 7, true},
      // The command line.
      {"/S /X", kNothing, 1, false}, {"/X", kNothing, 1, true}, {"/?", kNothing, 0, true}, {"/? /S", kNothing, 0, false},
      // The uninstall.
      {"/UNINSTALL /S", installed, 0, false}, {"/UNINSTALL /S", kNothing, 0, false},
      {"/UNINSTALL /S", Both(installed, acadRuns), 1618, false},
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

}  // namespace
