// SetUp.exe installing under Wine. Each case lays out a fresh package (SetUp.exe beside or inside
// its Data folder) and fresh AutoCAD folders in a scratch folder, seeds the registry, clicks
// through the dialog and answers its message boxes by window messages, then reads the files and
// registry values the install left behind.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/format.h"
#include "platform/texts.h"
#include "scratch_folder.h"
#include "setup_fixture.h"

#include <commctrl.h>

using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
using Names = std::vector<std::string>;
using Files = std::map<std::string, std::string>;  // names with contents

namespace e2e {
namespace {

const std::string kDefaultFolder = "C:\\Vortel";
const std::string kLibrary = texts::kExtensionLibraryFolder;
// The package's top-level files that an install copies into the installation folder.
const Names kProgramFiles = {"Vortel2008.ARX", "Vortel2009.ARX", "Vortel2010.ARX",
                             "Vortel2015.ARX", "Vortel.prt5",
                             "\xCB\xB5\xC3\xF7.txt",   // 说明.txt
                             "\x9C\x5C\xC9\xAB.dat"};  // 淺色.dat: a trail byte 0x5C
// Those it leaves out: the fonts (they go to AutoCAD), a name without a dot, and the setup
// program under another capitalisation (last, as the program itself may stand for it).
const Names kSkippedFiles = {"Vortel_EN.shx", "Vortel_HZ.shx", "LICENSE", "SETUP.exe"};
// The extension library's files; all are copied, the name without a dot too.
const Names kLibraryFiles = {"\xCD\xBC\xBF\xF2" "A3.dwg", "README"};
const char kHeldFile[] = "Vortel2009.ARX";
const std::string kHeldContents = "a file another program holds open";

struct Installation {
  int year;
  int loaderYear;  // the year of the loader module its entry names
  std::string key;
};
// 2019 is found but hidden, as the package serves 32-bit AutoCAD only.
const Installation kInstallations[] = {
    {2008, 2008, std::string(integration::kWowRoot) + "R17.1\\ACAD-6001:804"},
    {2009, 2009, std::string(integration::kNativeRoot) + "R17.2\\ACAD-7001:804"},
    {2012, 2010, std::string(integration::kNativeRoot) + "R18.2\\ACAD-A001:804"},
    {2016, 2015, std::string(integration::kNativeRoot) + "R20.1\\ACAD-F001:804"},
    {2019, 2019, std::string(integration::kNativeRoot) + "R23.0\\ACAD-2001:804"},
};
const std::set<int> kVisibleReleases = {2008, 2009, 2012, 2016};
constexpr int kBox2012 = 1028;

// Two profiles of the user: one that trusts a folder already, one without "Variables".
const std::string kTrusting =
    "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Profiles\\<<Unnamed Profile>>\\Variables";
const std::string kNewProfile = "SOFTWARE\\Autodesk\\AutoCAD\\R20.1\\ACAD-F001:804\\Profiles\\New";

// A sample file's contents: whose it is, its name and bytes no text conversion leaves alone.
std::string Sample(const char* owner, const std::string& name) {
  return owner + (" " + name) + std::string("\0\xFF\x5C\r\n\x1A", 6);
}
Files Samples(const char* owner, const Names& names) {
  Files files;
  for (const std::string& name : names) files[name] = Sample(owner, name);
  return files;
}
const char kVortel[] = "Vortel's", kAutoCad[] = "AutoCAD's";

// A folder's entries with the contents of its files (a sub-folder reads as empty).
Files FolderFiles(const std::string& folder) {
  Files files;
  for (const std::string& name : support::SortedNames(folder)) {
    files[name] = support::ReadWholeFile(folder + "\\" + name);
  }
  return files;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class InstallUnderWine : public SetupTest {
 protected:
  enum class Layout { ProgramBesideData, ProgramInData, NoData };

  support::ScratchFolder scratch{"install"};  // made first and removed last
  const std::string package = scratch.Path() + "\\package";
  const std::string data = package + "\\Data";
  const std::string target = scratch.Path() + "\\target";  // a folder the user types in
  const std::string targetInstall = target + "\\V-Trelmox";
  const std::string heldPath = targetInstall + "\\" + kHeldFile;
  std::optional<ScopedHandle> held;

  void TearDown() override {
    held.reset();
    SetupTest::TearDown();
    support::RemoveTree(kDefaultFolder);
  }

  // Lays out the package, the AutoCAD folders and the registry, and starts SetUp.exe from the
  // package.
  void StartFrom(Layout layout) {
    MakeFolders({package, scratch.Path() + "\\acad"});
    if (layout != Layout::NoData) {
      const std::string library = data + "\\" + kLibrary;
      MakeFolders({data, data + "\\docs.v", library, library + "\\sub"});
      Write(data, Samples(kVortel, kProgramFiles));
      const auto skipped = kSkippedFiles.end() - (layout == Layout::ProgramInData ? 1 : 0);
      Write(data, Samples(kVortel, Names(kSkippedFiles.begin(), skipped)));
      Write(library, Samples(kVortel, kLibraryFiles));
      Write(library + "\\sub", Samples(kVortel, {"deeper.dwg"}));
    }
    for (const Installation& acad : kInstallations) {
      const std::string folder = AcadFolder(acad);
      MakeFolders({folder, folder + "\\Fonts", folder + "\\Drv"});
      Write(folder + "\\Fonts", Samples(kAutoCad, {"txt.shx", "Vortel_EN.shx"}));
      Write(folder + "\\Drv", Samples(kAutoCad, {"pdfplot9.hdi"}));
      AddInstall(acad.key, folder,
                 "AutoCAD " + std::to_string(acad.year) + " - \xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4");
    }
    seed.SetText(kHkeyCurrentUser, kTrusting, "TRUSTEDPATHS", "C:\\Tools");
    seed.SetText(kHkeyCurrentUser, kNewProfile, "ProfileName", "New");
    const std::string program = (layout == Layout::ProgramInData ? data : package) + "\\SetUp.exe";
    ASSERT_TRUE(CopyFileA(SetupProgram().c_str(), program.c_str(), FALSE)) << program;
    Start(program);
  }

  // Types a folder into the folder box, as the user does before clicking install.
  void TypeFolder(const std::string& folder) {
    SendMessageA(Item(kPath), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  }

  MessageBoxView ClickInstall() {
    Click(kInstall);
    return WaitForMessageBox(dialog);
  }

  static void ExpectBox(const MessageBoxView& box, const std::string& text, const char* caption,
                        const std::set<int>& buttons) {
    ASSERT_NE(box.window, nullptr) << "no message box";
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(std::set<int>(box.buttons.begin(), box.buttons.end()), buttons);
  }

  // Answers the last message of a run; the program then ends.
  void Finish(const MessageBoxView& box, int answer) {
    ASSERT_TRUE(AnswerMessageBox(box, answer));
    EXPECT_TRUE(process->WaitForExit()) << "the program did not end";
  }

  void ExpectFinished(const MessageBoxView& box) {
    ExpectBox(box, texts::kInstallFinished, texts::kToolboxSetupCaption, {IDOK});
    Finish(box, IDOK);
  }

  // Answers a refusal: the dialog stays as it was, with its folder row, and nothing was made.
  void ExpectRefused(const MessageBoxView& box, const char* text) {
    ExpectBox(box, text, texts::kSoftwareSetupCaption, {IDOK});
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(process->IsRunning());
    EXPECT_TRUE(Visible(kPath) && Visible(kBrowse) && Visible(kPathLabel) && !Visible(kProgress));
    for (const std::string& folder : {target, kDefaultFolder, std::string("\\V-Trelmox")}) {
      EXPECT_FALSE(Exists(folder)) << folder;
    }
  }

  // What a run left behind: the program and library files in `installFolder`, byte for byte
  // and nothing else (the file held open during the install as it was), and the loader entries,
  // fonts, driver and trusted paths of the releases `served`. A run that served nothing ended
  // before it registered anything.
  void ExpectInstalled(const std::string& installFolder, const std::set<int>& served,
                       const std::string& held = "") {
    if (!served.empty()) {
      Files files = Samples(kVortel, kProgramFiles);
      files[kLibrary] = "";
      if (!held.empty()) files[held] = kHeldContents;
      EXPECT_EQ(FolderFiles(installFolder), files);
      EXPECT_EQ(FolderFiles(installFolder + "\\" + kLibrary), Samples(kVortel, kLibraryFiles));
    }
    for (const Installation& acad : kInstallations) {
      SCOPED_TRACE(acad.year);
      const bool isServed = served.count(acad.year) != 0;
      const std::string entry = acad.key + "\\Applications\\Vortel" + std::to_string(acad.year);
      const std::string loader = installFolder + "\\Vortel" + std::to_string(acad.loaderYear);
      EXPECT_EQ(Stored(kHkeyLocalMachine, entry, "LOADER"), isServed ? loader + ".ARX" : "none");
      EXPECT_EQ(Stored(kHkeyLocalMachine, entry, "LOADCTRLS"), isServed ? "dword 2" : "none");
      Files fonts = Samples(kAutoCad, {"txt.shx", "Vortel_EN.shx"});
      if (isServed) fonts.insert_or_assign("Vortel_EN.shx", Sample(kVortel, "Vortel_EN.shx"));
      if (isServed) fonts.insert_or_assign("Vortel_HZ.shx", Sample(kVortel, "Vortel_HZ.shx"));
      EXPECT_EQ(FolderFiles(AcadFolder(acad) + "\\Fonts"), fonts);
      const bool withDriver = isServed && acad.year == 2008;
      EXPECT_EQ(FolderFiles(AcadFolder(acad) + "\\Drv"),
                (Files{{"pdfplot9.hdi", withDriver ? Sample(kVortel, "Vortel.prt5")
                                                   : Sample(kAutoCad, "pdfplot9.hdi")}}));
    }
    std::string upperFolder = installFolder;
    CharUpperBuffA(upperFolder.data(), static_cast<DWORD>(upperFolder.size()));
    EXPECT_EQ(Stored(kHkeyCurrentUser, kTrusting, "TRUSTEDPATHS"),
              served.empty() ? "C:\\Tools" : "C:\\TOOLS;" + upperFolder);
    EXPECT_EQ(Stored(kHkeyCurrentUser, kNewProfile + "\\Variables", "TRUSTEDPATHS"),
              served.empty() ? "none" : installFolder);
  }

  // Begins an install into `target` while a file it must write is held open without sharing,
  // so that its copy fails; returns the copy-failure message.
  MessageBoxView InstallOverAHeldFile(Layout layout) {
    MakeFolders({target, targetInstall});
    EXPECT_TRUE(support::WriteWholeFile(heldPath, kHeldContents));
    held.emplace(
        CreateFileA(heldPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_NE(held->Get(), INVALID_HANDLE_VALUE);
    StartFrom(layout);
    TypeFolder(target);
    const MessageBoxView box = ClickInstall();
    ExpectBox(box, platform::FormatText(texts::kCopyFailedFormat, heldPath.c_str()),
              texts::kSoftwareSetupCaption, {IDABORT, IDRETRY, IDIGNORE});
    return box;
  }

 private:
  static void MakeFolders(std::initializer_list<std::string> folders) {
    for (const std::string& folder : folders) {
      ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    }
  }
  static void Write(const std::string& folder, const Files& files) {
    for (const auto& [name, contents] : files) {
      ASSERT_TRUE(support::WriteWholeFile(folder + "\\" + name, contents)) << name;
    }
  }

  std::string AcadFolder(const Installation& acad) const {
    return scratch.Path() + "\\acad\\AutoCAD " + std::to_string(acad.year);
  }

  // A REG_SZ value's text (checked to be stored with its NUL), "dword N", or "none".
  std::string Stored(platform::RegKey root, const std::string& path, const char* name) {
    const integration::StoredValue value = seed.Read(root, path, name);
    if (!value.found) return "none";
    if (value.type == REG_DWORD && value.data.size() == 4) {
      return "dword " + std::to_string(value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                                       value.data[3] << 24);
    }
    EXPECT_EQ(value.type, static_cast<std::uint32_t>(REG_SZ)) << path;
    EXPECT_EQ(value.data.size(), value.Text().size() + 1) << "stored with its NUL: " << path;
    return value.Text();
  }
};

TEST_F(InstallUnderWine, InstallsTheTickedReleasesIntoTheDefaultFolder) {
  StartFrom(Layout::ProgramBesideData);
  Click(kBox2012);  // the user unticks AutoCAD 2012
  const MessageBoxView box = ClickInstall();
  ExpectBox(box, texts::kInstallFinished, texts::kToolboxSetupCaption, {IDOK});
  // Behind the closing message: the bar full, the folder row hidden, the folder as typed.
  EXPECT_EQ(SendMessageA(Item(kProgress), PBM_GETPOS, 0, 0), 50);
  EXPECT_EQ(SendMessageA(Item(kProgress), PBM_GETRANGE, FALSE, 0), 50);
  EXPECT_TRUE(Visible(kProgress));
  for (int id : {kPathLabel, kPath, kBrowse}) EXPECT_FALSE(Visible(id)) << id;
  EXPECT_EQ(WindowText(Item(kPath)), kDefaultFolder);
  Finish(box, IDOK);
  ExpectInstalled(kDefaultFolder + "\\V-Trelmox", {2008, 2009, 2016});
}

TEST_F(InstallUnderWine, WithoutItsDataFolderSaysSoAndEndsWithNothingInstalled) {
  StartFrom(Layout::NoData);
  TypeFolder(target);
  const MessageBoxView box = ClickInstall();
  ExpectBox(box, texts::kPackageNotFound, texts::kSoftwareSetupCaption, {IDOK});
  Finish(box, IDOK);
  EXPECT_EQ(FolderFiles(target), (Files{{"V-Trelmox", ""}})) << "the folders made stay, empty";
  EXPECT_EQ(FolderFiles(targetInstall), Files{});
  ExpectInstalled(targetInstall, {});
}

TEST_F(InstallUnderWine, RefusesOnceWhileAutoCadRunsAndAnEmptyFolderThenTakesTheFolderTyped) {
  const std::string acadProgram = scratch.Path() + "\\ACAD.EXE";
  ASSERT_TRUE(CopyFileA(IdleProgram().c_str(), acadProgram.c_str(), FALSE));
  const SetupProcess acad(acadProgram);  // ended by its handle however the test ends
  ASSERT_TRUE(acad.IsRunning());
  StartFrom(Layout::ProgramBesideData);
  TypeFolder("");
  ExpectRefused(ClickInstall(), texts::kCloseAcadFirst);
  ExpectRefused(ClickInstall(), texts::kChooseInstallPath);
  ASSERT_TRUE(acad.IsRunning());
  TypeFolder(target + "\\");  // its backslash is dropped
  ExpectFinished(ClickInstall());
  ExpectInstalled(targetInstall, kVisibleReleases);
}

TEST_F(InstallUnderWine, ACopyFailureAnsweredWithAbortEndsTheDialogBeforeRegistering) {
  Finish(InstallOverAHeldFile(Layout::ProgramBesideData), IDABORT);
  held.reset();
  // The files copied before the failure stay whole; the library and later steps never came.
  for (const auto& [name, contents] : FolderFiles(targetInstall)) {
    EXPECT_EQ(contents, name == kHeldFile ? kHeldContents : Sample(kVortel, name)) << name;
  }
  EXPECT_FALSE(Exists(targetInstall + "\\" + kLibrary));
  ExpectInstalled(targetInstall, {});
}

TEST_F(InstallUnderWine, FromInsideItsDataFolderACopyFailureIgnoredLeavesThatFileAndGoesOn) {
  ASSERT_TRUE(AnswerMessageBox(InstallOverAHeldFile(Layout::ProgramInData), IDIGNORE));
  ExpectFinished(WaitForMessageBox(dialog));
  held.reset();
  ExpectInstalled(targetInstall, kVisibleReleases, kHeldFile);
}

}  // namespace
}  // namespace e2e
