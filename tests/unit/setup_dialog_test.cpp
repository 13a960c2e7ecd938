// The setup dialog's logic on an in-memory window: its start-up state, the install button's
// rule, the folder picker and the commands that end it.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/texts.h"
#include "support/fake_dialog_window.h"
#include "support/fake_services.h"
#include "ui/browse_folder.h"
#include "ui/process_state.h"
#include "ui/setup_dialog.h"

using namespace platform;
using fakes::FakeItem;

namespace {

// The check box of each release, 2007 first, as the dialog template numbers them.
constexpr int kBoxIds[acad::kReleaseCount] = {1018, 1019, 1020, 1027, 1026, 1028, 1029,
                                              1030, 1031, 1032, 1033, 1034, 1035, 1036,
                                              1037, 1038, 1039, 1040, 1041, 1042, 1043};
constexpr int kPath = 1000, kTitle = 1013, kProgress = 1014, kBrowse = 1015, kBits = 1021,
              kInstall = 1022;

const std::string kSoftwareName = "\xBD\xE1\xB9\xB9\xB9\xA4\xBE\xDF\xCF\xE4\xC8\xED\xBC\xFE";

class SetupDialog : public ::testing::Test {
 protected:
  void SetUp() override { g_strBrowseFolder.clear(); }

  void Found(int year) {
    const int index = acad::ReleaseIndex(year);
    info.m_arrAcadLocation[index].push_back("C:\\AutoCAD " + std::to_string(year));
    info.m_arrProductKey[index].push_back("SOFTWARE\\Autodesk\\AutoCAD\\R\\" + std::to_string(year) + "\\");
  }

  Dlg_Setup& Open(PackageBuild package = {}) {
    dialog.emplace(info, world.services, package);
    EXPECT_TRUE(dialog->HandleInitDialog(window)) << "the first control takes the focus";
    return *dialog;
  }

  FakeItem& Box(int year) { return window.Item(kBoxIds[acad::ReleaseIndex(year)]); }

  void ClickBox(int year) {
    window.ToggleCheck(kBoxIds[acad::ReleaseIndex(year)]);
    dialog->HandleCommand(kBoxIds[acad::ReleaseIndex(year)], kBnClicked);
  }

  // Each release's box as enabled (E), disabled (d) or hidden (-), with its tick (1 or 0).
  std::string BoxStates() {
    std::string states;
    for (int year = acad::kFirstReleaseYear; year <= acad::kLastReleaseYear; ++year) {
      const FakeItem& box = Box(year);
      states += !box.visible ? '-' : box.enabled ? 'E' : 'd';
      states += std::to_string(box.check);
      states += acad::ReleaseIndex(year) % 7 == 6 ? " " : "";
    }
    return states;
  }

  fakes::FakeServices world;
  CAcadInstallInfo info{world.services};
  fakes::FakeDialogWindow window;
  std::optional<Dlg_Setup> dialog;
};

TEST_F(SetupDialog, NoReleaseFoundLeavesEveryBoxAndTheInstallButtonDisabled) {
  Open();
  EXPECT_EQ(BoxStates(), "d0d0d0d0d0d0d0 d0d0d0-0-0-0-0 -0-0-0-0-0-0-0 ");
  EXPECT_FALSE(window.Item(kInstall).enabled);
  EXPECT_EQ(window.Item(kPath).text, "C:\\Vortel");
  EXPECT_EQ(window.Item(kTitle).text, kSoftwareName + " V2026.08.05");
  EXPECT_EQ(window.Item(kBits).text, "( 32\xCE\xBB AutoCAD\xB0\xE6 )");
  EXPECT_FALSE(window.endResult.has_value());

  window = fakes::FakeDialogWindow{};
  Open(PackageBuild{20260805, 64});
  EXPECT_EQ(BoxStates(), "d0d0d0d0d0d0d0 d0d0d0d0d0d0d0 d0d0d0d0d0d0d0 ");
  EXPECT_FALSE(window.Item(kInstall).enabled);
  EXPECT_EQ(window.Item(kBits).text, "( 64\xCE\xBB AutoCAD\xB0\xE6 )");
}

TEST_F(SetupDialog, At32BitsReleasesFrom2017OnAreHiddenAndUntickedEvenWhenFound) {
  for (int year : {2017, 2020, 2027}) Found(year);
  Dlg_Setup& setup = Open();
  EXPECT_EQ(BoxStates(), "d0d0d0d0d0d0d0 d0d0d0-0-0-0-0 -0-0-0-0-0-0-0 ");
  EXPECT_FALSE(window.Item(kInstall).enabled);
  EXPECT_EQ(setup.m_bAcad2017 + setup.m_bAcad2020 + setup.m_bAcad2027, 0);
}

TEST_F(SetupDialog, FoundReleasesAreOfferedTickedAndTheOthersNot) {
  for (int year : {2008, 2010, 2012, 2016, 2019}) Found(year);
  Dlg_Setup& setup = Open();
  EXPECT_EQ(BoxStates(), "d0E1d0E1d0E1d0 d0d0E1-0-0-0-0 -0-0-0-0-0-0-0 ");
  EXPECT_TRUE(window.Item(kInstall).enabled);
  EXPECT_EQ(setup.m_bAcad2008 + setup.m_bAcad2010 + setup.m_bAcad2012 + setup.m_bAcad2016, 4);
  EXPECT_EQ(setup.m_bAcad2007 + setup.m_bAcad2011 + setup.m_bAcad2019, 0);

  window = fakes::FakeDialogWindow{};
  Open(PackageBuild{20260805, 64});
  EXPECT_EQ(BoxStates(), "d0E1d0E1d0E1d0 d0d0E1d0d0E1d0 d0d0d0d0d0d0d0 ");
}

TEST_F(SetupDialog, TitleGivesMonthAndDayTwoDigits) {
  EXPECT_EQ(FormatPackageTitle(20260805), kSoftwareName + " V2026.08.05");
  EXPECT_EQ(FormatPackageTitle(20261231), kSoftwareName + " V2026.12.31");
  EXPECT_EQ(FormatPackageTitle(20261009), kSoftwareName + " V2026.10.09");
  EXPECT_EQ(FormatPackageTitle(20270110), kSoftwareName + " V2027.01.10");
  Open(PackageBuild{20301110, 32});
  EXPECT_EQ(window.Item(kTitle).text, kSoftwareName + " V2030.11.10");
}

TEST_F(SetupDialog, SmallIconIsTheProgramIconWhenItLoads) {
  window.icons[1] = 0x1C0;
  Open();
  EXPECT_EQ(window.smallIcon, 0x1C0u);

  window = fakes::FakeDialogWindow{};
  window.smallIcon = 0xDEF;
  Open();
  EXPECT_EQ(window.smallIcon, 0xDEFu) << "a missing icon leaves the default one";
}

TEST_F(SetupDialog, InstallButtonIsEnabledWhileAnyReleaseIsTicked) {
  for (int year : {2008, 2013}) Found(year);
  Dlg_Setup& setup = Open();
  ClickBox(2008);
  EXPECT_TRUE(window.Item(kInstall).enabled);
  EXPECT_EQ(setup.m_bAcad2008, 0);
  ClickBox(2013);
  EXPECT_FALSE(window.Item(kInstall).enabled);
  ClickBox(2013);
  EXPECT_TRUE(window.Item(kInstall).enabled);
  EXPECT_EQ(setup.m_bAcad2013, 1);
  ClickBox(2013);
  EXPECT_FALSE(window.Item(kInstall).enabled);
  // Clicks elsewhere leave the rule alone.
  window.Item(kBoxIds[acad::ReleaseIndex(2008)]).check = kChecked;
  dialog->HandleCommand(kTitle, kBnClicked);
  EXPECT_FALSE(window.Item(kInstall).enabled);
  dialog->HandleCommand(kBoxIds[acad::ReleaseIndex(2008)], kBnClicked);
  EXPECT_TRUE(window.Item(kInstall).enabled);
}

TEST_F(SetupDialog, OkTakesTheControlsAndEndsWithOkCancelEndsWithCancel) {
  Found(2010);
  Dlg_Setup& setup = Open();
  window.Item(kPath).text = "D:\\Typed";
  dialog->HandleCommand(kIdCancel, kBnClicked);
  EXPECT_EQ(window.endResult, kIdCancel);
  EXPECT_EQ(setup.m_strPath, "C:\\Vortel");

  window.endResult.reset();
  dialog->HandleCommand(kPath, 0x300);  // EN_CHANGE: typing ends nothing
  EXPECT_FALSE(window.endResult.has_value());
  dialog->HandleCommand(kIdOk, kBnClicked);
  EXPECT_EQ(window.endResult, kIdOk);
  EXPECT_EQ(setup.m_strPath, "D:\\Typed");
}

TEST_F(SetupDialog, ProgressBarMessagesGoToItsControl) {
  Dlg_Setup& setup = Open();
  setup.m_progress.Send(kPbmSetRange, 0, 0x320000);
  setup.m_progress.Send(kPbmStepIt, 0, 0);
  ASSERT_EQ(window.messages[kProgress].size(), 2u);
  EXPECT_EQ(window.messages[kProgress][0].lParam, 0x320000);
  EXPECT_EQ(window.messages[kProgress][1].message, kPbmStepIt);
}

class BrowseForInstallFolder : public SetupDialog {
 protected:
  void Browse(std::optional<fakes::PickedItem> answer) {
    world.desktop.pickerAnswers.push_back(std::move(answer));
    dialog->HandleCommand(kBrowse, kBnClicked);
  }
  const fakes::PickerShown& LastPicker() { return world.desktop.pickersShown.back(); }
  // The folder the picker was told to open on.
  std::string OpenedOn() {
    const auto& sent = LastPicker().sentOnStart;
    EXPECT_EQ(sent.size(), 1u);
    if (sent.empty()) return "<none>";
    EXPECT_EQ(sent[0].message, kBffmSetSelectionA);
    EXPECT_EQ(sent[0].wParam, 1u) << "the selection is given as a path text";
    return sent[0].pathText;
  }
  void ExpectEveryItemFreed() {
    EXPECT_TRUE(world.desktop.liveItems.empty());
    EXPECT_EQ(world.desktop.badFrees, 0);
  }
};

TEST_F(BrowseForInstallFolder, PickedFolderFillsTheEditBoxAndIsRemembered) {
  Found(2016);
  Dlg_Setup& setup = Open();
  window.Item(kPath).text = "E:\\Typed";
  Browse(fakes::PickedItem{"F:\\Tools\\Vortel", true, "Vortel"});

  const fakes::PickerShown& picker = LastPicker();
  EXPECT_EQ(picker.owner, window.handle);
  EXPECT_EQ(picker.root, kNoItem);
  EXPECT_EQ(picker.title, texts::kBrowseTitle);
  EXPECT_EQ(picker.flags, 0x71u);
  EXPECT_EQ(picker.callbackData, "E:\\Typed");
  EXPECT_EQ(OpenedOn(), "E:\\Typed");
  EXPECT_EQ(picker.callbackResult, 0);

  EXPECT_EQ(window.Item(kPath).text, "F:\\Tools\\Vortel");
  EXPECT_EQ(setup.m_strPath, "F:\\Tools\\Vortel");
  EXPECT_EQ(g_strBrowseFolder, "F:\\Tools\\Vortel");
  EXPECT_TRUE(window.Item(kInstall).enabled);
  ExpectEveryItemFreed();

  // A drive root keeps its backslash, whatever display name the picker wrote.
  Browse(fakes::PickedItem{"D:\\", true, "Local Disk (D:) with a long display name"});
  EXPECT_EQ(OpenedOn(), "F:\\Tools\\Vortel");
  EXPECT_EQ(window.Item(kPath).text, "D:\\");
  EXPECT_EQ(g_strBrowseFolder, "D:\\");
  ExpectEveryItemFreed();
}

TEST_F(BrowseForInstallFolder, CancelOrAnItemThatIsNoFolderChangeNothing) {
  Found(2016);
  Open();
  window.Item(kPath).text = "E:\\Typed";
  Browse(std::nullopt);
  EXPECT_EQ(window.Item(kPath).text, "E:\\Typed");
  EXPECT_EQ(g_strBrowseFolder, "E:\\Typed") << "the typed folder is remembered all the same";

  window.Item(kPath).text = "G:\\Other";
  Browse(fakes::PickedItem{"", false, "Control Panel"});
  EXPECT_EQ(window.Item(kPath).text, "G:\\Other");
  EXPECT_EQ(dialog->m_strPath, "G:\\Other");
  ExpectEveryItemFreed();
  EXPECT_EQ(world.desktop.pickersShown.size(), 2u);
}

TEST_F(BrowseForInstallFolder, EmptyEditBoxOpensOnTheRememberedFolder) {
  Open();
  window.Item(kPath).text = "";
  Browse(std::nullopt);
  EXPECT_EQ(OpenedOn(), "") << "nothing remembered yet: no particular folder";

  Browse(fakes::PickedItem{"H:\\Picked", true, ""});
  window.Item(kPath).text = "";
  Browse(std::nullopt);
  EXPECT_EQ(OpenedOn(), "H:\\Picked");
  EXPECT_EQ(window.Item(kPath).text, "");
  EXPECT_FALSE(window.Item(kInstall).enabled) << "no release found";
}

TEST(BrowseFolderCallbackTest, SelectsOnlyOnStartAndAlwaysLetsThePickerClose) {
  fakes::FakePickerWindow picker;
  const char folder[] = "C:\\Vortel";
  const auto data = reinterpret_cast<std::intptr_t>(folder);
  EXPECT_EQ(BrowseFolderCallback(picker, kBffmSelChanged, 0, data), 0);
  EXPECT_EQ(BrowseFolderCallback(picker, kBffmValidateFailedA, 0, data), 0);
  EXPECT_TRUE(picker.received.empty());
  EXPECT_EQ(BrowseFolderCallback(picker, kBffmInitialized, 0, data), 0);
  ASSERT_EQ(picker.received.size(), 1u);
  EXPECT_EQ(picker.received[0].pathText, "C:\\Vortel");
}

}  // namespace
