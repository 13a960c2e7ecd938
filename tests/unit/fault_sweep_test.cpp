// One whole session (start-up scan, dialog, folder picker, a first click refused while AutoCAD
// runs, the install) run once to number every platform call, then once per call with that call
// failing in each way it can, and each copy failure that raises answered each way. Every run
// must close what it opened, end the dialog, show only the program's own kinds of message,
// change no registry value but its own (loader entries, TRUSTEDPATHS, the uninstall entry and
// the per-user step), shorten no TRUSTEDPATHS list, and say that the install finished only when
// the files and loader entries are in place. The uninstall after it is swept the same way: it
// closes what it opens, touches nothing that is not its own, and never loses an original.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "platform/texts.h"
#include "support/world.h"
#include "ui/process_state.h"
#include "ui/setup_dialog.h"
#include "uninstall/uninstall.h"

using namespace platform;
using Dump = std::map<std::string, std::string>;  // every key and value: its type and text

namespace {

const std::string kPackage = "D:\\Downloads\\Vortel\\Data";
const std::string kProfiles = "HKCU\\Software\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Profiles\\";
const char* const kProgramFiles[] = {"Vortel2008.ARX", "Vortel2009.ARX", "Vortel2010.ARX", "Vortel2021.ARX",
                                     "Vortel.prt5", "readme.txt"};
const std::string kCopyFailureBox = "ShowMessageBox " + std::to_string(kMbAbortRetryIgnore);
const std::pair<std::string, std::string> kLists[] = {  // each profile's TRUSTEDPATHS
    {"<<Unnamed Profile>>", "c:\\old;d:\\\x9C\x5C\\lib\\..."}, {"\xC5\xE4\xD6\xC3", ""}, {"Semi", ";"},
    {"Plot", "e:\\tools\\v-trelmox"}, {"Big", std::string(9990, 'x')}, {"Huge", std::string(10001, 'y')}};
struct Installation {
  int year, box;
  std::string key, folder;
};
const Installation kInstallations[] = {
    {2008, 1019, "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\", "C:\\AutoCAD 2008"},
    {2009, 1020, "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.2\\ACAD-7001:804\\", "C:\\A 2009"},
    {2010, 1027, "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\\", "D:\\\x9C\x5C\\AutoCAD 2010"},
    {2010, 1027, "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8004:804\\", "D:\\ACA 2010"},
    {2021, 1037, "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\", "C:\\AutoCAD 2021"}};

std::string Text(const Dump& dump, const std::string& entry) {
  return dump.count(entry) == 0 ? "<none>" : dump.at(entry).substr(dump.at(entry).find(':') + 1);
}
// The program's own entries: its loader entries, the profiles' TRUSTEDPATHS, the uninstall entry
// (the user's, with the keys above it, when HKLM cannot be written) and the per-user step.
bool IsOwnEntry(const std::string& entry) {
  static const std::regex kOwn(
      R"(HKLM\\SOFTWARE\\(Wow6432Node\\)?Autodesk\\AutoCAD\\R[0-9.]+\\ACAD-[0-9]+:804\\Applications\\)"
      R"(Vortel20[0-9][0-9](_32)?\\(:LOADER|:LOADCTRLS)?|HKCU\\Software\\Autodesk\\AutoCAD\\[^\\]+\\[^\\]+\\)"
      R"(Profiles\\[^\\]+\\Variables\\(:TRUSTEDPATHS)?|HKLM\\SOFTWARE\\Microsoft\\(Windows\\CurrentVersion\\Uninstall|)"
      R"(Active Setup\\Installed Components)\\VortelStructureToolbox\\(:.*)?|)"
      R"(HKCU\\Software\\Microsoft\\(Windows\\(CurrentVersion\\(Uninstall\\(VortelStructureToolbox\\(:.*)?)?)?)?)?)");
  return std::regex_match(entry, kOwn);
}
// The entries of a TRUSTEDPATHS list, in capitals, but those naming `folder` and the empty ones.
std::vector<std::string> OtherEntries(const std::string& list, const std::string& folder) {
  std::vector<std::string> entries;
  std::stringstream stream(fakes::Upper(list));
  const std::string own = fakes::Upper(folder);
  for (std::string entry; std::getline(stream, entry, ';');) {
    if (entry.find_first_not_of(" \t") != std::string::npos && entry != own && entry != own + "\\" && entry != own + "\\...") {
      entries.push_back(entry);
    }
  }
  return entries;
}
// The outcomes to plant on a call: each way it can fail, or each answer of a message box.
std::vector<long> OutcomesOf(const std::string& call) {
  static const std::map<std::string, std::vector<long>> kOutcomes = {
      {"OpenKey", {kErrorFileNotFound, kErrorAccessDenied}}, {"OpenKeyEx", {kErrorFileNotFound, kErrorAccessDenied}},
      {"CreateKey", {kErrorAccessDenied}}, {"DeleteKey", {kErrorAccessDenied}}, {"QuerySubKeyCount", {kErrorAccessDenied}},
      {"EnumKey", {kErrorAccessDenied, kErrorMoreData}}, {"QueryValue", {kErrorFileNotFound, kErrorAccessDenied, kErrorMoreData}},
      {"SetValue", {kErrorAccessDenied}}, {"ModuleFileName", {0}}, {"FindFirst", {kErrorPathNotFound, kErrorAccessDenied}},
      {"FindNext", {kErrorAccessDenied}}, {"GetAttributes", {0}}, {"SetAttributes", {kErrorAccessDenied}},
      {"Copy", {kErrorAccessDenied, kErrorSharingViolation}}, {"Delete", {kErrorAccessDenied}},
      {"MakeDirectory", {kErrorAccessDenied, kErrorPathNotFound}}, {"MakeProtectedDirectory", {kErrorAccessDenied}},
      {"FullPathName", {0}}, {"ExecutableNames", {0}}, {"CreateFileForWriting", {kErrorAccessDenied}},
      {"WriteToFile", {kErrorAccessDenied}}, {"ReadWholeFile", {kErrorAccessDenied}}, {"QueryValueCount", {kErrorAccessDenied}},
      {"DeleteValue", {kErrorAccessDenied}}, {"RemoveFolder", {kErrorAccessDenied}}, {"DeleteAtRestart", {kErrorAccessDenied}},
      {"BrowseForFolder", {0}}, {"GetPathFromItem", {0}}, {"ShowMessageBox", {0, kIdOk}}};
  if (call == kCopyFailureBox) return {0, kIdAbort, kIdRetry, kIdIgnore};
  return kOutcomes.at(call.substr(0, call.find(' ')));
}

// A machine with the package in Downloads, five AutoCAD installations, the user's profiles, an
// earlier install in the folder the user picks, and AutoCAD running at first.
class Session : public fakes::World {
 public:
  Session() {
    files.modulePath = "D:\\Downloads\\Vortel\\SetUp.exe";
    for (const char* name : kProgramFiles) files.AddFile(kPackage + "\\" + name, name);
    for (const char* name : {"Vortel_EN.shx", "Vortel_HZ.shx", "SetUp.exe", "docs\\x"}) files.AddFile(kPackage + "\\" + name);
    files.SetAttributes(kPackage + "\\readme.txt", kFileAttributeReadOnly);
    files.AddFile(kPackage + "\\readme.txt:Zone.Identifier");
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
    registry.AddKey("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other");
    registry.AddKey("HKLM\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\Other");
    registry.AddKey(kProfiles + "NoList\\Variables");
    registry.AddKey(kProfiles + "NoVariables");
    processes.running = {"explorer.exe", "acad.exe"};
    desktop.picks = {std::string("E:\\Tools")};
    m_before = registry.Dump();
  }

  // Runs the session with the outcomes planted at the calls given; the problems it left.
  std::vector<std::string> Run(const std::map<int, long>& planted) {
    for (const auto& [call, outcome] : planted) faults.planted.push_back({"", "", outcome, call});
    g_bCheckAcadRunning = true;
    g_strBrowseFolder.clear();
    CAcadInstallInfo info{services};
    info.ScanInstalledReleases();
    Dlg_Setup dialog(info, services);
    dialog.HandleInitDialog(m_window);
    dialog.HandleCommand(1015, kBnClicked);
    for (int click = 0; click < 3 && !m_window.ended; ++click) {  // again after each refusal
      dialog.HandleCommand(1022, kBnClicked);
      processes.running = {"explorer.exe"};  // the user closed AutoCAD
    }
    return Check(info, planted);
  }

  // The uninstall without a window after the install, with the outcomes planted at its calls
  // (numbered from its first); the problems it left.
  std::vector<std::string> Uninstall(const std::map<int, long>& planted) {
    const int first = static_cast<int>(faults.calls.size());
    for (const auto& [call, outcome] : planted) faults.planted.push_back({"", "", outcome, first + call});
    CAcadInstallInfo info{services};
    uninstall::RunSilentUninstall(services, info, log);
    files.Restart();
    std::vector<std::string> problems = CheckRegistry(planted);
    for (const Installation& acad : kInstallations) {
      const std::string driver = acad.folder + "\\Drv\\pdfplot9.hdi";
      if (files.Read(driver) != "AutoCAD's" && files.Read(driver + ".vortel-backup") != "AutoCAD's") {
        problems.push_back("the original is lost: " + driver);
      }
    }
    return problems;
  }
  std::size_t CallCount() const { return faults.calls.size(); }

 private:
  std::vector<std::string> Check(const CAcadInstallInfo& info, const std::map<int, long>& planted) {
    std::vector<std::string> problems = CheckRegistry(planted);
    if (!m_window.ended) problems.push_back("the dialog did not end");
    for (const fakes::ShownBox& box : desktop.boxes) {
      const bool software = box.caption == texts::kSoftwareSetupCaption && (box.type == kMbOk || box.type == kMbAbortRetryIgnore);
      const bool toolbox = box.caption == texts::kToolboxSetupCaption && (box.type & ~kMbIconWarning) == kMbOk;
      if (!software && !toolbox) problems.push_back("a message the program does not show: " + box.text);
    }
    const std::string installed = m_window.items[1000].text + "\\V-Trelmox";
    const std::string closing = desktop.boxes.empty() ? "" : desktop.boxes.back().text;
    const bool ignored = std::any_of(planted.begin(), planted.end(), [&](const auto& call) {
      return faults.calls[call.first] == kCopyFailureBox && call.second == kIdIgnore;
    });
    if (closing.rfind(texts::kInstallFinished, 0) == 0 || closing == texts::kInstallFinishedPartly) {
      for (const char* name : kProgramFiles) {
        if (!ignored && files.Read(installed + "\\" + name) != name) problems.push_back(std::string("finished without ") + name);
      }
    }
    const Dump after = registry.Dump();
    for (const Installation& acad : kInstallations) {
      const auto& found = info.m_arrProductKey[acad.year - 2007];
      const std::string entry = "HKLM\\" + acad.key + "Applications\\Vortel" + std::to_string(acad.year) + "\\:";
      if (closing == texts::kInstallFinished && m_window.items[acad.box].check != 0 &&
          std::find(found.begin(), found.end(), acad.key) != found.end() &&
          (Text(after, entry + "LOADER").rfind(installed + "\\Vortel", 0) != 0 || Text(after, entry + "LOADCTRLS") != "\x02")) {
        problems.push_back("finished, but no loader entry in " + entry);
      }
    }
    return problems;
  }

  // Handles closed, no registry value changed but the program's own, no TRUSTEDPATHS shortened.
  std::vector<std::string> CheckRegistry(const std::map<int, long>& planted) {
    std::vector<std::string> problems;
    if (!AllReleased()) problems.push_back("a handle was left open");
    const Dump after = registry.Dump();
    for (const Dump* dump : {&after, static_cast<const Dump*>(&m_before)}) {
      for (const auto& [entry, value] : *dump) {
        if (Text(m_before, entry) != Text(after, entry) && !IsOwnEntry(entry)) problems.push_back("changed: " + entry);
      }
    }
    const std::string installed = m_window.items[1000].text + "\\V-Trelmox";
    for (const auto& [profile, list] : kLists) {
      const std::string was = Text(m_before, kProfiles + profile + "\\Variables\\:TRUSTEDPATHS");
      const std::string is = Text(after, kProfiles + profile + "\\Variables\\:TRUSTEDPATHS");
      // A planted "not found" on reading a list makes it count as missing.
      const bool declaredMissing = std::any_of(planted.begin(), planted.end(), [&](const auto& call) {
        return call.second == kErrorFileNotFound && faults.calls[call.first].find(profile + "\\Variables") != std::string::npos;
      });
      if (OtherEntries(is, installed) != OtherEntries(fakes::Upper(was), installed) && !(is == installed && declaredMissing)) {
        problems.push_back("TRUSTEDPATHS lost in " + profile);
      }
    }
    return problems;
  }

  Dump m_before;
  fakes::FakeWindow m_window;
};

TEST(FaultSweep, EveryCallOfAWholeInstallFailingLeavesTheMachineSound) {
  Session counting;
  std::vector<std::string> problems = counting.Run({});
  const std::vector<std::string> calls = counting.faults.calls;
  EXPECT_EQ(counting.desktop.boxes.size(), 2u) << "refused once, then finished";
  const auto run = [&](const std::map<int, long>& planted) {
    Session session;
    std::vector<std::string> found = session.Run(planted);
    // Every fault is a one-off and the installation folder exists: Retry brings a copy through.
    const auto& made = session.faults.calls;
    const int last = planted.rbegin()->first;
    if (made[last] == kCopyFailureBox && planted.at(last) == kIdRetry &&
        std::find(made.begin() + last + 1, made.end(), kCopyFailureBox) != made.end()) {
      found.push_back("Retry failed again");
    }
    for (const std::string& what : found) {
      std::string where;
      for (const auto& [call, outcome] : planted) where += made[call] + " -> " + std::to_string(outcome) + "; ";
      problems.push_back(where + what);
    }
    return made;
  };
  for (int call = 0; call < static_cast<int>(calls.size()); ++call) {
    for (const long outcome : OutcomesOf(calls[call])) {
      const std::vector<std::string> made = run({{call, outcome}});
      for (int box = call + 1; box < static_cast<int>(made.size()); ++box) {
        if (made[box] != kCopyFailureBox) continue;
        for (const long answer : OutcomesOf(kCopyFailureBox)) run({{call, outcome}, {box, answer}});
      }
    }
  }
  for (std::size_t n = 0; n < problems.size() && n < 20; ++n) ADD_FAILURE() << problems[n];
  EXPECT_TRUE(problems.empty()) << problems.size() << " problems in a sweep of " << calls.size() << " calls";
}

TEST(FaultSweep, EveryCallOfAnUninstallFailingTouchesNothingButItsOwnAndKeepsEveryOriginal) {
  Session counting;
  counting.Run({});
  const std::size_t first = counting.faults.calls.size();
  std::vector<std::string> problems = counting.Uninstall({});
  const std::vector<std::string> calls(counting.faults.calls.begin() + static_cast<long>(first), counting.faults.calls.end());
  EXPECT_FALSE(counting.files.Exists("E:\\Tools\\V-Trelmox\\Uninstall.dat")) << "uninstalled";
  for (int call = 0; call < static_cast<int>(calls.size()); ++call) {
    for (const long outcome : OutcomesOf(calls[call])) {
      Session session;
      session.Run({});
      for (const std::string& what : session.Uninstall({{call, outcome}})) {
        problems.push_back(calls[call] + " -> " + std::to_string(outcome) + "; " + what);
      }
    }
  }
  for (std::size_t n = 0; n < problems.size() && n < 20; ++n) ADD_FAILURE() << problems[n];
  EXPECT_TRUE(problems.empty()) << problems.size() << " problems in a sweep of " << calls.size() << " calls";
}

}  // namespace
