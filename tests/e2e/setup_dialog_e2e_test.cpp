// SetUp.exe under Wine, started over a seeded registry and driven through window messages.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <shlobj.h>

#include "platform/texts.h"
#include "screen_capture.h"
#include "setup_fixture.h"

namespace e2e {
namespace {

constexpr int kBoxIds[21] = {1018, 1019, 1020, 1027, 1026, 1028, 1029, 1030, 1031, 1032, 1033,
                             1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041, 1042, 1043};

// Four AutoCAD installations; 2019 is found but not offered to a package for 32 bits.
const std::string kProductKeys[] = {
    std::string(integration::kWowRoot) + "R17.1\\ACAD-6001:804",
    std::string(integration::kNativeRoot) + "R18.2\\ACAD-A001:804",
    std::string(integration::kNativeRoot) + "R20.1\\ACAD-F001:804",
    std::string(integration::kNativeRoot) + "R23.0\\ACAD-2001:804",
};

class SetupUnderWine : public SetupTest {
 protected:
  void SetUp() override {
    const char* years[] = {"2008", "2012", "2016", "2019"};
    for (int n = 0; n < 4; ++n) {
      AddInstall(kProductKeys[n], std::string("C:\\AutoCAD ") + years[n],
                 std::string("AutoCAD ") + years[n] + " - \xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4");
    }
  }

  // Each release's box as enabled (E), disabled (d) or hidden (-), with its tick (1 or 0).
  std::string BoxStates() const {
    std::string states;
    for (int index = 0; index < 21; ++index) {
      const int id = kBoxIds[index];
      states += !Visible(id) ? '-' : Enabled(id) ? 'E' : 'd';
      states += std::to_string(SendMessageA(Item(id), BM_GETCHECK, 0, 0));
      states += index % 7 == 6 ? " " : "";
    }
    return states;
  }

  RECT ScreenRectOf(int id) const {
    RECT rect{};
    GetWindowRect(Item(id), &rect);
    return rect;
  }

  void ExpectEndedWithNothingWritten() {
    EXPECT_TRUE(process->WaitForExit()) << "the program did not end";
    EXPECT_EQ(GetFileAttributesA("C:\\Vortel"), INVALID_FILE_ATTRIBUTES);
    for (const std::string& key : kProductKeys) {
      platform::ScopedRegKey applications(registry);
      EXPECT_NE(registry.OpenKey(platform::kHkeyLocalMachine, (key + "\\Applications").c_str(),
                                 applications.Receive()),
                platform::kErrorSuccess)
          << key;
    }
  }
};

TEST_F(SetupUnderWine, ShowsTheFoundReleasesTickedAndTheStartState) {
  Start();
  EXPECT_EQ(WindowText(dialog), texts::kSetupDialogCaption);
  EXPECT_EQ(WindowText(Item(kTitle)),
            "\xBD\xE1\xB9\xB9\xB9\xA4\xBE\xDF\xCF\xE4\xC8\xED\xBC\xFE V2026.08.05");
  EXPECT_EQ(WindowText(Item(kBits)), "( 32\xCE\xBB AutoCAD\xB0\xE6 )");
  EXPECT_EQ(WindowText(Item(kPath)), "C:\\Vortel");
  EXPECT_EQ(BoxStates(), "d0E1d0d0d0E1d0 d0d0E1-0-0-0-0 -0-0-0-0-0-0-0 ");
  EXPECT_TRUE(Enabled(kInstall));
  for (int hidden : {IDOK, kProgress, 1023, 1024}) EXPECT_FALSE(Visible(hidden)) << hidden;
  for (int shown : {IDCANCEL, kPath, kBrowse, kInstall, kComponentsLabel, kPathLabel}) {
    EXPECT_TRUE(Visible(shown)) << shown;
  }
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread));
  EXPECT_EQ(thread.hwndFocus, Item(kBoxIds[1])) << "the first enabled control has the focus";

  RECT frame{}, work{};
  GetWindowRect(dialog, &frame);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(frame.left + frame.right, work.left + work.right, 1) << "centred across";
  EXPECT_NEAR(frame.top + frame.bottom, work.top + work.bottom, 1) << "centred down";

  // The picture of the dialog is kept beside the test program.
  const ScreenCapture picture = ScreenCapture::OfWindow(dialog);
  ASSERT_FALSE(picture.IsEmpty());
  EXPECT_TRUE(picture.Save("setup-dialog.bmp"));
  POINT face{6, 6};
  ClientToScreen(dialog, &face);
  EXPECT_EQ(picture.PixelAtScreen(face), RGB(160, 180, 220));
  EXPECT_TRUE(picture.Contains(ScreenRectOf(kTitle), RGB(10, 70, 40)));
  EXPECT_TRUE(picture.Contains(ScreenRectOf(kBits), RGB(10, 70, 40)));
  EXPECT_TRUE(picture.Contains(ScreenRectOf(kComponentsLabel), RGB(0, 0, 0)));
  EXPECT_FALSE(picture.Contains(ScreenRectOf(kComponentsLabel), RGB(10, 70, 40)));
  // The caption shows the program's icon (Wine does not answer WM_GETICON from another
  // process, so the icon is looked for in the picture: its blue, left of the caption text).
  POINT client{0, 0};
  ClientToScreen(dialog, &client);
  EXPECT_TRUE(picture.Contains(RECT{frame.left, frame.top, frame.left + 32, client.y},
                               RGB(24, 48, 140)));
}

TEST_F(SetupUnderWine, CancelEscapeTheCloseBoxAndEnterEachEndTheProgram) {
  const std::vector<std::pair<const char*, std::function<void(HWND)>>> ways = {
      {"Cancel", [](HWND window) { PostMessageA(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0); }},
      {"Escape", [](HWND window) {
         PostMessageA(GetDlgItem(window, kBoxIds[1]), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
       }},
      {"close box", [](HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"Enter", [](HWND window) {
         PostMessageA(GetDlgItem(window, kBoxIds[1]), WM_KEYDOWN, VK_RETURN, 0x001C0001);
       }},
  };
  for (const auto& [name, close] : ways) {
    SCOPED_TRACE(name);
    Start();
    close(dialog);
    ExpectEndedWithNothingWritten();
  }
}

TEST_F(SetupUnderWine, BrowseShowsThePickerAndTakesTheFolderPicked) {
  Start();
  Click(kBrowse);
  const HWND picker = WaitForOwnedWindow(dialog);
  ASSERT_NE(picker, nullptr) << "no folder picker";
  EXPECT_NE(FindDescendant(picker, "Edit"), nullptr) << "the picker has an edit box";
  // C:\Vortel does not exist, so the picker stays on the desktop, a folder of the file system.
  char desktop[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop), S_OK);
  PostMessageA(picker, WM_COMMAND, IDOK, 0);
  for (int attempt = 0; attempt < 600 && IsWindow(picker); ++attempt) Sleep(50);
  EXPECT_FALSE(IsWindow(picker));
  EXPECT_EQ(WindowText(Item(kPath)), desktop);
  Click(IDCANCEL);
  ExpectEndedWithNothingWritten();
}

}  // namespace
}  // namespace e2e
