// The setup dialog on an in-memory window: its start, the install button, the folder picker, the install.
#include <gtest/gtest.h>

#include "core/endings.h"
#include "platform/texts.h"
#include "support/machine.h"
#include "ui/process_state.h"
#include "ui/resources/resource.h"
#include "ui/setup_dialog.h"

using namespace platform;
using fakes::Names;
using Sent = std::array<std::intptr_t, 3>;

namespace {

// The release boxes, 2007 first.
// clang-format off
constexpr int kBoxIds[] = {IDC_ACAD2007, IDC_ACAD2008, IDC_ACAD2009, IDC_ACAD2010, IDC_ACAD2011, IDC_ACAD2012, IDC_ACAD2013,
                           IDC_ACAD2014, IDC_ACAD2015, IDC_ACAD2016, IDC_ACAD2017, IDC_ACAD2018, IDC_ACAD2019, IDC_ACAD2020,
                           IDC_ACAD2021, IDC_ACAD2022, IDC_ACAD2023, IDC_ACAD2024, IDC_ACAD2025, IDC_ACAD2026, IDC_ACAD2027};
// clang-format on
constexpr int kPath = IDC_PATH, kTitle = IDC_TITLE, kBar = IDC_PROGRESS, kBrowse = IDC_BROWSE, kBits = IDC_BITS, kInstall = IDC_INSTALL;
const std::string kSoftwareName = "\xBD\xE1\xB9\xB9\xB9\xA4\xBE\xDF\xCF\xE4\xC8\xED\xBC\xFE";

class SetupDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bCheckAcadRunning = true;
    g_strBrowseFolder.clear();
  }
  // An installation of `year` as the start-up scan records it.
  void Found(int year, const std::string& folder = "C:\\AutoCAD", const std::string& key = "") {
    info.m_arrAcadLocation[year - 2007].push_back(folder);
    info.m_arrProductKey[year - 2007].push_back(key);
  }
  void Open(PackageBuild package = {}, const core::RunChoices& start = {}) {
    window = fakes::FakeWindow{};
    world.desktop.boxes.clear();
    dialog.emplace(info, world.services, package, start);
    EXPECT_TRUE(dialog->HandleInitDialog(window)) << "the first control takes the focus";
  }
  void Click(int id, bool toggles = false) {
    if (toggles) window.items[id].check ^= 1;
    dialog->HandleCommand(id, kBnClicked);
  }
  // Each release's box as enabled (E), disabled (d) or hidden (-), with its tick (1 or 0).
  std::string Boxes() {
    std::string states;
    for (const int id : kBoxIds) {
      const auto& box = window.items[id];
      states += (!box.visible ? "-" : box.enabled ? "E" : "d") + std::to_string(box.check);
    }
    return states;
  }

  fakes::Machine world;
  CAcadInstallInfo info{world.services};
  fakes::FakeWindow window;
  std::optional<Dlg_Setup> dialog;
};
using InstallButton = SetupDialog;

TEST_F(SetupDialog, StartsWithTheFoundReleasesTickedAndAt32BitsNoneFrom2017On) {
  // clang-format off
  const struct { std::vector<int> found; int version, bits; std::string title, boxes; } cases[] = {
               {{2017, 2020, 2027}, 20301110, 32, " V2030.11.10", "d0d0d0d0d0d0d0d0d0d0-0-0-0-0-0-0-0-0-0-0-0"},
               {{2008, 2010, 2012, 2016, 2019}, 20261009, 32, " V2026.10.09", "d0E1d0E1d0E1d0d0d0E1-0-0-0-0-0-0-0-0-0-0-0"},
               {{2008, 2010, 2012, 2016, 2019}, 20270110, 64, " V2027.01.10", "d0E1d0E1d0E1d0d0d0E1d0d0E1d0d0d0d0d0d0d0d0"}};
  // clang-format on
  for (const auto& [found, version, bits, title, boxes] : cases) {
    for (auto& folders : info.m_arrAcadLocation) folders.clear();
    for (int year : found) Found(year);
    Open(PackageBuild{version, bits});
    EXPECT_EQ(Boxes(), boxes);
    EXPECT_EQ(window.items[kInstall].enabled, boxes.find('1') != std::string::npos) << boxes;
    EXPECT_EQ(window.items[kBits].text, "( " + std::to_string(bits) + "\xCE\xBB AutoCAD\xB0\xE6 )");
    EXPECT_EQ(window.items[kTitle].text, kSoftwareName + title);
    EXPECT_EQ(window.items[kPath].text, "C:\\Vortel");
  }
  Click(kIdCancel);
  EXPECT_EQ(window.ended, kIdCancel);
  EXPECT_EQ(dialog->Ending(), core::Ending::Cancelled);
  // The command line's releases replace the ticks: of those offered, they alone are ticked.
  Found(2013);
  core::RunChoices start;
  start.folder = "E:\\Given";
  start.releases = std::vector<int>{2013, 2017, 2020};
  Open({}, start);
  EXPECT_EQ(window.items[kPath].text, "E:\\Given");
  EXPECT_EQ(Boxes(), "d0E0d0E0d0E0E1d0d0E0-0-0-0-0-0-0-0-0-0-0-0");
  // The install button is enabled while any release is ticked (2013 here, then 2008).
  for (const auto& [id, enabled] : {std::pair{1019, true}, {1019, true}, {1029, false}}) {
    Click(id, true);
    EXPECT_EQ(window.items[kInstall].enabled, enabled) << id;
  }
}

TEST_F(SetupDialog, BrowseTakesTheFolderPickedAndOpensOnTheLastFolderTypedOrPicked) {
  Found(2016);
  Open();
  // Typed in the edit box, picked (none: cancelled), the folder the picker opened on, the folder after.
  // clang-format off
  const struct { std::string typed; std::optional<std::string> pick; std::string openedOn, after; } browses[] = {
      {"E:\\Typed", std::nullopt, "E:\\Typed", "E:\\Typed"},
      {"", "", "E:\\Typed", ""},  // an item that is no folder changes nothing
      {"G:\\Other", "F:\\Tools\\Vortel", "G:\\Other", "F:\\Tools\\Vortel"},
      {"", "D:\\", "F:\\Tools\\Vortel", "D:\\"}};  // a drive root keeps its backslash
  // clang-format on
  for (const auto& [typed, pick, openedOn, after] : browses) {
    window.items[kPath].text = typed;
    world.desktop.picks.push_back(pick);
    Click(kBrowse);
    EXPECT_TRUE(world.AllReleased()) << "every item freed once";
    const fakes::ShownPicker& picker = world.desktop.pickers.back();
    EXPECT_EQ(picker.selected + " -> " + window.items[kPath].text, openedOn + " -> " + after);
    EXPECT_EQ(picker.info.owner, window.Handle());
  }
}

// A folder typed is made absolute with every missing level, the installation folder with an access list of its own unless
// it existed; an unusable folder, and the first click while AutoCAD runs, are refused. AutoCAD 2017 is hidden at 32 bits.
TEST_F(InstallButton, TheFolderTypedIsMadeAbsoluteOrRefusedAndAutoCadRunningIsRefusedOnlyOnce) {
  world.files.AddFolder("C:\\Old\\V-Trelmox");
  Found(2008, "C:\\A2008", fakes::kProduct2008 + "\\");
  Found(2017, "C:\\A2017", "SOFTWARE\\A2017\\");
  world.processes.running = {"explorer.exe", "ACAD.EXE"};
  world.faults.Fail("FullPathName", "C:\\Unresolved", 0);
  const std::string longest = "C:\\" + std::string(227, 'x');  // 240 bytes with "\V-Trelmox"
  // clang-format off
  const struct { std::string typed; const char* refusal; std::string installed = ""; } cases[] = {
      {"C:\\Vortel", texts::kCloseAcadFirst}, {"", texts::kChooseInstallPath}, {"C:\\Unresolved", texts::kChooseInstallPath},
      {longest + "x", texts::kInstallPathTooLong}, {std::string(253, 'r'), texts::kInstallPathTooLong},  // 260 once absolute
      {"Q:\\Tools", texts::kDriveMissing}, {longest, nullptr, longest + "\\V-Trelmox"},  // AutoCAD still running
      {"D:\\", nullptr, "D:\\V-Trelmox"}, {"tools\\cad", nullptr, "D:\\pkg\\tools\\cad\\V-Trelmox"},
      {"E:\\" + fakes::kShallow, nullptr, "E:\\" + fakes::kShallow + "\\V-Trelmox"},  // its trail byte is '\'
      {"C:\\A\\B\\C", nullptr, "C:\\A\\B\\C\\V-Trelmox"}, {"C:\\Old", nullptr, "C:\\Old\\V-Trelmox"}};
  // clang-format on
  for (const auto& [typed, refusal, installed] : cases) {
    Open();
    window.items[kPath].text = typed;
    Click(kInstall);
    EXPECT_TRUE(world.AllReleased());
    ASSERT_EQ(world.BoxTexts(), Names{refusal ? refusal : texts::kInstallFinished}) << typed;
    EXPECT_EQ(window.ended, refusal ? std::nullopt : std::optional(kIdOk)) << typed;
    EXPECT_EQ(world.registry.Text(fakes::kLoader, "LOADER"), refusal ? "" : installed + "\\Vortel2008.ARX");
    EXPECT_EQ(world.files.protectedFolders.count(installed), refusal ? 0u : 1u) << typed;
    EXPECT_TRUE(world.files.Names("C:\\A2017\\Fonts").empty()) << "hidden, so not ticked";
    // The bar in the folder row's place: a step per entry examined and per listing's end (8 + 1, 3 + 1), three more, then full.
    for (int id : {IDC_PATH_LABEL, kPath, kBrowse}) EXPECT_EQ(window.items[id].visible, refusal != nullptr) << id;
    if (refusal) continue;
    EXPECT_TRUE(window.items[kBar].visible);
    EXPECT_EQ(window.Count(kBar, kPbmStepIt), 9 + 4 + 3);
    EXPECT_EQ(window.items[kBar].messages.back(), (Sent{kPbmSetPos, 50, 0}));
  }
  EXPECT_FALSE(world.files.Exists("C:\\Vortel"));
}

}  // namespace
