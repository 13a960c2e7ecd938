// A whole session through the dialog (scan, picker, a click refused while AutoCAD runs, the install) and its uninstall, run
// once per platform call with that call failing each way it can: each run must close what it opened, touch no registry value
// but its own, shorten no TRUSTEDPATHS list, lose no original, and say "finished" only with its files, entries and lists in place.
#include <gtest/gtest.h>

#include <fnmatch.h>
#include <set>
#include <sstream>

#include "core/endings.h"
#include "platform/texts.h"
#include "support/world.h"
#include "ui/process_state.h"
#include "ui/resources/resource.h"
#include "ui/setup_dialog.h"
#include "uninstall/uninstall.h"

using namespace platform;
using namespace std::string_literals;
using Dump = std::map<std::string, std::string>;  // every key and value: its type and text
using Problems = std::vector<std::string>;

namespace {

const std::string kPackage = "D:\\Downloads\\Vortel\\Data", kMicrosoft = "HKLM\\SOFTWARE\\Microsoft\\";
const std::string kProfiles = "HKCU\\Software\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Profiles\\";
const std::string kOtherRelease = "HKCU\\Software\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\Profiles\\P\\";
const char* const kProgramFiles[] = {"Vortel2008.ARX", "Vortel2009.ARX", "Vortel2010.ARX", "Vortel2021.ARX", "Vortel.prt5", "readme.txt"};
const std::string kCopyFailureBox = "ShowMessageBox " + std::to_string(kMbAbortRetryIgnore);
// clang-format off
const std::pair<std::string, std::string> kLists[] = {  // each profile's TRUSTEDPATHS
    {"<<Unnamed Profile>>", "c:\\old;d:\\\x9C\x5C\\lib\\..."}, {"\xC5\xE4\xD6\xC3", ""}, {"Semi", ";"},
    {"Plot", "e:\\tools\\v-trelmox"}, {"Big", std::string(9990, 'x')}, {"Huge", std::string(10001, 'y')}};
// clang-format on
const struct Installation {
  int year, box;
  std::string key, folder;
} kInstallations[] = {{2008, IDC_ACAD2008, "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\", "C:\\AutoCAD 2008"},
                      {2009, IDC_ACAD2009, "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.2\\ACAD-7001:804\\", "C:\\A 2009"},
                      {2010, IDC_ACAD2010, "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\\", "D:\\\x9C\x5C\\AutoCAD 2010"},
                      {2010, IDC_ACAD2010, "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8004:804\\", "D:\\ACA 2010"},
                      {2021, IDC_ACAD2021, "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\", "C:\\AutoCAD 2021"}};

bool SaysPartly(const std::string& text) { return text.rfind(texts::kInstallFinishedWithErrors, 0) == 0; }
bool SaysFinished(const std::string& text) { return text.rfind(texts::kInstallFinished, 0) == 0 || SaysPartly(text); }
std::string Text(const Dump& dump, const std::string& entry) {
  return dump.count(entry) == 0 ? "<none>" : dump.at(entry).substr(dump.at(entry).find(':') + 1);
}
// Its loader entries, TRUSTEDPATHS, the uninstall entry (the user's, keys and all, without HKLM) and the per-user step.
bool IsOwnEntry(const std::string& entry) {
  // clang-format off
  static const char* const kOwn[] = {
      R"(HKLM\SOFTWARE\*Autodesk\AutoCAD\R*\ACAD-*:804\Applications\Vortel20[0-9][0-9]\*)",
      R"(HKLM\SOFTWARE\*Autodesk\AutoCAD\R*\ACAD-*:804\Applications\Vortel20[0-9][0-9]_32\*)",
      R"(HKCU\Software\Autodesk\AutoCAD\*\Profiles\*\Variables\)",
      R"(HKCU\Software\Autodesk\AutoCAD\*\Profiles\*\Variables\:TRUSTEDPATHS)",
      R"(HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\VortelStructureToolbox\*)",
      R"(HKLM\SOFTWARE\Microsoft\Active Setup\Installed Components\VortelStructureToolbox\*)",
      R"(HKCU\Software\Microsoft\)", R"(HKCU\Software\Microsoft\Windows\)", R"(HKCU\Software\Microsoft\Windows\CurrentVersion\)",
      R"(HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\)",
      R"(HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VortelStructureToolbox\*)"};
  // clang-format on
  return std::any_of(std::begin(kOwn), std::end(kOwn),
                     [&](const char* pattern) { return fnmatch(pattern, entry.c_str(), FNM_NOESCAPE) == 0; });
}
// The entries of a TRUSTEDPATHS list, in capitals, but the blank ones and those naming `folder`.
fakes::Names OtherEntries(const std::string& list, const std::string& folder) {
  fakes::Names entries;
  std::stringstream stream(fakes::Upper(list));
  const std::set<std::string> own = {fakes::Upper(folder), fakes::Upper(folder) + "\\", fakes::Upper(folder) + "\\..."};
  for (std::string entry; std::getline(stream, entry, ';');) {
    if (entry.find_first_not_of(" \t") != std::string::npos && own.count(entry) == 0) entries.push_back(entry);
  }
  return entries;
}
// The outcomes to plant on a call: each way it can fail (access denied unless listed), or each answer of a message box.
std::vector<long> OutcomesOf(const std::string& call) {
  // clang-format off
  static const std::map<std::string, std::vector<long>> kListed = {
      {"OpenKey", {kErrorFileNotFound, kErrorAccessDenied}}, {"OpenKeyEx", {kErrorFileNotFound, kErrorAccessDenied}},
      {"EnumKey", {kErrorAccessDenied, kErrorMoreData}}, {"QueryValue", {kErrorFileNotFound, kErrorAccessDenied, kErrorMoreData}},
      {"FindFirst", {kErrorPathNotFound, kErrorAccessDenied}}, {"Copy", {kErrorAccessDenied, kErrorSharingViolation}},
      {"Delete", {kErrorAccessDenied, kErrorSharingViolation}}, {"MakeDirectory", {kErrorAccessDenied, kErrorPathNotFound}},
      {"ShowMessageBox", {0, kIdOk}}, {"ModuleFileName", {0}}, {"GetAttributes", {0}}, {"FullPathName", {0}},
      {"ExecutableNames", {0}}, {"BrowseForFolder", {0}}, {"GetPathFromItem", {0}}};
  // clang-format on
  if (call == kCopyFailureBox) return {0, kIdAbort, kIdRetry, kIdIgnore};
  const auto listed = kListed.find(call.substr(0, call.find(' ')));
  return listed != kListed.end() ? listed->second : std::vector<long>{kErrorAccessDenied};
}

// The package in Downloads, five AutoCAD installations, the user's profiles, an earlier install where the user picks, AutoCAD running.
class Session : public fakes::World {
 public:
  Session() {
    files.modulePath = "D:\\Downloads\\Vortel\\SetUp.exe";
    files.AddFile(files.modulePath, "the program");
    for (const char* name : kProgramFiles) files.AddFile(kPackage + "\\" + name, name);
    for (const char* name : {"Vortel_EN.shx", "Vortel_HZ.shx", "SetUp.exe", "docs\\x", "readme.txt:Zone.Identifier"}) {
      files.AddFile(kPackage + "\\" + name);
    }
    files.SetAttributes(kPackage + "\\readme.txt", kFileAttributeReadOnly);
    files.AddFile(kPackage + "\\" + texts::kExtensionLibraryFolder + "\\a.dwg", "a", kFileAttributeReadOnly);
    files.AddFile("E:\\Tools\\V-Trelmox\\Vortel2008.ARX", "old", kFileAttributeReadOnly);
    for (const Installation& acad : kInstallations) {
      files.AddFile(acad.folder + "\\Drv\\pdfplot9.hdi", "AutoCAD's");
      files.AddFolder(acad.folder + "\\Fonts");
      registry.Set("HKLM\\" + acad.key, "AcadLocation", acad.folder + "\\");
      registry.Set("HKLM\\" + acad.key, "ProductName", "AutoCAD " + std::to_string(acad.year));
      registry.Set("HKLM\\" + acad.key + "Applications\\Other", "LOADER", "other.arx");
    }
    registry.Set("HKLM\\" + kInstallations[0].key + "Applications\\Vortel2008", "LOADER", "C:\\Old\\x.ARX");
    for (const auto& [profile, list] : kLists) {
      registry.Set(kProfiles + profile + "\\Variables", "TRUSTEDPATHS", list, kRegExpandSz);
      registry.Set(kProfiles + profile + "\\Variables", "ACADPREFIX", "c:\\support");
    }
    for (const char* key : {"Windows\\CurrentVersion\\Uninstall", "Active Setup\\Installed Components"}) {
      registry.AddKey(kMicrosoft + key + "\\Other");
    }
    for (const char* key : {"NoList\\Variables", "NoVariables"}) registry.AddKey(kProfiles + key);
    registry.AddKey("HKCU\\Software\\Autodesk\\AutoCAD\\R25.0\\NoProfiles");
    registry.Set(kOtherRelease + "Variables", "TRUSTEDPATHS", "f:\\blocks");
    registry.Set("HKLM\\" + kInstallations[0].key + "Profiles\\P\\Variables", "TRUSTEDPATHS", "c:\\machine's");
    processes.running = {"explorer.exe", "acad.exe"};
    desktop.picks = {std::string("E:\\Tools")};
    m_before = registry.Dump();
    m_filesBefore = files.Dump();
  }

  // The install through the dialog, then the uninstall without a window, with the outcomes planted; the problems left. An
  // install killed at call `kill` leaves no entry naming a missing file, and the uninstall removes every effect it made.
  Problems Run(const std::map<int, long>& planted, int kill = -1) {
    for (const auto& [call, outcome] : planted) faults.planted.push_back({"", "", outcome, call});
    g_bCheckAcadRunning = g_checkAcadAtStart;
    g_strBrowseFolder.clear();
    CAcadInstallInfo info{services};
    Dlg_Setup dialog(info, services);
    faults.killAt = kill;
    try {
      info.ScanInstalledReleases();
      dialog.HandleInitDialog(m_window);
      dialog.HandleCommand(IDC_BROWSE, kBnClicked);
      for (int click = 0; click < 3 && !m_window.ended; ++click) {  // again after each refusal
        dialog.HandleCommand(IDC_INSTALL, kBnClicked);
        processes.running = {"explorer.exe"};  // the user closed AutoCAD
      }
    } catch (const fakes::Killed&) {
      faults.dead = false;
    }
    faults.killAt = -1;
    installCalls = static_cast<int>(faults.calls.size());
    Problems problems = kill < 0 ? CheckInstall(info, core::ExitCodeOf(dialog.Ending()), planted) : AfterKill();
    CAcadInstallInfo installed{services};
    platform::NoProgressBar bar;
    core::RunChoices choices;
    if (kill >= 0) choices.folder = "E:\\Tools";  // what the administrator gives when no entry is left
    const core::Ending removed = uninstall::RunSilentUninstall({services, installed, bar, log, choices, ""});
    if (kill >= 0 && core::ExitCodeOf(removed) != 0) problems.push_back("the uninstall after a killed run did not finish");
    const Dump left = registry.Dump();
    for (auto key = left.begin(); kill >= 0 && key != left.end(); ++key) {  // each key and list is journalled before it is made
      const bool empty = key->first.back() == '\\' && (std::next(key) == left.end() || std::next(key)->first.rfind(key->first, 0) != 0);
      if ((empty || key->first.back() != '\\') && !m_before.count(key->first)) problems.push_back("left after a killed run: " + key->first);
    }
    // A finished uninstall leaves nothing naming the folder (as far as its journal could tell where it was).
    if (removed == core::Ending::Finished) {
      const std::string folder = m_window.items[IDC_PATH].text + "\\V-Trelmox";
      for (const auto& [entry, value] : registry.Dump()) {
        if (fakes::Upper(value).find(fakes::Upper(folder)) != std::string::npos &&
            !FailedOn(planted, entry.substr(0, entry.find("\\:")), true) && !FailedOn(planted, folder + "\\Uninstall.dat")) {
          problems.push_back("the uninstall finished, but " + entry + " names the folder");
        }
      }
    }
    files.Restart();
    for (const std::string& problem : CheckRegistry(planted, registry.Dump())) problems.push_back("after the uninstall, " + problem);
    for (const std::string& problem : CheckFiles(kill >= 0)) problems.push_back("after the uninstall, " + problem);
    for (const Installation& acad : kInstallations) {
      const std::string driver = acad.folder + "\\Drv\\pdfplot9.hdi";
      const bool kept = files.Read(driver) == "AutoCAD's" || files.Read(driver + ".vortel-backup") == "AutoCAD's";
      if (!kept) problems.push_back("the original is lost: " + driver);
    }
    return problems;
  }
  int installCalls = 0;

 private:
  // After a killed install: no entry names a missing file.
  Problems AfterKill() {
    const Dump now = registry.Dump();
    Problems problems = CheckRegistry({}, now);
    for (const auto& [entry, value] : now) {
      const bool ours = entry.size() > 7 && entry.substr(entry.size() - 7) == ":LOADER" && Text(now, entry).rfind(R"(E:\Tools\)", 0) == 0;
      if (ours && !files.Exists(Text(now, entry))) problems.push_back("killed, with a loader entry naming a missing file: " + entry);
    }
    m_window.items[IDC_PATH].text = "E:\\Tools";
    processes.running = {"explorer.exe"};
    return problems;
  }
  std::string Call(int number) const { return number < static_cast<int>(faults.calls.size()) ? faults.calls[number] : ""; }  // yet made
  // Whether a call planted to fail (with "not found", which makes a key or list count as missing) names `path` or its parent.
  bool FailedOn(const std::map<int, long>& planted, const std::string& path, bool lying = false) const {
    return std::any_of(planted.begin(), planted.end(), [&](const auto& call) {
      const std::string named = fakes::Upper(Call(call.first).substr(Call(call.first).find(' ') + 1)), upper = fakes::Upper(path);
      return (!lying || call.second == kErrorFileNotFound || call.second == kErrorMoreData) && !named.empty() &&
             (upper.rfind(named, 0) == 0 || named.rfind(upper, 0) == 0);
    });
  }
  // The dialog ended with the exit code its last message says, each message of the program's kinds and owned by the dialog,
  // and "finished" only with the files, loader entries and trusted paths in place (and nothing registered otherwise).
  Problems CheckInstall(const CAcadInstallInfo& info, int code, const std::map<int, long>& planted) {
    const Dump after = registry.Dump();
    Problems problems = CheckRegistry(planted, after);
    if (!m_window.ended) problems.push_back("the dialog did not end");
    const std::string format = texts::kCopyFailedFormat, copyFailed = format.substr(0, format.find("%s"));  // before the path
    for (const fakes::ShownBox& box : desktop.boxes) {
      const unsigned type = SaysPartly(box.text)                 ? kMbOk | kMbIconWarning
                            : box.text.rfind(copyFailed, 0) == 0 ? kMbAbortRetryIgnore
                                                                 : kMbOk;
      if (box.caption != (SaysFinished(box.text) ? texts::kToolboxSetupCaption : texts::kSoftwareSetupCaption) || box.type != type ||
          box.owner != m_window.Handle()) {
        problems.push_back("a message of another kind: " + box.text);
      }
    }
    bool ignored = false;
    for (const auto& [call, answer] : planted) {  // every fault is a one-off: Retry brings a copy through
      if (Call(call) != kCopyFailureBox) continue;
      ignored = ignored || answer == kIdIgnore;
      if (answer == kIdRetry && std::count(faults.calls.begin() + call + 1, faults.calls.end(), kCopyFailureBox) != 0) {
        problems.push_back("Retry failed again");
      }
    }
    const std::string installed = m_window.items[IDC_PATH].text + "\\V-Trelmox";
    const std::string closing = desktop.boxes.empty() ? "" : desktop.boxes.back().text;
    const bool finished = SaysFinished(closing);
    const int said = SaysPartly(closing) ? 9 : finished ? 0 : closing == texts::kPackageNotFound ? 4 : 5;
    if (m_window.ended && code != said) problems.push_back("exit code " + std::to_string(code) + " after: " + closing);
    for (const char* name : kProgramFiles) {
      if (finished && !ignored && files.Read(installed + "\\" + name) != name) problems.push_back("finished without "s + name);
    }
    fakes::Names profiles = {kProfiles + "NoList\\", kProfiles + "NoVariables\\", kOtherRelease};
    for (const auto& [profile, list] : kLists) profiles.push_back(kProfiles + profile + "\\");
    // Every list the install could read and write names the folder (a key is made only once its journal line is written).
    for (const std::string& profile : profiles) {
      const std::string list = profile + "Variables\\:TRUSTEDPATHS";
      const bool unjournalled = !m_before.count(profile + "Variables\\") && FailedOn(planted, installed + "\\Uninstall.dat");
      if (finished && !FailedOn(planted, profile) && !unjournalled && Text(m_before, list).size() <= 10000 &&
          fakes::Upper(Text(after, list)).find(fakes::Upper(installed)) == std::string::npos) {
        problems.push_back("finished, but not trusted in " + profile);
      }
    }
    for (const Installation& acad : kInstallations) {
      const auto& found = info.m_arrProductKey[acad.year - 2007];
      const std::string entry = "HKLM\\" + acad.key + "Applications\\Vortel" + std::to_string(acad.year) + "\\:";
      const bool registered =
          Text(after, entry + "LOADER").rfind(installed + "\\Vortel", 0) == 0 && Text(after, entry + "LOADCTRLS") == "\x02";
      if (!finished && registered) problems.push_back("not finished, but registered in " + entry);
      if (closing == texts::kInstallFinished && m_window.items[acad.box].check != 0 &&
          std::find(found.begin(), found.end(), acad.key) != found.end() && !registered) {
        problems.push_back("finished, but no loader entry in " + entry);
      }
    }
    return problems;
  }

  // Every file there was before the install as it was (but those the install writes over in its own folder, and the
  // drivers, which have their own check).
  Problems CheckFiles(bool nothingLeft) {
    Problems problems;
    std::stringstream before(m_filesBefore), after(files.Dump());
    for (std::string line; std::getline(before, line);) {
      const bool own = line.rfind("E:\\Tools\\V-Trelmox\\", 0) == 0 || line.find("pdfplot9.hdi") != std::string::npos;
      if (!own && after.str().find(line + "\n") == std::string::npos) problems.push_back("changed: " + line);
    }
    // Nothing left but the fonts and the installation folder kept, empty, for other users.
    for (std::string line; nothingLeft && std::getline(after, line);) {
      const bool kept = line.find("\\Fonts\\Vortel_") != std::string::npos || line.find("pdfplot9.hdi") != std::string::npos ||
                        line == "E:\\Tools\\V-Trelmox\\";
      if (!kept && m_filesBefore.find(line + "\n") == std::string::npos) problems.push_back("left: " + line);
    }
    return problems;
  }

  // Handles closed, no registry value changed but the program's own, no TRUSTEDPATHS shortened, and an uninstall entry
  // only where its folder holds the journal and the maintenance copy.
  Problems CheckRegistry(const std::map<int, long>& planted, const Dump& after) {
    Problems problems;
    if (!AllReleased()) problems.push_back("a handle was left open");
    for (const char* root : {"HKLM\\", "HKCU\\"}) {
      const std::string key = root + std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VortelStructureToolbox");
      const std::string entry = Text(after, key + "\\:InstallLocation");
      if (entry != "<none>" && !FailedOn(planted, key, true) &&
          (!files.Exists(entry + "\\Uninstall.exe") || !files.Exists(entry + "\\Uninstall.dat"))) {
        problems.push_back("an entry names a folder without its maintenance copy: " + entry);
      }
    }
    for (const Dump* dump : {&after, static_cast<const Dump*>(&m_before)}) {
      for (const auto& [entry, value] : *dump) {
        if (Text(m_before, entry) != Text(after, entry) && !IsOwnEntry(entry) && !FailedOn(planted, entry, true)) {
          problems.push_back("changed: " + entry);
        }
      }
    }
    const std::string installed = m_window.items[IDC_PATH].text + "\\V-Trelmox";
    for (const auto& [profile, list] : kLists) {
      const std::string was = Text(m_before, kProfiles + profile + "\\Variables\\:TRUSTEDPATHS");
      const std::string is = Text(after, kProfiles + profile + "\\Variables\\:TRUSTEDPATHS");
      if (OtherEntries(is, installed) != OtherEntries(was, installed) && !FailedOn(planted, kProfiles + profile + "\\Variables", true)) {
        problems.push_back("TRUSTEDPATHS lost in " + profile);
      }
    }
    return problems;
  }

  Dump m_before;
  std::string m_filesBefore;
  fakes::FakeWindow m_window;
};

TEST(FaultSweep, EveryCallOfAnInstallAndItsUninstallFailingLeavesTheMachineSound) {
  Session counting;
  EXPECT_EQ(counting.Run({}), Problems{});
  EXPECT_EQ(counting.desktop.boxes.size(), 2u) << "refused once, then finished";
  EXPECT_FALSE(counting.files.Exists("E:\\Tools\\V-Trelmox\\Uninstall.dat")) << "uninstalled";
  // Each call failing each way it can, and each copy failure's box then answered each way.
  const fakes::Names& calls = counting.faults.calls;
  Problems problems;
  const auto once = [&](const std::map<int, long>& planted) {
    Session session;
    const Problems found = session.Run(planted);
    std::string where;  // the calls failed and how
    for (const auto& [call, outcome] : planted) where += session.faults.calls[call] + " -> " + std::to_string(outcome) + "; ";
    for (const std::string& problem : found) problems.push_back(where + problem);
    return session.faults.calls;
  };
  for (int call = 0; call < static_cast<int>(calls.size()); ++call) {
    for (const long outcome : OutcomesOf(calls[call])) {
      const fakes::Names made = once({{call, outcome}});
      for (int box = call + 1; box < static_cast<int>(made.size()); ++box) {
        if (made[box] == kCopyFailureBox)
          for (const long answer : OutcomesOf(kCopyFailureBox)) once({{call, outcome}, {box, answer}});
      }
    }
  }
  // The install killed at each of its calls (a line being written cut short).
  for (int call = 0; call < counting.installCalls; ++call) {
    Session session;
    for (const std::string& problem : session.Run({}, call)) problems.push_back("killed at " + calls[call] + ": " + problem);
  }
  for (std::size_t n = 0; n < problems.size() && n < 20; ++n) ADD_FAILURE() << problems[n];
  EXPECT_TRUE(problems.empty()) << problems.size() << " problems in a sweep of " << calls.size() << " calls";
}

}  // namespace
