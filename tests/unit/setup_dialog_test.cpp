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

TEST_F(SetupDialog, BrowseTakesTheFolderPickedAndOpensOnTheLastFolderTypedOrPicked) {
  Found(2016);
  Open();
  // Browses with `typed` in the edit box; the folder the picker was told to open on.
  const auto browse = [&](const std::string& typed, std::optional<fakes::PickedItem> answer) {
    window.Item(kPath).text = typed;
    world.desktop.pickerAnswers.push_back(std::move(answer));
    dialog->HandleCommand(kBrowse, kBnClicked);
    EXPECT_TRUE(world.desktop.liveItems.empty()) << "every item freed";
    EXPECT_EQ(world.desktop.badFrees, 0);
    const fakes::PickerShown& picker = world.desktop.pickersShown.back();
    EXPECT_EQ(picker.owner, window.handle);
    EXPECT_EQ(picker.root, kNoItem);
    EXPECT_EQ(picker.title, texts::kBrowseTitle);
    EXPECT_EQ(picker.flags, 0x71u);
    EXPECT_EQ(picker.callbackResult, 0);
    EXPECT_EQ(picker.sentOnStart.size(), 1u);
    const fakes::PickerMessage& select = picker.sentOnStart.at(0);
    EXPECT_EQ(select.message, kBffmSetSelectionA);
    EXPECT_EQ(select.wParam, 1u) << "the selection is given as a path text";
    return select.pathText;
  };
  EXPECT_EQ(browse("", std::nullopt), "") << "nothing remembered yet: no particular folder";
  EXPECT_EQ(browse("E:\\Typed", std::nullopt), "E:\\Typed");
  EXPECT_EQ(window.Item(kPath).text, "E:\\Typed") << "cancelled";
  EXPECT_EQ(browse("", fakes::PickedItem{"", false, "Control Panel"}), "E:\\Typed");
  EXPECT_EQ(window.Item(kPath).text, "") << "an item that is no folder changes nothing";
  EXPECT_EQ(browse("G:\\Other", fakes::PickedItem{"F:\\Tools\\Vortel", true, ""}), "G:\\Other");
  EXPECT_EQ(window.Item(kPath).text, "F:\\Tools\\Vortel");
  EXPECT_EQ(dialog->m_strPath, "F:\\Tools\\Vortel");
  EXPECT_TRUE(InstallEnabled());
  EXPECT_EQ(browse("", fakes::PickedItem{"D:\\", true, "Local Disk (D:) of a long name"}),
            "F:\\Tools\\Vortel");
  EXPECT_EQ(window.Item(kPath).text, "D:\\") << "a drive root keeps its backslash";
}

}  // namespace
