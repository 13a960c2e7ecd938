// The program as it is started: its command line, and every front end (the setup dialog, the install without a
// window, the uninstall with the user or without, the per-user step) ending with its exit code, with no window in a
// run without one.
#include <gtest/gtest.h>

#include "core/package.h"

#include "app/command_line.h"
#include "platform/format.h"
#include "support/machine.h"

using namespace platform;
using namespace std::string_literals;
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

// Every front end's endings, from the process's start: the exit code, the closing message (the last box shown; none in a run
// without a window), and the log every run keeps, whose last line names the ending.
TEST(Program, EachFrontEndEndsWithTheExitCodeMessageAndLogLineOfHowItEndedAndARunWithoutAWindowShowsNone) {
  const Change installed = [](Machine& m) { m.Install(); };
  const Change acadRuns = [](Machine& m) { m.processes.running = {"acad.exe"}; };
  const Change anotherRun = Failing("HoldNamedMutex", "Global", kErrorAlreadyExists);
  const Change codePage = [](Machine& m) { m.environment.codePage = 1252; };
  const Change yes = [](Machine& m) { m.desktop.answers = {kIdYes}; };
  const Change unreadable = [](Machine& m) { m.files.AddFile(kInstalled + "\\Uninstall.dat", "?"); };
  const Change noFonts = [](Machine& m) { m.files.Delete(kPackage + "Vortel_EN.shx"); };
  const std::string setupLog = "C:\\Temp\\Vortel-Setup-20261207-1.log", uninstallLog = "C:\\Temp\\Vortel-Uninstall-20261207-1.log";
  const std::string trustLog = "C:\\Temp\\Vortel-TrustUser-20261207-1.log", maintenance = kInstalled + "\\Uninstall.exe";
  const std::string finished = "finished", busy = "busy: AutoCAD or another run of the program is running, try again later";
  const std::string withErrors = "finished with errors", cancelled = "cancelled before it began", wrongLine = "command line not understood";
  const std::string partly = texts::kInstallFinishedWithErrors, seeSetupLog = "\n\n"s + texts::kSeeLog + setupLog;
  const Change newer = [&](Machine& m) { installed(m); m.registry.Set(kEntry, "DisplayVersion", "2099.1.1"); };
  // clang-format off
  const struct {
    std::string arguments; Change arrange; int code; bool windows; std::string outcome; std::string closing = ""; std::string log = "";
    std::string program = "D:\\pkg\\SetUp.exe";
  } cases[] = {
      // The install.
      {"", kNothing, 0, true, finished, texts::kInstallFinished}, {"/S", kNothing, 0, false, finished}, {"/VERYSILENT", kNothing, 0, false, finished},
      {"/SILENT", kNothing, 0, false, finished}, {"/QUIET", kNothing, 0, false, finished}, {"/QN", kNothing, 0, false, finished},
      {"-PASSIVE", kNothing, 0, false, finished},
      {"/VERYSILENT /SUPPRESSMSGBOXES /NORESTART /SP- /LOG=\"C:\\x.log\"", kNothing, 0, false, finished, "", "C:\\x.log"},
      {"/DIR=E:\\V /RELEASES=2008 /LOG=\"C:\\x.log\"", kNothing, 0, true, finished, texts::kInstallFinished, "C:\\x.log"},
      {"/S", acadRuns, 1618, false, busy}, {"/S", anotherRun, 1618, false, busy}, {"", anotherRun, 1618, true, busy, texts::kAnotherRun},
      {"/S /RELEASES=2017", kNothing, 7, false, "cannot proceed"}, {"/S", kNothing, 4, false, "failed", "", "", "E:\\SetUp.exe"},
      {"/S", InUse(kInstalled + "\\Vortel2008.ARX"), 3010, false, "finished, once Windows starts anew"},
      {"/S", Failing("CreateKey", kLoader, 5), 9, false, withErrors},
      {"", noFonts, 9, true, withErrors, partly + "\n" + texts::kNotDoneFonts + seeSetupLog},
      {"", Both(Failing("CreateKey", kLoader, 5), Failing("SetValue", kVariables, 5)), 9, true, withErrors,
       partly + "\n" + texts::kNotDoneLoaders + "\n" + texts::kNotDoneProfiles + seeSetupLog},
      {"", [](Machine& m) { m.windows.cancel = true; }, 2, true, cancelled},
      {"", Failing("Move", kInstalled + "\\Vortel2008.ARX", 5), 5, true, "aborted by the user",
       FormatText(texts::kCopyFailedFormat, (kInstalled + "\\Vortel2008.ARX").c_str())},
      {"/S", codePage, 7, false, "cannot proceed"}, {"", codePage, 7, true, "cannot proceed"},
      {"/S", newer, 1638, false, "a newer version is installed: not replaced without /ALLOWDOWNGRADE"}, {"/S /ALLOWDOWNGRADE", newer, 0, false, finished},
      {"", [&](Machine& m) { newer(m); m.desktop.answers = {kIdNo, kIdNo}; }, 2, true, cancelled,
       FormatText(texts::kReplaceNewerFormat, "2099.1.1", core::VersionText().c_str())},
      {"", [&](Machine& m) { newer(m); m.desktop.answers = {kIdYes}; }, 0, true, finished, texts::kInstallFinished},
      // The command line: a relative folder is refused without a window, and resolved by the dialog.
      {"/S /X", kNothing, 1, false, wrongLine}, {"/X", kNothing, 1, true, wrongLine, texts::kUsage}, {"/?", kNothing, 0, true, "usage shown", texts::kUsage},
      {"/? /S", kNothing, 0, false, "usage shown"}, {"/S /DIR=tools", kNothing, 1, false, wrongLine}, {"/DIR=tools", kNothing, 0, true, finished, texts::kInstallFinished},
      // The uninstall.
      {"/UNINSTALL /S", installed, 0, false, finished, "", uninstallLog}, {"/UNINSTALL /S", kNothing, 0, false, "nothing to remove", "", uninstallLog},
      {"/UNINSTALL /S", Both(installed, acadRuns), 1618, false, busy, "", uninstallLog},
      {"/UNINSTALL /S", Both(installed, unreadable), 4, false, "failed", "", uninstallLog},
      {"/UNINSTALL", Both(installed, yes), 0, true, finished, texts::kUninstallFinished, uninstallLog},
      {"/UNINSTALL", [&](Machine& m) { installed(m); m.desktop.answers = {kIdNo}; }, 2, true, cancelled, texts::kConfirmUninstall, uninstallLog},
      {"/UNINSTALL", kNothing, 0, true, "nothing to remove", texts::kNotInstalled, uninstallLog},
      {"/UNINSTALL", Both(installed, Both(yes, unreadable)), 4, true, "failed", texts::kRecordUnreadable + "\n\n"s + texts::kSeeLog + uninstallLog, uninstallLog},
      {"/UNINSTALL", Both(installed, Both(yes, Failing("Delete", kInstalled, 5))), 9, true, withErrors,
       texts::kUninstallFinishedPartly + "\n\n"s + texts::kSeeLog + uninstallLog, uninstallLog},
      {"/S", installed, 0, false, finished, "", uninstallLog, maintenance},
      // The per-user step.
      {"/TRUSTUSER", installed, 0, false, finished, "", trustLog, maintenance}, {"/TRUSTUSER", kNothing, 7, false, "cannot proceed", "", trustLog},
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
    EXPECT_EQ(machine.desktop.boxes.empty() || otherCodePage ? "" : machine.desktop.boxes.back().text, expected.closing)
        << expected.arguments;
    const std::string log = machine.files.Read(expected.log.empty() ? setupLog : expected.log).value_or("");
    const std::size_t lastLine = log.rfind("\r\n", log.size() < 3 ? 0 : log.size() - 3);
    EXPECT_EQ(lastLine == std::string::npos ? "no log" : log.substr(lastLine + 2), "outcome: " + expected.outcome + " (exit code " + std::to_string(expected.code) + ")\r\n")
        << expected.arguments;
  }
}

}  // namespace
