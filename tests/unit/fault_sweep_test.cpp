// A fault sweep over one whole install: the start-up scan, the dialog, the folder picker and
// the install button, run once to number every platform call, then again once per call with
// that call failing in each way it can fail (and each message box raised by the failure
// answered each way). Every run must leave no handle open, show only the program's own
// messages, change no registry value but the program's own entries and TRUSTEDPATHS, and
// shorten no TRUSTEDPATHS list.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/texts.h"
#include "support/fake_dialog_window.h"
#include "support/fake_services.h"
#include "ui/process_state.h"
#include "ui/resources/resource.h"
#include "ui/setup_dialog.h"

using namespace platform;

namespace {

using Planted = std::map<int, long>;  // call number -> outcome

const std::string kProgram = "D:\\Downloads\\Vortel\\SetUp.exe";
const std::string kPackage = "D:\\Downloads\\Vortel\\Data";
const std::string kPickedFolder = "E:\\Tools";
const std::string kShallow = "\x9C\x5C";  // 淺: its trail byte is a backslash

// The package's files that go into the installation folder.
const char* const kProgramFiles[] = {"Vortel2008.ARX",    "Vortel2009.ARX", "Vortel2010.ARX",
                                     "Vortel2010_32.ARX", "Vortel2021.ARX", "Vortel.prt5",
                                     "readme.txt"};

struct Installation {
  int year;
  int boxId;
  std::string productKey;  // below HKEY_LOCAL_MACHINE, ending in a backslash
  std::string folder;
  std::string productName;
};

const Installation kInstallations[] = {
    {2008, IDC_ACAD2008, "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\",
     "C:\\Program Files\\AutoCAD 2008", "AutoCAD 2008 - \xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4"},
    {2009, IDC_ACAD2009, "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.2\\ACAD-7001:804\\",
     "C:\\Program Files (x86)\\AutoCAD 2009", "AutoCAD 2009"},
    {2010, IDC_ACAD2010, "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\\",
     "D:\\" + kShallow + "\\AutoCAD 2010", "AutoCAD 2010"},
    {2010, IDC_ACAD2010, "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8004:804\\", "D:\\ACA 2010",
     "AutoCAD Architecture 2010"},
    {2021, IDC_ACAD2021, "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\",
     "C:\\Program Files\\Autodesk\\AutoCAD 2021", "AutoCAD 2021"},
};

std::string Variables(const std::string& product, const std::string& profile) {
  return "Software\\Autodesk\\AutoCAD\\" + product + "\\Profiles\\" + profile + "\\Variables";
}

const std::pair<std::string, std::string> kTrustedPaths[] = {
    {Variables("R17.1\\ACAD-6001:804", "<<Unnamed Profile>>"),
     "c:\\old;d:\\" + kShallow + "\\lib\\..."},
    {Variables("R17.1\\ACAD-6001:804", "\xC5\xE4\xD6\xC3"), ""},
    {Variables("R18.0\\ACAD-8001:804", "<<Unnamed Profile>>"), ";"},
    {Variables("R18.0\\ACAD-8001:804", "Plot"), "e:\\tools\\v-trelmox"},
    {Variables("R24.0\\ACAD-4101:804", "Big"), std::string(9990, 'x')},
    {Variables("R24.0\\ACAD-4101:804", "Huge"), std::string(10001, 'y')},
};

// The registry flattened: each key as "<root>\<path>\", each value as "<key>:<name>"
// mapped to its type and bytes.
using RegistryDump = std::map<std::string, std::string>;

void DumpKey(const fakes::FakeRegistry& registry, RegKey root, const std::string& path,
             const std::string& name, RegistryDump& dump) {
  dump[name] = "";
  for (const std::string& value : registry.ValueNames(root, path)) {
    const fakes::RegValue data = *registry.GetValue(root, path, value);
    dump[name + ":" + value] =
        std::to_string(data.type) + ":" + std::string(data.data.begin(), data.data.end());
  }
  for (const std::string& child : registry.SubKeyNames(root, path)) {
    DumpKey(registry, root, path.empty() ? child : path + "\\" + child, name + child + "\\", dump);
  }
}

RegistryDump Dump(const fakes::FakeRegistry& registry) {
  RegistryDump dump;
  DumpKey(registry, kHkeyLocalMachine, "", "HKLM\\", dump);
  DumpKey(registry, kHkeyCurrentUser, "", "HKCU\\", dump);
  return dump;
}

std::string Text(const RegistryDump& dump, const std::string& entry) {
  const auto found = dump.find(entry);
  if (found == dump.end()) return "<none>";
  const std::string bytes = found->second.substr(found->second.find(':') + 1);
  return bytes.substr(0, bytes.find('\0'));
}

// The program's own registry changes: its demand-load entries beneath the product keys, and
// TRUSTEDPATHS (with the Variables key a profile may lack).
bool IsOwnEntry(const std::string& entry) {
  static const std::regex kLoaderEntry(
      R"(Applications\\(Vortel20[0-9]{2}(_32)?\\(:(LOADER|LOADCTRLS))?)?)");
  static const std::regex kTrustedPathsEntry(R"(HKCU\\Software\\Autodesk\\AutoCAD\\[^\\]+\\[^\\]+)"
                                             R"(\\Profiles\\[^\\]+\\Variables\\(:TRUSTEDPATHS)?)",
                                             std::regex::icase);
  for (const Installation& installation : kInstallations) {
    const std::string productKey = "HKLM\\" + installation.productKey;
    if (entry.compare(0, productKey.size(), productKey) == 0 &&
        std::regex_match(entry.substr(productKey.size()), kLoaderEntry)) {
      return true;
    }
  }
  return std::regex_match(entry, kTrustedPathsEntry);
}

std::string Upper(std::string text) {
  ToUpperByCharacters(text, IsCp936LeadByte);
  return text;
}

std::string Describe(const Planted& planted, const std::vector<std::string>& calls) {
  std::string text;
  for (const auto& [number, outcome] : planted) {
    text += "[call " + std::to_string(number) + " " + calls[number] + " -> " +
            std::to_string(outcome) + "] ";
  }
  return text;
}

// How the plan logs a message box that asks to abort, retry or ignore a failed copy.
const std::string kCopyFailureBox = "ShowMessageBox " + std::to_string(kMbAbortRetryIgnore);

// The outcomes to plant on one call: each way it can fail (0 where the call has one way only),
// or for a message box each answer its buttons allow, 0 being a box that could not be shown.
std::vector<long> OutcomesOf(const std::string& call) {
  const std::string method = call.substr(0, call.find(' '));
  if (method == "ShowMessageBox") {
    if (call == kCopyFailureBox) return {0, kIdAbort, kIdRetry, kIdIgnore};
    return {0, kIdOk};
  }
  static const std::map<std::string, std::vector<long>> kFailures = {
      {"OpenKey", {kErrorFileNotFound, kErrorAccessDenied}},
      {"OpenKeyEx", {kErrorFileNotFound, kErrorAccessDenied}},
      {"CreateKey", {kErrorFileNotFound, kErrorAccessDenied}},
      {"DeleteKey", {kErrorFileNotFound, kErrorAccessDenied}},
      {"QuerySubKeyCount", {kErrorFileNotFound, kErrorAccessDenied}},
      {"EnumKey", {kErrorFileNotFound, kErrorAccessDenied, kErrorMoreData}},
      {"QueryValue", {kErrorFileNotFound, kErrorAccessDenied, kErrorMoreData}},
      {"SetValue", {kErrorFileNotFound, kErrorAccessDenied}},
      {"ModuleFileName", {0}},
      {"FindFirst", {kErrorFileNotFound, kErrorPathNotFound, kErrorAccessDenied}},
      {"FindNext", {kErrorAccessDenied}},  // the listing breaks off
      {"GetAttributes", {0}},
      {"SetAttributes", {kErrorAccessDenied}},
      {"Copy", {kErrorFileNotFound, kErrorAccessDenied, kErrorSharingViolation}},
      {"Delete", {kErrorFileNotFound, kErrorAccessDenied}},
      {"MakeDirectory", {kErrorAccessDenied, kErrorPathNotFound}},
      {"ExecutableNames", {0}},
      {"ActiveWindow", {0}},
      {"BrowseForFolder", {0}},
      {"GetPathFromItem", {0}},
  };
  const auto failures = kFailures.find(method);
  return failures == kFailures.end() ? std::vector<long>{} : failures->second;
}

struct RunReport {
  std::vector<std::string> calls;
  std::vector<std::string> boxes;  // the texts of the message boxes shown
  std::vector<std::string> problems;
};

// One machine: an unpacked package in Downloads, AutoCAD 2008, 2009 (32-bit root), two of
// 2010 and 2021 installed with their Fonts and Drv folders, AutoCAD running at first, the
// user's profiles with assorted TRUSTEDPATHS lists, and an earlier install of the add-on.
class SweepRun {
  using ShownBox = fakes::ShownBox;
  using Problem = std::function<void(const std::string&)>;

 public:
  explicit SweepRun(int bits) : m_package{g_nPackageVersion, bits} { Seed(); }

  fakes::FakeServices world;

  // Runs the session with the outcomes planted; `before` is the registry as seeded.
  RunReport Run(const Planted& planted, const RegistryDump& before) {
    m_plan.planted = planted;
    world.registry.faultPlan = world.files.faultPlan = world.processes.faultPlan =
        world.desktop.faultPlan = &m_plan;
    RunSession();

    RunReport report{m_plan.calls, {}, {}};
    for (const fakes::ShownBox& box : world.desktop.shown) report.boxes.push_back(box.text);
    Check(planted, before, report);
    return report;
  }

 private:
  void Seed() {
    world.files.modulePath = kProgram;
    world.files.AddFile(kProgram, "exe");
    for (const char* name : kProgramFiles) world.files.AddFile(kPackage + "\\" + name, name);
    for (const char* name : {"Vortel_EN.shx", "Vortel_HZ.shx", "SetUp.exe"}) {
      world.files.AddFile(kPackage + "\\" + name, name);
    }
    world.files.SetAttributes(kPackage + "\\readme.txt", kFileAttributeReadOnly);
    world.files.AddFile(kPackage + "\\readme.txt:Zone.Identifier");
    world.files.AddFolder(kPackage + "\\docs");
    const std::string library = kPackage + "\\" + texts::kExtensionLibraryFolder;
    world.files.AddFile(library + "\\a.dwg", "a");
    world.files.AddFile(library + "\\b.dwg", "b", kFileAttributeReadOnly);
    world.files.AddFile(kPickedFolder + "\\V-Trelmox\\Vortel2008.ARX", "old",
                        kFileAttributeReadOnly);

    for (const Installation& installation : kInstallations) {
      world.files.AddFolder(installation.folder + "\\Fonts");
      world.files.AddFile(installation.folder + "\\Drv\\pdfplot9.hdi", "AutoCAD's");
      const std::string& product = installation.productKey;
      world.registry.SetString(kHkeyLocalMachine, product, "AcadLocation",
                               installation.folder + "\\");
      world.registry.SetString(kHkeyLocalMachine, product, "ProductName", installation.productName);
      world.registry.SetString(kHkeyLocalMachine, product + "Applications\\Other", "LOADER",
                               "other.arx");
    }
    const std::string oldEntry = kInstallations[0].productKey + "Applications\\Vortel2008";
    world.registry.SetString(kHkeyLocalMachine, oldEntry, "LOADER", "C:\\Old\\Vortel2008.ARX");
    world.registry.SetRaw(kHkeyLocalMachine, oldEntry, "LOADCTRLS", kRegDword, {2, 0, 0, 0});
    world.registry.AddKey(kHkeyLocalMachine, "SOFTWARE\\Autodesk\\AutoCAD\\R19.0\\Empty");

    for (const auto& [key, list] : kTrustedPaths) {
      world.registry.SetString(kHkeyCurrentUser, key, "TRUSTEDPATHS", list, kRegExpandSz);
      world.registry.SetString(kHkeyCurrentUser, key, "ACADPREFIX", "c:\\support");
    }
    world.registry.AddKey(kHkeyCurrentUser, Variables("R24.0\\ACAD-4101:804", "NoList"));
    world.registry.AddKey(
        kHkeyCurrentUser,
        "Software\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\Profiles\\NoVariables");
    world.registry.SetString(kHkeyCurrentUser, "Software\\Other", "Setting", "kept");

    world.processes.running = {"explorer.exe", "acad.exe"};
    world.desktop.pickerAnswers = {fakes::PickedItem{kPickedFolder, true, "Tools"}};
  }

  // Start-up, the folder picker, and the install button until the dialog ends: the first
  // click is refused while AutoCAD runs, and the user closes AutoCAD and clicks again.
  void RunSession() {
    g_bCheckAcadRunning = true;
    g_strBrowseFolder.clear();
    m_info.ScanInstalledReleases();
    m_dialog.emplace(m_info, world.services, m_package);
    m_dialog->HandleInitDialog(m_window);
    m_dialog->HandleCommand(IDC_BROWSE, kBnClicked);
    for (int click = 0; click < 2 && !m_window.endResult; ++click) {
      m_dialog->HandleCommand(IDC_INSTALL, kBnClicked);
      world.processes.running = {"explorer.exe"};
    }
  }

  void Check(const Planted& planted, const RegistryDump& before, RunReport& report) {
    const auto problem = [&](const std::string& text) {
      report.problems.push_back(Describe(planted, report.calls) + text);
    };
    if (world.registry.OpenHandleCount() != 0) problem("a registry key was left open");
    if (world.files.OpenFindCount() != 0) problem("a listing was left open");
    if (!world.desktop.liveItems.empty() || world.desktop.badFrees != 0) {
      problem("a picked item was not freed once");
    }
    if (!m_window.endResult) problem("the dialog did not end");
    for (const ShownBox& box : world.desktop.shown) {
      if (!IsProgramMessage(box)) problem("a message the program does not define: " + box.text);
    }
    const RegistryDump after = Dump(world.registry);
    CheckChanges(before, after, problem);
    CheckTrustedPaths(before, after, DeclaredMissingList(planted, report.calls), problem);
    const std::string closing = world.desktop.shown.empty() ? "" : world.desktop.shown.back().text;
    if (closing == texts::kInstallFinished) CheckLoadersWritten(after, problem);
    const bool ignored = std::any_of(planted.begin(), planted.end(), [&](const auto& call) {
      return report.calls[call.first] == kCopyFailureBox && call.second == kIdIgnore;
    });
    if ((closing == texts::kInstallFinished || closing == texts::kInstallFinishedPartly) &&
        !ignored) {
      CheckProgramFilesCopied(problem);
    }
  }

  // An install that says it finished, with no copy failure ignored, copied every program file.
  void CheckProgramFilesCopied(const Problem& problem) {
    for (const char* name : kProgramFiles) {
      const auto copy = world.files.Contents(InstallFolder() + "\\" + name);
      if (copy != world.files.Contents(kPackage + "\\" + name)) {
        problem(std::string("finished, but not copied: ") + name);
      }
    }
  }

  // The edit box keeps the folder picked (or the default), below which the install goes.
  std::string InstallFolder() { return m_window.Item(IDC_PATH).text + "\\V-Trelmox"; }

  bool IsProgramMessage(const ShownBox& box) {
    const std::string software = texts::kSoftwareSetupCaption,
                      toolbox = texts::kToolboxSetupCaption;
    const auto is = [&](const char* text, const std::string& caption, unsigned type) {
      return box.text == text && box.caption == caption && box.type == type;
    };
    if (is(texts::kCloseAcadFirst, software, kMbOk) ||
        is(texts::kPackageNotFound, software, kMbOk) ||
        is(texts::kChooseInstallPath, software, kMbOk) ||
        is(texts::kInstallPathTooLong, software, kMbOk) ||
        is(texts::kInstallFinished, toolbox, kMbOk) ||
        is(texts::kInstallFinishedPartly, toolbox, kMbOk | kMbIconWarning)) {
      return true;
    }
    // A failed copy names the file it was to make, or the installation folder when the
    // package could not be listed.
    std::vector<std::string> paths = {InstallFolder()};
    for (const std::string& name : world.files.Names(kPackage)) {
      paths.push_back(InstallFolder() + "\\" + name);
    }
    for (const std::string& path : paths) {
      std::string text = texts::kCopyFailedFormat;
      text.replace(text.find("%s"), 2, path);
      if (is(text.c_str(), software, kMbAbortRetryIgnore)) return true;
    }
    return false;
  }

  static void CheckChanges(const RegistryDump& before, const RegistryDump& after,
                           const Problem& problem) {
    std::set<std::string> entries;
    for (const auto& entry : before) entries.insert(entry.first);
    for (const auto& entry : after) entries.insert(entry.first);
    for (const std::string& entry : entries) {
      const auto was = before.find(entry), is = after.find(entry);
      const bool changed = was == before.end() || is == after.end() || was->second != is->second;
      if (changed && !IsOwnEntry(entry)) problem("changed outside the program's entries: " + entry);
    }
  }

  // Each list afterwards is the same, or begins with the list in capitals, or is the
  // installation folder where the list held at most two bytes (or where the failure
  // declared the list missing).
  void CheckTrustedPaths(const RegistryDump& before, const RegistryDump& after,
                         const std::string& declaredMissing, const Problem& problem) {
    const std::string folder = InstallFolder();
    for (const auto& [key, list] : kTrustedPaths) {
      const std::string entry = "HKCU\\" + key + "\\:TRUSTEDPATHS";
      const std::string was = Text(before, entry), is = Text(after, entry);
      const bool kept = is == was || is.rfind(Upper(was), 0) == 0;
      const bool replaced =
          is == folder &&
          (was.size() <= 2 || EqualsIgnoringCase(key, declaredMissing, IsCp936LeadByte));
      if (!kept && !replaced)
        problem("TRUSTEDPATHS lost or shortened in " + key + ": " + is.substr(0, 80));
    }
  }

  // The Variables key of the list that a planted "not found" declared missing, if any: the
  // key itself failed to open, or the list's value failed to read after it opened.
  static std::string DeclaredMissingList(const Planted& planted,
                                         const std::vector<std::string>& calls) {
    for (const auto& [number, outcome] : planted) {
      if (outcome != kErrorFileNotFound) continue;
      const std::string& call = calls[number];
      if (call.rfind("OpenKey ", 0) == 0) return call.substr(8);
      if (call != "QueryValue TRUSTEDPATHS") continue;
      for (int earlier = number - 1; earlier >= 0; --earlier) {
        if (calls[earlier].rfind("OpenKey ", 0) == 0) return calls[earlier].substr(8);
      }
    }
    return "";
  }

  // The plain closing message promises that every ticked installation loads the add-on.
  void CheckLoadersWritten(const RegistryDump& after, const Problem& problem) {
    for (const Installation& installation : kInstallations) {
      const acad::StringList& found = m_info.m_arrProductKey[acad::ReleaseIndex(installation.year)];
      const bool known =
          std::find(found.begin(), found.end(), installation.productKey) != found.end();
      if (!known || m_window.Item(installation.boxId).check != kChecked) continue;
      const std::string entry = "HKLM\\" + installation.productKey + "Applications\\Vortel" +
                                std::to_string(installation.year) + "\\";
      if (Text(after, entry + ":LOADER").rfind(InstallFolder() + "\\Vortel", 0) != 0 ||
          Text(after, entry + ":LOADCTRLS") != "\x02") {
        problem("finished, but no loader entry in " + entry);
      }
    }
  }

  PackageBuild m_package;
  fakes::FaultPlan m_plan;
  CAcadInstallInfo m_info{world.services};
  fakes::FakeDialogWindow m_window;
  std::optional<Dlg_Setup> m_dialog;
};

struct SweepTotals {
  int calls = 0;
  int runs = 0;
  int answerRuns = 0;
  std::set<std::string> modes;
  std::vector<std::string> problems;
};

// A failure mode: the method (for a message box, also its buttons) and the outcome.
std::string ModeName(const std::string& call, long outcome) {
  const std::string kind =
      call.rfind("ShowMessageBox", 0) == 0 ? call : call.substr(0, call.find(' '));
  return kind + " -> " + std::to_string(outcome);
}

void Collect(const RunReport& report, SweepTotals& totals) {
  ++totals.runs;
  totals.problems.insert(totals.problems.end(), report.problems.begin(), report.problems.end());
}

// Counts the calls of a clean install, then fails each in turn in every way it can fail;
// each copy failure that a failure raised is then answered every way too.
SweepTotals Sweep(int bits) {
  SweepTotals totals;
  const RegistryDump before = Dump(SweepRun(bits).world.registry);
  RunReport counted = SweepRun(bits).Run({}, before);
  if (counted.boxes != std::vector<std::string>{texts::kCloseAcadFirst, texts::kInstallFinished}) {
    counted.problems.push_back("the install without failures did not go through");
  }
  totals.calls = static_cast<int>(counted.calls.size());
  Collect(counted, totals);
  for (int number = 0; number < totals.calls; ++number) {
    const std::string& call = counted.calls[number];
    for (const long outcome : OutcomesOf(call)) {
      totals.modes.insert(ModeName(call, outcome));
      const RunReport failed = SweepRun(bits).Run({{number, outcome}}, before);
      Collect(failed, totals);
      for (int box = number + 1; box < static_cast<int>(failed.calls.size()); ++box) {
        if (failed.calls[box] != kCopyFailureBox) continue;
        for (const long answer : OutcomesOf(kCopyFailureBox)) {
          const Planted plan = {{number, outcome}, {box, answer}};
          RunReport answered = SweepRun(bits).Run(plan, before);
          // Every failure planted is a one-off and the installation folder exists, so Retry
          // brings the copy through.
          const auto asked = answered.calls.begin() + box + 1;
          const bool askedAgain =
              std::find(asked, answered.calls.end(), kCopyFailureBox) != answered.calls.end();
          if (answer == kIdRetry && askedAgain) {
            answered.problems.push_back(Describe(plan, answered.calls) + "Retry failed again");
          }
          Collect(answered, totals);
          totals.modes.insert(ModeName(kCopyFailureBox, answer));
          ++totals.answerRuns;
        }
      }
    }
  }
  return totals;
}

void ReportSweep(const SweepTotals& totals, const char* package) {
  std::cout << "fault sweep (" << package << "): " << totals.calls << " calls counted, "
            << totals.runs << " runs (" << totals.answerRuns
            << " of them answering a copy failure raised by a failure), " << totals.modes.size()
            << " failure modes tried\n";
  ::testing::Test::RecordProperty("calls", totals.calls);
  ::testing::Test::RecordProperty("runs", totals.runs);
  ::testing::Test::RecordProperty("failure_modes", static_cast<int>(totals.modes.size()));
  for (std::size_t n = 0; n < totals.problems.size() && n < 20; ++n)
    ADD_FAILURE() << totals.problems[n];
  EXPECT_EQ(totals.problems.size(), 0u);
}

TEST(FaultSweep, EveryCallOfAWholeInstallFailingLeavesTheMachineSound) {
  ReportSweep(Sweep(32), "32-bit package");
}

TEST(FaultSweep, EveryCallOfAWholeInstallOfThe64BitPackageFailingLeavesTheMachineSound) {
  ReportSweep(Sweep(64), "64-bit package");
}

}  // namespace
