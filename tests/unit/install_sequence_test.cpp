// The install button: the refusal while AutoCAD runs, the installation folder, the copies, the
// registration and the deployment behind the progress bar, and the closing message.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "platform/texts.h"
#include "support/fake_dialog_window.h"
#include "support/fake_services.h"
#include "ui/process_state.h"
#include "ui/setup_dialog.h"

using namespace platform;

namespace {

constexpr int kPath = 1000, kProgress = 1014, kInstall = 1022;
const std::string kProduct2008 = "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\";
const std::string kProduct2017 = "SOFTWARE\\Autodesk\\AutoCAD\\R21.0\\ACAD-1001:804\\";
const std::string kProfile = "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Profiles\\P\\Variables";

class InstallSequence : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bCheckAcadRunning = true;
    world.files.modulePath = "D:\\pkg\\SetUp.exe";
    world.files.AddFile("D:\\pkg\\Data\\Vortel2008.ARX", "loader");
    world.files.AddFile("D:\\pkg\\Data\\Vortel_EN.shx", "EN");
    world.files.AddFile("D:\\pkg\\Data\\Vortel_HZ.shx", "HZ");
    world.files.AddFile("D:\\pkg\\Data\\Vortel.prt5", "driver");
    world.files.AddFile("D:\\pkg\\Data\\" + std::string(texts::kExtensionLibraryFolder) + "\\a.dwg", "dwg");
    AddInstall(2008, "C:\\A2008", kProduct2008);
    AddInstall(2017, "C:\\A2017", kProduct2017);
    world.registry.SetString(kHkeyCurrentUser, kProfile, "TRUSTEDPATHS", "");
  }

  void AddInstall(int year, const std::string& folder, const std::string& productKey) {
    world.files.AddFolder(folder + "\\Fonts");
    world.files.AddFolder(folder + "\\Drv");
    world.registry.AddKey(kHkeyLocalMachine, productKey);
    info.m_arrAcadLocation[acad::ReleaseIndex(year)].push_back(folder);
    info.m_arrProductKey[acad::ReleaseIndex(year)].push_back(productKey);
  }

  // Opens the dialog with `folder` typed in and clicks the install button.
  void Install(const std::string& folder = "C:\\Vortel") {
    if (!dialog) {
      dialog.emplace(info, world.services);
      dialog->HandleInitDialog(window);
      world.files.journal = world.registry.journal = &journal;
      world.desktop.journal = window.journal = &journal;
    }
    window.Item(kPath).text = folder;
    dialog->HandleCommand(kInstall, kBnClicked);
  }

  std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const auto& box : world.desktop.shown) texts.push_back(box.text);
    return texts;
  }
  std::string Loader(const std::string& product, int year) {
    const auto value = world.registry.GetValue(
        kHkeyLocalMachine, product + "Applications\\Vortel" + std::to_string(year), "LOADER");
    return value ? value->Text() : "<none>";
  }

  fakes::Journal journal;
  fakes::FakeServices world;
  CAcadInstallInfo info{world.services};
  fakes::FakeDialogWindow window;
  std::optional<Dlg_Setup> dialog;
};

TEST_F(InstallSequence, OneInstallMakesEveryChangeInItsOrder) {
  Install();
  const std::string install = "C:\\Vortel\\V-Trelmox";
  const std::string library = install + "\\" + texts::kExtensionLibraryFolder;
  // 2017 was found but is hidden at 32 bits: its tick is 0, so it is neither registered nor served.
  const std::vector<std::string> expected = {
      "mkdir C:\\Vortel", "mkdir " + install,
      "hide 1017", "hide 1000", "hide 1015", "show 1014",
      "message 1 0", "message 4 1", "message 2 0",
      // The package: ".", "..", five entries and the end of the listing.
      "mkdir " + install, "message 5 0", "message 5 0", "message 5 0",
      "copy " + install + "\\Vortel.prt5", "message 5 0",
      "copy " + install + "\\Vortel2008.ARX", "message 5 0", "message 5 0", "message 5 0", "message 5 0",
      // The extension library: ".", "..", one file and the end of the listing.
      "mkdir " + library, "message 5 0", "message 5 0", "message 5 0", "copy " + library + "\\a.dwg",
      "message 5 0", "message 5 0",
      "set LOADCTRLS", "set LOADER", "set TRUSTEDPATHS", "message 5 0",
      "copy C:\\A2008\\Fonts\\Vortel_EN.shx", "copy C:\\A2008\\Fonts\\Vortel_HZ.shx",
      "copy C:\\A2008\\Drv\\pdfplot9.hdi", "message 5 0", "message 2 50",
      std::string("box ") + texts::kToolboxSetupCaption, "end 1"};
  EXPECT_EQ(journal, expected);
  EXPECT_EQ(window.messages[kProgress][0].lParam, 0x320000);
  EXPECT_EQ(Boxes(), std::vector<std::string>{texts::kInstallFinished});
  EXPECT_EQ(world.desktop.shown[0].type, kMbOk);
  EXPECT_EQ(info.m_strInstallDir, install);
  EXPECT_EQ(window.Item(kPath).text, "C:\\Vortel") << "the edit box keeps the chosen folder";
  EXPECT_EQ(world.registry.OpenHandleCount(), 0);
  EXPECT_EQ(world.files.OpenFindCount(), 0);
}

TEST_F(InstallSequence, TheBarTakesOneStepPerEntryExaminedAndEndsFull) {
  for (int file = 0; file < 60; ++file) {
    world.files.AddFile("D:\\pkg\\Data\\f" + std::to_string(file) + ".dat");
  }
  Install();
  // 65 + 2 package entries and 1 + 2 library entries, one more step each, three of its own.
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "message 5 0"), 68 + 4 + 3);
  EXPECT_EQ(journal.end()[-3], "message 2 50");
}

TEST_F(InstallSequence, AbortOnAFailedCopyEndsTheDialogAndRunsNothingAfter) {
  world.files.AddFile("C:\\Vortel\\V-Trelmox\\Vortel2008.ARX", "in use");
  world.files.Faults("C:\\Vortel\\V-Trelmox\\Vortel2008.ARX").inUse = true;
  world.desktop.answers = {kIdAbort};
  Install();
  EXPECT_EQ(window.endResult, kIdCancel);
  EXPECT_EQ(Boxes().size(), 1u) << "only the copy-failure message";
  EXPECT_EQ(world.files.Contents("C:\\Vortel\\V-Trelmox\\Vortel.prt5"), "driver");
  EXPECT_EQ(Loader(kProduct2008, 2008), "<none>");
  EXPECT_EQ(world.registry.GetValue(kHkeyCurrentUser, kProfile, "TRUSTEDPATHS")->Text(), "");
  EXPECT_EQ(world.files.Names("C:\\A2008\\Fonts"), std::vector<std::string>{});
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "message 2 50"), 0);
}

TEST_F(InstallSequence, TheChosenFolderLosesOneBackslashAndIsUsedAsTyped) {
  const std::pair<std::string, std::string> cases[] = {
      {"D:\\", "D:\\V-Trelmox"},                 // a drive root
      {"rel\\dir", "rel\\dir\\V-Trelmox"},       // relative to the current folder
      {"E:\\\x9C\x5C", "E:\\\x9C\x5C\\V-Trelmox"},  // ends in 淺, whose trail byte is '\'
  };
  for (const auto& [chosen, install] : cases) {
    dialog.reset();
    window = fakes::FakeDialogWindow{};
    world.files.AddFolder(chosen);
    Install(chosen);
    EXPECT_EQ(info.m_strInstallDir, install) << chosen;
    EXPECT_EQ(Loader(kProduct2008, 2008), install + "\\Vortel2008.ARX");
  }
}

TEST_F(InstallSequence, AFolderWhoseParentIsMissingFailsEveryCopy) {
  world.desktop.answers = {kIdIgnore, kIdAbort};
  Install("Q:\\Missing\\Vortel");
  EXPECT_EQ(Boxes().size(), 2u);
  EXPECT_NE(Boxes()[0].find("Q:\\Missing\\Vortel\\V-Trelmox\\Vortel.prt5"), std::string::npos);
  EXPECT_EQ(window.endResult, kIdCancel);
  EXPECT_FALSE(world.files.Exists("Q:\\Missing\\Vortel"));
}

TEST_F(InstallSequence, RefusalsChangeNothingAndAutoCadRunningIsRefusedOnlyOnce) {
  world.processes.running = {"explorer.exe", "ACAD.EXE"};
  Install();
  Install("");
  Install("C:\\" + std::string(228, 'x'));  // 231 + "\V-Trelmox" = 241 bytes
  EXPECT_EQ(Boxes(), (std::vector<std::string>{texts::kCloseAcadFirst, texts::kChooseInstallPath,
                                               texts::kInstallPathTooLong}));
  for (const fakes::ShownBox& box : world.desktop.shown) {
    EXPECT_EQ(box.owner, window.handle);
    EXPECT_EQ(box.type, kMbOk);
  }
  const std::string refusal = std::string("box ") + texts::kSoftwareSetupCaption;
  EXPECT_EQ(journal, std::vector<std::string>(3, refusal)) << "nothing made, nothing copied";
  EXPECT_FALSE(g_bCheckAcadRunning);
  EXPECT_TRUE(window.Item(kPath).visible);
  EXPECT_FALSE(window.endResult.has_value());

  Install("C:\\" + std::string(227, 'x'));  // exactly 240 bytes: accepted
  EXPECT_EQ(window.endResult, kIdOk);
  EXPECT_EQ(info.m_strInstallDir.size(), 240u);
}

TEST_F(InstallSequence, LoaderEntriesThatCouldNotBeWrittenAreOwnedUpToAtTheEnd) {
  world.registry.Faults(kHkeyLocalMachine, kProduct2008).denyWrite = true;
  Install();
  EXPECT_EQ(Boxes(), std::vector<std::string>{texts::kInstallFinishedPartly});
  EXPECT_EQ(world.desktop.shown[0].caption, texts::kToolboxSetupCaption);
  EXPECT_EQ(world.desktop.shown[0].type, kMbOk | kMbIconWarning);
  EXPECT_EQ(world.files.Contents("C:\\A2008\\Fonts\\Vortel_EN.shx"), "EN") << "and went on";
  EXPECT_EQ(window.endResult, kIdOk);
}

}  // namespace
