// The install without a window: how each run ends and what it leaves, a failed run rolled back, the entries written
// last, one installation per machine, the installation folder nobody else writes in, and the log.
#include <gtest/gtest.h>

#include "core/log_file.h"
#include "journal/journal.h"
#include "journal/maintenance.h"
#include "profile/loader_registration.h"
#include "profile/trusted_paths.h"
#include "support/machine.h"

using namespace platform;
using namespace fakes;
using core::Ending;

namespace {

core::RunChoices Choices(std::optional<std::string> folder, std::optional<std::vector<int>> releases = {}) {
  core::RunChoices choices;
  std::tie(choices.folder, choices.releases) = std::tie(folder, releases);
  return choices;
}

TEST(SilentInstall, EachEndingLeavesWhatItSaysAndAFailedRunIsRolledBack) {
  const Names whole = {
      "found AutoCAD 2017: HKLM\\SOFTWARE\\Autodesk\\AutoCAD\\R21.0\\A\\ (native root), folder C:\\A2017",
      "releases ticked: 2008",
      "made " + kInstalled + " with an access list of its own",
      "program file skipped: LICENSE (no dot in its name)",
      "loader entry written: " + kLoader + ": LOADER (REG_SZ) = " + kInstalled + "\\Vortel2008.ARX, LOADCTRLS (REG_DWORD) = 2",
      "TRUSTEDPATHS of " + kVariables + " was \"C:\\Tools\", is \"C:\\TOOLS;C:\\VORTEL\\V-TRELMOX\"",
      "placed " + kDriver,
      "uninstall entry: " + kEntry,
      "per-user step: " + kStep};
  const std::string module = kInstalled + "\\Vortel2008.ARX";
  // clang-format off
  const struct {
    const char* what; Change arrange; core::RunChoices choices; Ending ending; Names logged = {};
    bool loader = true, entry = true;  // when the install ran
  } cases[] = {
      {"finished", kNothing, {}, Ending::Finished, whole},
      {"the releases asked", kNothing, Choices({}, {{2008}}), Ending::Finished},
      {"AutoCAD running", [](Machine& m) { m.processes.running = {"ACAD.EXE"}; }, {}, Ending::Busy},
      {"nothing found", [](Machine& m) { m.registry.Set("HKLM\\" + kProduct2008, "ProductName", "?"); }, {}, Ending::CannotProceed},
      {"a release not found", kNothing, Choices({}, {{2008, 2016}}), Ending::CannotProceed},
      {"a release not served", kNothing, Choices({}, {{2017}}), Ending::CannotProceed},
      {"a folder unresolved", Failing("FullPathName", "", 0), {}, Ending::CannotProceed},
      {"a folder with a ';'", kNothing, Choices("C:\\Users;x"), Ending::CannotProceed},
      {"a drive that does not exist", kNothing, Choices("Q:\\Tools"), Ending::CannotProceed},
      {"the package missing", [](Machine& m) { m.files.modulePath = "E:\\SetUp.exe"; }, {}, Ending::Failed},
      {"a file not copied", Failing("Move", module, 5), {}, Ending::Failed,
       {"not copied: " + module + " (error 5), answered Abort", "rolled back"}},
      {"a file in use, put in place at restart", InUse(module), {}, Ending::RestartNeeded,
       {"put in place when Windows next starts: " + module}},
      {"a file in use, which cannot be put in place at restart", Both(InUse(module), Failing("Move", "", 5)), {},
       Ending::Failed, {"rolled back"}},
      {"a loader entry not written", Failing("CreateKey", kLoader, 5), {}, Ending::FinishedWithErrors,
       {"loader entry not written: " + kLoader + " (error 5)"}, false},
      {"a font not placed", Failing("Move", "C:\\A2008\\Fonts\\Vortel_HZ.shx", 5), {}, Ending::FinishedWithErrors,
       {"not placed C:\\A2008\\Fonts\\Vortel_HZ.shx (error 5)"}},
      {"a line of the journal not written", Failing("WriteToFile", kInstalled + "\\Uninstall.dat", 112), {}, Ending::Failed, {"rolled back"}},
      {"the journal never made", Failing("CreateFileForWriting", kInstalled, 5), {}, Ending::Failed, {"rolled back"}},
      {"no uninstall entry anywhere", Both(Failing("CreateKey", "HKLM\\SOFTWARE\\Microsoft", 5), Failing("CreateKey", "HKCU", 5)),
       {}, Ending::FinishedWithErrors, {"no uninstall entry could be written (error 5)"}, true, false}};
  // clang-format on
  for (const auto& expected : cases) {
    Machine machine;
    expected.arrange(machine);
    const auto before = machine.State();
    EXPECT_EQ(machine.Install(expected.choices), expected.ending) << expected.what;
    const bool refused = expected.ending == Ending::CannotProceed || expected.ending == Ending::Busy;
    const bool ran = !refused && expected.ending != Ending::Failed;
    EXPECT_EQ(machine.registry.Get(kLoader, "LOADER").has_value(), ran && expected.loader) << expected.what;
    EXPECT_EQ(machine.registry.Text(kEntry, "InstallLocation"), ran && expected.entry ? kInstalled : "") << expected.what;
    EXPECT_EQ(machine.log.lines.back().rfind("the install does not start: ", 0) == 0, refused) << expected.what;
    EXPECT_EQ(machine.State() == before, !ran) << expected.what;
    for (const std::string& line : expected.logged) EXPECT_TRUE(machine.Logged(line)) << line;
  }
}

TEST(SilentInstall, AFailedRunLeavesTheInstallationBeforeItRegisteredAndRemovable) {
  Machine machine;
  ASSERT_EQ(machine.Install(), Ending::Finished);
  machine.files.AddFile(kPackage + "Vortel2009.ARX", "new");
  machine.files.AddFile(kPackage + "Vortel2008.ARX", "a new version");
  const auto installed = machine.State();
  machine.faults.Fail("Move", kInstalled + "\\Vortel2009.ARX", kErrorAccessDenied);
  EXPECT_EQ(machine.Install(Choices("C:\\Vortel")), Ending::Failed);
  EXPECT_EQ(machine.State(), installed);
  machine.faults.planted.clear();
  EXPECT_EQ(machine.Uninstall(), Ending::Finished);
  EXPECT_EQ(machine.files.Names(kInstalled), Names{}) << "the folder stays, empty, for other users' lists";
}

// The registry as if the installation had always been in the other folder, and once uninstalled, the machine too, save
// what the user added to the first one.
TEST(SilentInstall, AnInstallIntoAnotherFolderReplacesTheInstallationThereWas) {
  Machine machine, direct;
  machine.Install();
  machine.files.AddFile(kInstalled + "\\notes.txt", "mine");
  const Change unregistrable = Both(Failing("CreateKey", "HKLM\\SOFTWARE\\Microsoft", 5), Failing("CreateKey", "HKCU", 5));
  unregistrable(machine);
  EXPECT_EQ(machine.Install(Choices("E:\\T")), Ending::FinishedWithErrors);
  EXPECT_TRUE(machine.files.Exists(kInstalled + "\\Uninstall.exe")) << "not removed by a run that could not register";
  machine.faults.planted.clear();
  EXPECT_EQ(machine.Install(Choices("E:\\T")), Ending::Finished);
  EXPECT_EQ(machine.Install(), Ending::Finished);  // without a folder given, the installed one's
  direct.Install(Choices("E:\\T"));
  direct.files.AddFile(kInstalled + "\\notes.txt", "mine");
  EXPECT_EQ(machine.registry.Dump(), direct.registry.Dump());
  EXPECT_EQ(machine.Uninstall(), Ending::Finished);
  direct.Uninstall();
  EXPECT_EQ(machine.State(), direct.State());
}

// A per-machine install makes every level protected and refuses a folder that others could rename or replace (save a
// level holding nothing but the installation folder, which it protects), or one there already that holds a link.
TEST(SilentInstall, APerMachineInstallRefusesAFolderOthersCouldChangeAndProtectsEveryLevelItMakes) {
  const auto rights = [](std::string path, std::uint32_t granted) { return [=](Machine& m) { m.files.othersRights[path] = granted; }; };
  const Change notes = [](Machine& m) { m.files.AddFile("C:\\Vortel\\notes.txt"); };
  const Change linked = [](Machine& m) { m.files.AddLink(kInstalled + "\\lib", "C:\\A2008"); };
  // clang-format off
  const struct { const char* what; Change arrange; bool elevated; Ending ending; const char* logged; } cases[] = {
      {"made anew", kNothing, true, Ending::Finished, nullptr},
      {"C:\\Vortel holding only the installation folder", Both(rights("C:\\Vortel", kRightDelete), [](Machine& m) { m.files.AddFolder(kInstalled); }), true, Ending::Finished, nullptr},
      {"C:\\Vortel holding more", Both(rights("C:\\Vortel", kRightDelete), notes), true, Ending::CannotProceed, "C:\\Vortel: others may delete or rename it"},
      {"C:\\ letting others delete what it holds", Both(rights("C:\\", kRightDeleteChild), notes), true, Ending::CannotProceed, "C:\\Vortel: others may delete or rename what the folder above it holds"},
      {"an installation folder holding a link", linked, true, Ending::CannotProceed, "C:\\Vortel\\V-Trelmox was there already and holds a link or a junction: C:\\Vortel\\V-Trelmox\\lib"},
      {"for one user", Both(rights("C:\\Vortel", kRightDelete), notes), false, Ending::Finished, nullptr},
  };
  // clang-format on
  for (const auto& expected : cases) {
    Machine machine;
    expected.arrange(machine);
    machine.environment.elevated = expected.elevated;
    const auto before = machine.State();
    EXPECT_EQ(machine.Install(), expected.ending) << expected.what;
    if (expected.logged) {
      EXPECT_EQ(machine.State(), before) << expected.what;
      EXPECT_TRUE(machine.Logged(expected.logged)) << expected.what;
    } else {
      EXPECT_TRUE(machine.files.protectedFolders.count("C:\\Vortel") || !expected.elevated) << expected.what;
      EXPECT_TRUE(machine.files.protectedFolders.count(kInstalled)) << expected.what;
    }
  }
}

// One folder under its short and its long name is one installation, stored in its long spelling; the uninstall takes the
// installation folder itself, and refuses a folder that holds none while the entry names one.
TEST(SilentInstall, OneFolderSpeltTwoWaysIsOneInstallationStoredInItsLongSpelling) {
  Machine machine;
  const std::string folder = "C:\\Vortel Tools\\V-Trelmox";
  machine.files.AddFolder("C:\\Vortel Tools");
  machine.files.AddShortName("C:\\Vortel Tools", "VORTEL~1");
  EXPECT_EQ(machine.Install(Choices("C:\\VORTEL~1")), Ending::Finished);
  EXPECT_EQ(machine.Install(Choices("C:\\Vortel Tools")), Ending::Finished);
  EXPECT_EQ(machine.registry.Text(kEntry, "InstallLocation"), folder);
  EXPECT_EQ(machine.registry.Text(kLoader, "LOADER"), folder + "\\Vortel2008.ARX");
  EXPECT_EQ(machine.registry.Text(kVariables, "TRUSTEDPATHS"), "C:\\TOOLS;" + Upper(folder));
  EXPECT_TRUE(machine.files.Exists(folder + "\\Uninstall.exe"));
  EXPECT_EQ(machine.Run("/UNINSTALL /S /DIR=C:\\Temp"), 1);
  EXPECT_EQ(machine.Run("/UNINSTALL /S /DIR=C:\\VORTEL~1\\V-Trelmox"), 0);
  EXPECT_FALSE(machine.registry.Get(kLoader, "LOADER").has_value());
}

// Each install writes the journal whole: ten reinstalls leave it the size of one, a line cut short is left out, an
// upgrade removes what it no longer ships unless changed (an edit of the same length too), and an older package asks.
TEST(SilentInstall, EachInstallWritesTheJournalWholeAndAnUpgradeReplaces) {
  Machine machine;
  for (const char* name : {"gone.txt", "edited.txt"}) machine.files.AddFile(kPackage + name, "v1");
  machine.Install();
  const std::size_t once = machine.files.Read(kInstalled + "\\Uninstall.dat")->size();
  for (int run = 0; run < 10; ++run) machine.Install();
  EXPECT_EQ(machine.files.Read(kInstalled + "\\Uninstall.dat")->size(), once);
  machine.files.AddFile(kInstalled + "\\Uninstall.dat", *machine.files.Read(kInstalled + "\\Uninstall.dat") + "file\tC:\\x");
  for (const char* name : {"gone.txt", "edited.txt"}) machine.files.Delete(kPackage + name);
  machine.files.AddFile(kInstalled + "\\edited.txt", "v2");
  machine.registry.Set(kEntry, "DisplayVersion", "2026.10.1");
  EXPECT_EQ(machine.Install(), Ending::NewerInstalled);
  core::RunChoices allowed;
  allowed.allowDowngrade = true;
  EXPECT_EQ(machine.Install(allowed), Ending::Finished);
  EXPECT_TRUE(machine.Logged("the journal's last line was cut short and is left out: file\tC:\\x"));
  EXPECT_TRUE(machine.Logged("version 2026.08.05 replaces version 2026.10.1"));
  EXPECT_EQ(machine.files.Read(kInstalled + "\\edited.txt"), "v2");
  EXPECT_FALSE(machine.files.Exists(kInstalled + "\\gone.txt"));
  EXPECT_EQ(machine.files.Read(kInstalled + "\\Uninstall.dat")->find("gone.txt"), std::string::npos);
  machine.files.AddFile(kPackage + "Vortel2008.ARX", "v3");
  machine.files.inUse.insert(kInstalled + "\\Vortel2008.ARX");
  EXPECT_EQ(machine.Install(allowed), Ending::RestartNeeded);
  machine.files.Restart();
  EXPECT_EQ(machine.files.Read(kInstalled + "\\Vortel2008.ARX"), "v3") << "put in place over the one in use";
  EXPECT_EQ(machine.Uninstall(), Ending::Finished);
  EXPECT_EQ(machine.files.Names(kInstalled), Names{"edited.txt"});
}

// A file answered Ignore is neither logged nor journalled as copied.
TEST(DialogInstall, AFileAnsweredIgnoreIsNotRecordedAsCopied) {
  Machine machine;
  machine.faults.Fail("Move", kInstalled + "\\Vortel2008.ARX", kErrorAccessDenied);
  machine.desktop.answers = {kIdIgnore};
  EXPECT_EQ(machine.Run("/LOG=C:\\x.log"), 0);
  EXPECT_EQ(machine.files.Read(kInstalled + "\\Uninstall.dat")->find("Vortel2008.ARX\t"), std::string::npos);
  EXPECT_EQ(machine.files.Read("C:\\x.log")->find("program file copied: " + kInstalled + "\\Vortel2008.ARX"), std::string::npos);
}

// A folder that was there already gets the access list; a journal others could have written is not trusted.
TEST(SilentInstall, AFolderThatWasThereIsProtectedAndAJournalOthersCouldWriteIsSetAside) {
  for (const bool othersWrote : {false, true}) {
    Machine machine;
    machine.Install();
    const std::string planted = "Vortel install journal 2\r\nfile\tD:\\pkg\\Data\\Vortel_EN.shx\t13:00000000\r\n";
    if (othersWrote) {
      machine.files.writableByOthers.insert(kInstalled);
      machine.files.protectedFolders.erase(kInstalled);
      machine.files.AddFile(kInstalled + "\\Uninstall.dat", planted);
    }
    EXPECT_EQ(machine.Install(), Ending::Finished);
    EXPECT_EQ(machine.files.protectedFolders.count(kInstalled), 1u);
    EXPECT_EQ(machine.files.Read(kInstalled + "\\Uninstall.dat.set-aside").has_value(), othersWrote);
    journal::Lines lines;
    journal::ReadJournal(machine.services, kInstalled, &lines);
    EXPECT_EQ(lines.front().kind, othersWrote ? core::EffectKind::FileCopied : core::EffectKind::FolderMade) << "appended";
    EXPECT_EQ(machine.Uninstall(), Ending::Finished);
    EXPECT_TRUE(machine.files.Exists(kPackage + "Vortel_EN.shx"));
  }
}

// Each key the install makes is journalled before it is made: one that cannot be made leaves no line, one whose line
// cannot be written is not made, one that was there gets no line.
TEST(Keys, EachIsJournalledBeforeItIsMadeAndOnlyWhenTheInstallMakesIt) {
  struct Journal final : core::Report {
    Names keys;
    bool refuse = false;
    ErrorCode Done(const core::Effect& line) override {
      const bool key = line.kind == core::EffectKind::KeyMade;
      if (key && !refuse) keys.push_back(Upper(line.fields[0]));
      return key && refuse ? kErrorDiskFull : kErrorSuccess;
    }
    void Undone(const core::Effect& line) override { keys.erase(std::remove(keys.begin(), keys.end(), Upper(line.fields[0])), keys.end()); }
  };
  const std::string profile = "HKCU\\" + kProduct2008 + "\\Profiles\\Q";
  for (const std::string& key : {kEntry, "HKLM\\" + kProduct2008 + "\\Applications", profile + "\\Variables"}) {
    for (const std::string how : {"made", "not made", "line refused", "there before"}) {
      Machine machine;
      machine.registry.AddKey(profile);
      if (how == "there before") machine.registry.AddKey(key);
      if (how == "not made") machine.faults.Fail("CreateKey", key, kErrorAccessDenied);
      Journal journal;
      journal.refuse = how == "line refused";
      CAcadInstallInfo info{machine.services};
      info.ScanInstalledReleases();
      info.SetInstallDir(kInstalled);
      journal::RegisterMaintenance(machine.services, kInstalled, 0, journal);  // the three that make keys
      profile::RegisterLoader(info, 2008, 32, journal);
      profile::AddTrustedPath(info, journal);
      const auto dump = machine.registry.Dump();
      const bool there = std::any_of(dump.begin(), dump.end(), [&](const auto& entry) { return Upper(entry.first) == Upper(key + "\\"); });
      EXPECT_EQ(there, how == "made" || how == "there before") << key << ": " << how;
      EXPECT_EQ(std::count(journal.keys.begin(), journal.keys.end(), Upper(key)), how == "made" ? 1 : 0) << key << ": " << how;
    }
  }
}

TEST(InstallLog, TheFileIsUtf8WithItsMarkANewOneEachRunAndBounded) {
  World world;
  world.files.AddFile("C:\\Temp\\Vortel-Setup-20261207-1.log", "an earlier run's");
  {
    core::LogFile log(world.services, "", "Vortel-Setup");
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
  EXPECT_LE(text.size(), core::LogFile::kMaxFileBytes + 100);
  EXPECT_NE(text.find("[the log is full: further lines are left out]\r\noutcome: finished (exit code 0)\r\n"), std::string::npos);
  // Asked for: made anew, in folders made for it, or written on; when it cannot be, in the temporary folder, saying so.
  // clang-format off
  const struct { std::string asked; bool append; std::string path, text; } cases[] = {
      {"C:\\Temp\\Vortel-Setup-20261207-1.log", false, "C:\\Temp\\Vortel-Setup-20261207-1.log", "\xEF\xBB\xBFline\r\n"},
      {"C:\\new\\dir\\x.log", false, "C:\\new\\dir\\x.log", "\xEF\xBB\xBFline\r\n"},
      {"C:\\Temp\\Vortel-Setup-20261207-1.log", true, "C:\\Temp\\Vortel-Setup-20261207-1.log", "\xEF\xBB\xBFline\r\nline\r\n"},
      {"Z:\\no\\x.log", false, "C:\\Temp\\Vortel-Uninstall-20261207-1.log",
       "\xEF\xBB\xBFthe log asked for, Z:\\no\\x.log, cannot be written: it is written here instead\r\nline\r\n"}};
  // clang-format on
  for (const auto& [asked, append, path, expected] : cases) {
    core::LogFile log(world.services, asked, "Vortel-Uninstall", append);
    log.Line("line");
    EXPECT_EQ(log.Path() + ": " + world.files.Read(log.Path()).value_or(""), path + ": " + expected);
  }
  world.faults.Fail("CreateFileForWriting", "", kErrorAccessDenied);
  core::LogFile unwritable(world.services, "", "Vortel-Setup");
  unwritable.Line("goes nowhere");
  EXPECT_EQ(unwritable.Path(), "");
}

}  // namespace
