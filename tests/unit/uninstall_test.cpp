// The uninstall: the machine as it was before the install save what is not provably the install's own and unchanged,
// a journal tampered with, files in use, the maintenance copy's own file, and the uninstall with the user.
#include <gtest/gtest.h>

#include "platform/file_contents.h"
#include "support/machine.h"
#include "ui/resources/resource.h"

using namespace platform;
using namespace fakes;
using core::Ending;
using namespace std::string_literals;

namespace {

const std::string kJournal = kInstalled + "\\Uninstall.dat", kCopy = kInstalled + "\\Uninstall.exe";
const std::string kDrawing = kInstalled + "\\" + texts::kExtensionLibraryFolder + "\\a.dwg";
const std::string kBackup = kDriver + ".vortel-backup", kStepTrusted = "HKCU\\" + kProduct2008 + "\\Profiles\\Q\\Variables";

// What an uninstall leaves: the fonts, the list stored in capitals, and the installation folder, empty, for other users.
void InstalledAndUninstalled(Machine& m) {
  m.files.AddFolder(kInstalled);
  for (const char* font : {"Vortel_EN.shx", "Vortel_HZ.shx"}) m.files.AddFile(std::string("C:\\A2008\\Fonts\\") + font, font);
  m.registry.Set(kVariables, "TRUSTEDPATHS", "C:\\TOOLS");
}

TEST(Uninstall, LeavesTheMachineAsBeforeTheInstallSaveTheFontsAndWhatIsNotItsOwn) {
  // clang-format off
  const Change userFile = [](Machine& m) { m.files.AddFile(kInstalled + "\\notes.txt", "mine"); };
  const Change userLoader = [](Machine& m) { m.registry.Set(kLoader, "LOADER", kInstalled + "2\\Vortel2008.ARX"); };
  const Change acadDriver = [](Machine& m) { m.files.AddFile(kDriver, "AutoCAD's"); };
  const Change edited = [](Machine& m) { m.files.AddFile(kDrawing, "a, edited"); m.files.AddFile(kDriver, "AutoCAD's, repaired"); };
  const Change newer = [](Machine& m) { m.files.AddFile(kPackage + "Vortel.prt5", "newer"); };
  // What is done on both machines before the install, on the installed one after it, and to the other, what differs after.
  const struct { const char* what; Change before, meanwhile, expected; } cases[] = {
      {"as installed", kNothing, kNothing, kNothing},
      {"AutoCAD's driver put back", acadDriver, kNothing, kNothing},
      {"AutoCAD's driver put back after an install of a newer one", acadDriver, [&](Machine& m) { newer(m); m.Install(); }, newer},
      {"put back when the placed one is read-only", acadDriver, [](Machine& m) { m.files.SetAttributes(kDriver, kFileAttributeReadOnly); },
       kNothing},
      {"AutoCAD's driver and its copy both gone", acadDriver, [](Machine& m) { m.files.Delete(kDriver); m.files.Delete(kBackup); },
       [](Machine& m) { m.files.Delete(kDriver); }},
      {"the copy kept changed: both stay", acadDriver, [](Machine& m) { m.files.AddFile(kBackup, "AutoCAD's, edited"); },
       [](Machine& m) { m.files.AddFile(kDriver, "Vortel.prt5"); m.files.AddFile(kBackup, "AutoCAD's, edited"); }},
      {"the folder leaves a list the per-user step wrote", kNothing,
       [](Machine& m) { m.registry.Set(kStepTrusted, "TRUSTEDPATHS", "D:\\X;" + kInstalled); },
       [](Machine& m) { m.registry.Set(kStepTrusted, "TRUSTEDPATHS", "D:\\X"); }},
      {"a copy kept before is never written over",
       [](Machine& m) { m.files.AddFile(kDriver, "older"); m.files.AddFile(kBackup, "AutoCAD's, from long ago"); }, kNothing,
       [](Machine& m) { m.files.AddFile(kDriver, "AutoCAD's, from long ago"); m.files.Delete(kBackup); }},
      {"a user's file stays, and so do its folders", kNothing, userFile, userFile},
      {"what changed after the install stays: a drawing, AutoCAD's driver repaired and its copy", acadDriver, edited,
       [&](Machine& m) { edited(m); m.files.AddFile(kBackup, "AutoCAD's"); }},
      {"a loader entry naming a folder beside it stays", kNothing, userLoader,
       [&](Machine& m) { userLoader(m); m.registry.SetRaw(kLoader, "LOADCTRLS", kRegDword, {2, 0, 0, 0}); }},
      {"a loader entry already gone", kNothing, [](Machine& m) { m.registry.DeleteKey(kHkeyLocalMachine, kLoader.c_str() + 5); }, kNothing},
      {"a profile without a list", [](Machine& m) { m.registry.AddKey(kVariables + "2"); }, kNothing, kNothing},
      {"HKLM not writable: the entry is the user's, and nobody else trusts the folder",
       Failing("CreateKey", "HKLM\\SOFTWARE\\Microsoft", 5), kNothing,
       [](Machine& m) { m.files.RemoveFolder(kInstalled); m.files.RemoveFolder("C:\\Vortel"); }}};
  // clang-format on
  for (const auto& expected : cases) {
    Machine machine, untouched;
    expected.before(machine);
    expected.before(untouched);
    ASSERT_EQ(machine.Install(), Ending::Finished) << expected.what;
    expected.meanwhile(machine);
    EXPECT_EQ(machine.Uninstall(), Ending::Finished) << expected.what;
    InstalledAndUninstalled(untouched);
    expected.expected(untouched);
    EXPECT_EQ(machine.State(), untouched.State()) << expected.what;
    EXPECT_EQ(machine.Uninstall(), Ending::NothingToRemove) << "again: " << expected.what;
  }
  // The copy kept cannot take the driver's name once that is deleted: it stays where it is, and its line, for a later run
  // that puts it back where the placed one is gone.
  Machine machine;
  machine.files.AddFile(kDriver, "AutoCAD's");
  machine.Install();
  machine.faults.Fail("RenameOpened", kBackup, kErrorAccessDenied);
  EXPECT_EQ(machine.Uninstall(), Ending::FinishedWithErrors);
  machine.faults.planted.clear();
  EXPECT_EQ(machine.Uninstall(), Ending::Finished);
  EXPECT_EQ(machine.files.Read(kDriver), "AutoCAD's");
}

// Lines added to the journal that name what the install never makes: none is acted on, each is named in the log.
TEST(Uninstall, ActsOnlyOnLinesThatNameWhatTheInstallMakes) {
  const std::string thesis = "C:\\Users\\Public\\thesis.txt", digest = DigestText(DigestOf("my thesis"));
  Machine machine, untouched;
  for (Machine* m : {&machine, &untouched}) {
    m->files.AddFile(thesis, "my thesis");
    m->files.AddFile(thesis + ".vortel-backup", "not my thesis");
    m->files.AddFile("D:\\other.txt", "my thesis");
    m->files.AddFolder("C:\\Users\\Public\\Empty");
    m->registry.AddKey("HKCU\\Software\\Victim");
    m->registry.Set("HKLM\\SOFTWARE\\Victim\\Applications\\Vortel2008", "LOADER", kInstalled + "\\x.arx");
    m->registry.Set("HKCU\\Software\\Victim\\Variables", "TRUSTEDPATHS", kInstalled);
  }
  ASSERT_EQ(machine.Install(), Ending::Finished);
  machine.files.AddLink(kInstalled + "\\lib", "C:\\Users\\Public");
  const std::string driver = DigestText(DigestOf("Vortel.prt5"));
  const Names lines = {"file\t" + kInstalled + "\\lib\t1:00000000",  // the link itself: removed as a link
                       "file\t" + kInstalled + "\\..\\..\\Users\\Public\\thesis.txt\t" + digest,
                       "file\tD:\\other.txt\t" + digest,
                       "file\t" + kInstalled + "\\lib\\thesis.txt\t" + digest,
                       "folder\tC:\\Users\\Public\\Empty",
                       "placed\t" + thesis + "\t" + digest,
                       "replaced\t" + kDriver + "\t" + driver + "\t" + thesis + "\t" + digest,
                       "replaced\t" + thesis + "\t" + digest + "\t" + thesis + ".vortel-backup\t" + DigestText(DigestOf("not my thesis")),
                       "key\tHKCU\\Software\\Victim",
                       "loader\tSOFTWARE\\Victim\\\tApplications\\Vortel2008",
                       "trusted\tSoftware\\Victim\\Variables\t0",
                       "step\tC:\\Users",
                       "file\t" + kInstalled + "\\a/../../../Users/Public/thesis.txt\t" + digest,
                       "file\t" + thesis + std::string("\0\\..\\x\t", 7) + digest,
                       "file\t" + kInstalled + "\\NUL.txt\t" + digest,
                       "file\t" + kInstalled + "\\x. \t" + digest,
                       "folder\t" + kInstalled + "\\a/../../../Users/Public/Empty",
                       "folder\tC:\\",
                       "key\tHKLM\\SOFTWARE\\Microsoft\\Windows"};
  std::string journal = machine.files.Read(kJournal).value_or("");
  for (const std::string& line : lines) journal += line + "\r\n";
  machine.files.AddFile(kJournal, journal);
  EXPECT_EQ(machine.Uninstall(), Ending::FinishedWithErrors);
  InstalledAndUninstalled(untouched);  // the driver placed where there was none, the link itself: all else undone
  EXPECT_EQ(machine.State(), untouched.State());
  EXPECT_EQ(std::count_if(machine.log.lines.begin(), machine.log.lines.end(),
                          [](const std::string& line) { return line.rfind("not acted on: ", 0) == 0; }),
            static_cast<long>(lines.size() - 1));
  // A folder inside swapped for a link to one outside as the first handle is asked for: nothing outside is touched.
  Machine swapped;
  swapped.Install();
  const std::string library = kInstalled + "\\" + texts::kExtensionLibraryFolder;
  swapped.files.AddFile("C:\\Users\\Public\\a.dwg", "a");
  swapped.files.atFirstOpen = [&] {
    swapped.files.Move(library, kInstalled + "\\moved", 0);
    swapped.files.AddLink(library, "C:\\Users\\Public");
  };
  EXPECT_EQ(swapped.Uninstall(), Ending::FinishedWithErrors);
  EXPECT_EQ(swapped.files.Read("C:\\Users\\Public\\a.dwg"), "a");
}

TEST(Uninstall, DoesNothingWhenItCannotProceedOrItsJournalCannotBeRead) {
  std::vector<std::tuple<std::string, Change, Ending>> cases = {
      {"AutoCAD running", [](Machine& m) { m.processes.running = {"acad.exe"}; }, Ending::Busy},
      {"not installed", [](Machine& m) { m.registry.DeleteKey(kHkeyLocalMachine, kEntry.c_str() + 5); }, Ending::NothingToRemove},
      {"no journal", [](Machine& m) { m.files.Delete(kJournal); }, Ending::Failed},
      {"a journal others could write", [](Machine& m) { m.files.writableByOthers.insert(kJournal); }, Ending::CannotProceed},
      {"a folder others may rename", [](Machine& m) { m.files.othersRights[kInstalled] = kRightDelete; }, Ending::CannotProceed},
      {"an access list that cannot be read", Failing("QueryOthersRights", kInstalled, 5), Ending::CannotProceed}};
  const std::string header = "Vortel install journal 2\r\n";  // then lines of tab-separated fields, each line whole
  for (const std::string& journal : {std::string(), std::string("Vortel install journal 1\r\n"), header + "file\r\n",
                                     header + "link\tC:\\x\r\n", header + "folder\tC:\\x", header + "folder\tC:\\x\tC:\\y\r\n",
                                     header + "replaced\tC:\\x\t1:00000000\tC:\\y\r\n", header + "trusted\tC:\\x\t\r\n"}) {
    cases.push_back({journal, [=](Machine& m) { m.files.AddFile(kJournal, journal); }, Ending::Failed});
  }
  for (const auto& [what, arrange, ending] : cases) {
    Machine machine;
    machine.Install();
    arrange(machine);
    const auto installed = machine.State();
    machine.faults.calls.clear();
    EXPECT_EQ(machine.Uninstall(), ending) << what;
    EXPECT_EQ(machine.State(), installed) << what;
    const Names& calls = machine.faults.calls;
    const bool opened = std::any_of(calls.begin(), calls.end(), [](const std::string& call) { return call.rfind("OpenEntry", 0) == 0; });
    EXPECT_TRUE(ending != Ending::CannotProceed || !opened) << what << ": nothing of a folder not trusted is opened";
  }
}

// A file in use stays with its line and the entry, so that the uninstall run again finishes; where its removal can be
// left to Windows' next start, it is, under a name of its own that nothing installed later can have.
TEST(Uninstall, AFileInUseIsRemovedAgainOrWhenWindowsStarts) {
  const std::string module = kInstalled + "\\Vortel2008.ARX";
  for (const bool mayWaitForRestart : {false, true}) {
    Machine machine;
    machine.Install();
    machine.faults.Fail("OpenEntry", module, kErrorSharingViolation);
    if (!mayWaitForRestart) machine.faults.Fail("Move", module + ".vortel-removed-4242", kErrorAccessDenied);
    EXPECT_EQ(machine.Uninstall(false), mayWaitForRestart ? Ending::RestartNeeded : Ending::FinishedWithErrors);
    EXPECT_EQ(machine.registry.Get(kEntry, "InstallLocation").has_value(), !mayWaitForRestart);
    EXPECT_EQ(machine.files.Read(kJournal).value_or("").find("file\t" + module) != std::string::npos, !mayWaitForRestart);
    machine.faults.planted.clear();
    if (mayWaitForRestart) {
      EXPECT_EQ(machine.Install(), Ending::Finished) << "installed again before Windows starts";
      machine.files.Restart();
      EXPECT_EQ(machine.files.Read(module), "Vortel2008.ARX") << "not taken by the restart";
      EXPECT_EQ(machine.files.Read(kCopy), "the program");
    }
    EXPECT_EQ(machine.Uninstall(), Ending::Finished);
    EXPECT_EQ(machine.files.Names(kInstalled), Names{});
  }
}

// The maintenance copy cannot delete its own file: a copy of it in the temporary folder finishes once it has ended.
TEST(Uninstall, FromTheMaintenanceCopyACopyInTheTemporaryFolderFinishes) {
  Machine machine;
  machine.Install();
  machine.processes.running = {"ACAD.EXE"};  // elsewhere /AFTER= neither waits nor skips a check
  EXPECT_EQ(machine.Run("/UNINSTALL /S /AFTER=99"), 1618);
  EXPECT_TRUE(machine.processes.waitedFor.empty());
  machine.processes.running.clear();
  machine.files.AddFile("C:\\Temp\\Vortel-Uninstall-4242.exe", "planted by another user");
  EXPECT_EQ(machine.Run("/S", kCopy), 0);
  const std::string folder = "C:\\Temp\\Vortel-Uninstall-a0a1a2a3a4a5a6a7a8a9aaab", finisher = folder + "\\Vortel-Uninstall-4242.exe";
  EXPECT_TRUE(machine.files.protectedFolders.count(folder)) << "a folder of its own, nobody else may write in";
  EXPECT_EQ(machine.files.Read(finisher), "the program");
  ASSERT_EQ(machine.processes.started,
            Names{"\"" + finisher + "\" /UNINSTALL /S /DIR=\"C:\\Vortel\" /AFTER=4242 /LOG=\"C:\\Temp\\Vortel-Uninstall-20261207-2.log\""});
  EXPECT_EQ(machine.files.Names(kInstalled), (Names{"Uninstall.dat", "Uninstall.exe"}));
  EXPECT_FALSE(machine.registry.Get(kEntry, "InstallLocation")) << "gone before the maintenance copy";
  const std::string command = machine.processes.started[0];
  EXPECT_EQ(machine.Run(command.substr(command.find(" /") + 1), finisher), 0);
  EXPECT_EQ(machine.processes.waitedFor, std::vector<std::uint32_t>{4242});
  EXPECT_EQ(machine.files.Names(kInstalled), Names{});
  const std::string log = machine.files.Read("C:\\Temp\\Vortel-Uninstall-20261207-2.log").value_or("");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\xEF'), 1) << "one log, written on";
  machine.files.Restart();
  EXPECT_FALSE(machine.files.Exists(folder));
}

TEST(Uninstall, WithTheUserItIsConfirmedOnceRunsBehindItsBarAndSaysTheFontsStay) {
  const auto answer = [](int button) { return [=](Machine& m) { m.desktop.answers = {button}; }; };
  // clang-format off
  const struct { const char* what; Change arrange; Names boxes; Ending ending; } cases[] = {
      {"confirmed", answer(kIdYes), {texts::kConfirmUninstall, texts::kUninstallFinished}, Ending::Finished},
      {"not confirmed", answer(kIdNo), {texts::kConfirmUninstall}, Ending::Cancelled},
      {"the question unanswered", Failing("ShowMessageBox", "", 0), {texts::kConfirmUninstall}, Ending::Cancelled},
      {"AutoCAD running", [](Machine& m) { m.processes.running = {"ACAD.EXE"}; }, {texts::kCloseAcadBeforeUninstall}, Ending::Busy},
      {"a file not deleted", [](Machine& m) { m.desktop.answers = {kIdYes}; m.faults.Fail("Delete", kInstalled, 5); },
       {texts::kConfirmUninstall, texts::kUninstallFinishedPartly}, Ending::FinishedWithErrors},
      {"a drawing changed after the install", [](Machine& m) { m.desktop.answers = {kIdYes}; m.files.AddFile(kDrawing, "a, edited"); },
       {texts::kConfirmUninstall, texts::kUninstallFinished + "\n\n"s + texts::kChangedFilesKept + "\n" + kDrawing}, Ending::Finished},
      {"nothing installed", [](Machine& m) { m.registry.DeleteKey(kHkeyLocalMachine, kEntry.c_str() + 5); }, {texts::kNotInstalled},
       Ending::NothingToRemove},
  };
  // clang-format on
  for (const auto& expected : cases) {
    Machine machine;
    machine.Install();
    expected.arrange(machine);
    FakeWindow window;
    EXPECT_EQ(machine.Uninstall(false, &window), expected.ending) << expected.what;
    EXPECT_EQ(machine.BoxTexts(), expected.boxes) << expected.what;
    const bool ran = expected.boxes.size() == 2;
    EXPECT_EQ(window.ended, ran ? std::optional(kIdOk) : std::nullopt) << expected.what;
    EXPECT_EQ(window.Count(IDC_PROGRESS, kPbmStepIt), ran ? 5 : 0) << expected.what;
    EXPECT_EQ(machine.registry.Get(kLoader, "LOADER").has_value(), !ran) << expected.what;
  }
}

// Windows marks the per-user step done for the user whatever it found: a user without a profile yet is trusted at a later logon.
TEST(PerUserStep, AUserWithoutAnAutoCadProfileYetIsTrustedAtTheFirstLogonAfterOneExists) {
  const std::string runOnce = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", entry = "VortelStructureToolboxTrust";
  Machine machine;
  machine.Install();
  for (const std::string& key : {kVariables, kVariables.substr(0, kVariables.size() - 10)})
    machine.registry.DeleteKey(kHkeyCurrentUser, key.c_str() + 5);
  for (int logon = 0; logon < 2; ++logon) {  // Windows takes the entry away as it starts the step
    EXPECT_EQ(machine.Run("/TRUSTUSER", kCopy), 0);
    EXPECT_EQ(machine.registry.Text(runOnce, entry), "\"" + kCopy + "\" /TRUSTUSER");
    machine.registry.Set(runOnce, entry, "");
  }
  machine.registry.Set(kStepTrusted, "TRUSTEDPATHS", "D:\\X");  // AutoCAD started: a profile
  EXPECT_EQ(machine.Run("/TRUSTUSER", kCopy), 0);
  EXPECT_EQ(machine.registry.Text(kStepTrusted, "TRUSTEDPATHS"), "D:\\X;C:\\VORTEL\\V-TRELMOX");
  EXPECT_EQ(machine.registry.Text(runOnce, entry), "") << "not left again";
}

}  // namespace
