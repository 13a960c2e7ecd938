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

namespace {

// The check box of each release, 2007 first, as the dialog template numbers them.
constexpr int kBoxIds[acad::kReleaseCount] = {1018, 1019, 1020, 1027, 1026, 1028, 1029,
                                              1030, 1031, 1032, 1033, 1034, 1035, 1036,
                                              1037, 1038, 1039, 1040, 1041, 1042, 1043};
constexpr int kPath = 1000, kTitle = 1013, kBrowse = 1015, kBits = 1021, kInstall = 1022;

const std::string kSoftwareName = "\xBD\xE1\xB9\xB9\xB9\xA4\xBE\xDF\xCF\xE4\xC8\xED\xBC\xFE";

class SetupDialog : public ::testing::Test {
 protected:
  void SetUp() override { g_strBrowseFolder.clear(); }

  void Found(int year) {
    info.m_arrAcadLocation[acad::ReleaseIndex(year)].push_back("C:\\AutoCAD");
    info.m_arrProductKey[acad::ReleaseIndex(year)].push_back("SOFTWARE\\P\\");
  }

  Dlg_Setup& Open(PackageBuild package = {}) {
    dialog.emplace(info, world.services, package);
    EXPECT_TRUE(dialog->HandleInitDialog(window)) << "the first control takes the focus";
    return *dialog;
  }

  int BoxId(int year) { return kBoxIds[acad::ReleaseIndex(year)]; }
  void ClickBox(int year) {
    window.ToggleCheck(BoxId(year));
    dialog->HandleCommand(BoxId(year), kBnClicked);
  }
  bool InstallEnabled() { return window.Item(kInstall).enabled; }

  // Each release's box as enabled (E), disabled (d) or hidden (-), with its tick (1 or 0).
  std::string BoxStates() {
    std::string states;
    for (int index = 0; index < acad::kReleaseCount; ++index) {
      const fakes::FakeItem& box = window.Item(kBoxIds[index]);
      states += !box.visible ? '-' : box.enabled ? 'E' : 'd';
      states += std::to_string(box.check) + (index % 7 == 6 ? " " : "");
    }
    return states;
  }

  fakes::FakeServices world;
  CAcadInstallInfo info{world.services};
  fakes::FakeDialogWindow window;
  std::optional<Dlg_Setup> dialog;
};

TEST_F(SetupDialog, StartsWithFoundReleasesTickedAndAt32BitsNoneFrom2017On) {
  const struct {
    std::vector<int> found;
    int bits;
    std::string states;
  } cases[] = {
      {{}, 32, "d0d0d0d0d0d0d0 d0d0d0-0-0-0-0 -0-0-0-0-0-0-0 "},
      {{}, 64, "d0d0d0d0d0d0d0 d0d0d0d0d0d0d0 d0d0d0d0d0d0d0 "},
      {{2017, 2020, 2027}, 32, "d0d0d0d0d0d0d0 d0d0d0-0-0-0-0 -0-0-0-0-0-0-0 "},
      {{2008, 2010, 2012, 2016, 2019}, 32, "d0E1d0E1d0E1d0 d0d0E1-0-0-0-0 -0-0-0-0-0-0-0 "},
      {{2008, 2010, 2012, 2016, 2019}, 64, "d0E1d0E1d0E1d0 d0d0E1d0d0E1d0 d0d0d0d0d0d0d0 "},
  };
  for (const auto& [found, bits, states] : cases) {
    SCOPED_TRACE(::testing::PrintToString(found) + " at " + std::to_string(bits));
    for (auto& folders : info.m_arrAcadLocation) folders.clear();
    for (int year : found) Found(year);
    window = fakes::FakeDialogWindow{};
    Open(PackageBuild{g_nPackageVersion, bits});
    EXPECT_EQ(BoxStates(), states);
    EXPECT_EQ(InstallEnabled(), states.find('1') != std::string::npos);
    EXPECT_EQ(window.Item(kBits).text, "( " + std::to_string(bits) + "\xCE\xBB AutoCAD\xB0\xE6 )");
    EXPECT_EQ(window.Item(kPath).text, "C:\\Vortel");
    EXPECT_FALSE(window.endResult.has_value());
  }
}

TEST_F(SetupDialog, TitleGivesMonthAndDayTwoDigitsAndTheCaptionTheProgramIcon) {
  for (const auto& [version, text] : {std::pair{20260805, "V2026.08.05"}, {20261231, "V2026.12.31"},
                                      {20261009, "V2026.10.09"}, {20270110, "V2027.01.10"}}) {
    EXPECT_EQ(FormatPackageTitle(version), kSoftwareName + " " + text);
  }
  window.smallIcon = 0xDEF;
  Open(PackageBuild{20301110, 32});
  EXPECT_EQ(window.Item(kTitle).text, kSoftwareName + " V2030.11.10");
  EXPECT_EQ(window.smallIcon, 0xDEFu) << "a missing icon leaves the default one";
  window = fakes::FakeDialogWindow{};
  window.icons[1] = 0x1C0;
  Open();
  EXPECT_EQ(window.smallIcon, 0x1C0u);
}

TEST_F(SetupDialog, InstallButtonIsEnabledWhileAnyReleaseIsTicked) {
  for (int year : {2008, 2013}) Found(year);
  Dlg_Setup& setup = Open();
  // Unticking 2008, then 2013, ticking 2013 again, unticking it again.
  for (const auto& [year, enabled] :
       {std::pair{2008, true}, {2013, false}, {2013, true}, {2013, false}}) {
    ClickBox(year);
    EXPECT_EQ(InstallEnabled(), enabled) << year;
  }
  EXPECT_EQ(setup.m_bAcad2008 + setup.m_bAcad2013, 0);
  // Clicks elsewhere leave the rule alone.
  window.Item(BoxId(2008)).check = kChecked;
  dialog->HandleCommand(kTitle, kBnClicked);
  EXPECT_FALSE(InstallEnabled());
  dialog->HandleCommand(BoxId(2008), kBnClicked);
  EXPECT_TRUE(InstallEnabled());
}

class BrowseForInstallFolder : public SetupDialog {
 protected:
  void Browse(const std::string& typed, std::optional<fakes::PickedItem> answer) {
    window.Item(kPath).text = typed;
    world.desktop.pickerAnswers.push_back(std::move(answer));
    dialog->HandleCommand(kBrowse, kBnClicked);
    EXPECT_TRUE(world.desktop.liveItems.empty()) << "every item freed";
    EXPECT_EQ(world.desktop.badFrees, 0);
  }
  // The folder the picker was told to open on.
  std::string OpenedOn() {
    const auto& sent = world.desktop.pickersShown.back().sentOnStart;
    EXPECT_EQ(sent.size(), 1u);
    if (sent.empty()) return "<none>";
    EXPECT_EQ(sent[0].message, kBffmSetSelectionA);
    EXPECT_EQ(sent[0].wParam, 1u) << "the selection is given as a path text";
    return sent[0].pathText;
  }
};

TEST_F(BrowseForInstallFolder, PickedFolderFillsTheEditBoxAndIsRemembered) {
  Found(2016);
  Dlg_Setup& setup = Open();
  Browse("E:\\Typed", fakes::PickedItem{"F:\\Tools\\Vortel", true, "Vortel"});
  const fakes::PickerShown& picker = world.desktop.pickersShown.back();
  EXPECT_EQ(picker.owner, window.handle);
  EXPECT_EQ(picker.root, kNoItem);
  EXPECT_EQ(picker.title, texts::kBrowseTitle);
  EXPECT_EQ(picker.flags, 0x71u);
  EXPECT_EQ(OpenedOn(), "E:\\Typed");
  EXPECT_EQ(picker.callbackResult, 0);
  EXPECT_EQ(window.Item(kPath).text, "F:\\Tools\\Vortel");
  EXPECT_EQ(setup.m_strPath, "F:\\Tools\\Vortel");
  EXPECT_EQ(g_strBrowseFolder, "F:\\Tools\\Vortel");
  EXPECT_TRUE(InstallEnabled());

  // A drive root keeps its backslash, whatever display name the picker wrote.
  Browse("F:\\Tools\\Vortel", fakes::PickedItem{"D:\\", true, "Local Disk (D:) of a long name"});
  EXPECT_EQ(window.Item(kPath).text, "D:\\");
  EXPECT_EQ(g_strBrowseFolder, "D:\\");
}

TEST_F(BrowseForInstallFolder, CancelOrNoFolderChangeNothingAndAnEmptyBoxOpensOnTheLastFolder) {
  Open();
  Browse("", std::nullopt);
  EXPECT_EQ(OpenedOn(), "") << "nothing remembered yet: no particular folder";
  Browse("E:\\Typed", std::nullopt);
  EXPECT_EQ(window.Item(kPath).text, "E:\\Typed");
  Browse("G:\\Other", fakes::PickedItem{"", false, "Control Panel"});
  EXPECT_EQ(window.Item(kPath).text, "G:\\Other");
  EXPECT_EQ(dialog->m_strPath, "G:\\Other");
  Browse("", std::nullopt);
  EXPECT_EQ(OpenedOn(), "G:\\Other") << "the typed folder is remembered all the same";
  EXPECT_EQ(window.Item(kPath).text, "");
  EXPECT_FALSE(InstallEnabled()) << "no release found";
}

TEST(BrowseFolderCallbackTest, SelectsOnlyOnStartAndAlwaysLetsThePickerClose) {
  fakes::FakePickerWindow picker;
  const auto data = reinterpret_cast<std::intptr_t>("C:\\Vortel");
  for (unsigned message : {kBffmSelChanged, kBffmValidateFailedA, kBffmInitialized}) {
    EXPECT_EQ(BrowseFolderCallback(picker, message, 0, data), 0);
  }
  ASSERT_EQ(picker.received.size(), 1u);
  EXPECT_EQ(picker.received[0].pathText, "C:\\Vortel");
}

}  // namespace
