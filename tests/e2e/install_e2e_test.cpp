// SetUp.exe installing under Wine. Each case lays out a fresh package (SetUp.exe beside or inside
// its Data folder) and fresh AutoCAD folders in a scratch folder, seeds the registry, clicks
// through the dialog and answers its message boxes by window messages, then reads the files and
// registry values the install left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "platform/format.h"
#include "platform/texts.h"
#include "setup_fixture.h"
#include "scratch_folder.h"

#include <commctrl.h>

using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
using support::ReadWholeFile;
using support::SortedNames;

namespace e2e {
namespace {

const std::string kDefaultFolder = "C:\\Vortel";
const std::string kSubFolder = "\\V-Trelmox";
const std::string kLibrary = texts::kExtensionLibraryFolder;
const std::string kBinary("\0\xFF\x5C\r\n\x1A", 6);  // bytes no text conversion leaves alone

// The package's top-level files that an install copies into the installation folder.
const std::vector<std::string> kProgramFiles = {
    "Vortel2008.ARX", "Vortel2009.ARX", "Vortel2010.ARX", "Vortel2015.ARX", "Vortel.prt5",
    "\xCB\xB5\xC3\xF7.txt",  // 说明.txt
    "\x9C\x5C\xC9\xAB.dat",  // 淺色.dat: a trail byte that is a backslash
};
// Top-level files it leaves out: the fonts (they go to AutoCAD), a name without a dot, and the
// setup program under another capitalisation.
const std::vector<std::string> kSkippedFiles = {"Vortel_EN.shx", "Vortel_HZ.shx", "LICENSE",
                                                "SETUP.exe"};
// The extension library's files; all are copied, the name without a dot too.
const std::vector<std::string> kLibraryFiles = {"\xCD\xBC\xBF\xF2" "A3.dwg", "README"};

const char kHeldFile[] = "Vortel2009.ARX";
const std::string kHeldContents = "a file another program holds open";

struct Installation {
  int year;
  int loaderYear;  // the year of the loader module its entry names
  const char* root;
  const char* key;  // release and product below the root
  bool hasDrv;
  int boxId;
};
// 2019 is found but hidden, as the package serves 32-bit AutoCAD only.
const Installation kInstallations[] = {
    {2008, 2008, integration::kWowRoot, "R17.1\\ACAD-6001:804", true, 1019},
    {2009, 2009, integration::kNativeRoot, "R17.2\\ACAD-7001:804", true, 1020},
    {2012, 2010, integration::kNativeRoot, "R18.2\\ACAD-A001:804", true, 1028},
    {2016, 2015, integration::kNativeRoot, "R20.1\\ACAD-F001:804", false, 1032},
    {2019, 2019, integration::kNativeRoot, "R23.0\\ACAD-2001:804", true, 1035},
};
const std::set<int> kVisibleReleases = {2008, 2009, 2012, 2016};
const std::set<int> kNotReached = {};

// Two profiles of the user: one that trusts a folder already, one without "Variables".
const std::string kUserAcad = "SOFTWARE\\Autodesk\\AutoCAD\\";
const std::string kTrustingProfile = kUserAcad + "R17.1\\ACAD-6001:804\\Profiles\\<<Unnamed Profile>>";
const std::string kNewProfile = kUserAcad + "R20.1\\ACAD-F001:804\\Profiles\\Drafting";

std::string PackageContents(const std::string& name) { return "Vortel sample " + name + kBinary; }
std::string AcadContents(const std::string& name) { return "AutoCAD's own " + name + kBinary; }
bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

template <typename T>
std::vector<T> Sorted(std::vector<T> items) {
  std::sort(items.begin(), items.end());
  return items;
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

class InstallUnderWine : public SetupTest {
 protected:
  enum class Layout { ProgramBesideData, ProgramInData, NoData };

  // Made first and removed last, with all that a case lays out in it.
  support::ScratchFolder scratch{"install"};

  void TearDown() override {
    held.reset();
    SetupTest::TearDown();
    support::RemoveTree(kDefaultFolder);
  }

  // Lays out the package, the AutoCAD folders and the registry, and starts SetUp.exe from the
  // package.
  void StartFrom(Layout layout) {
    const std::string program = (layout == Layout::ProgramInData ? m_data : m_package) + "\\SetUp.exe";
    MakeFolders({m_package, m_acad});
    if (layout != Layout::NoData) LayOutData(layout);
    ASSERT_TRUE(CopyFileA(SetupProgram().c_str(), program.c_str(), FALSE)) << program;
    for (const Installation& acad : kInstallations) AddAcad(acad);
    seed.SetText(kHkeyCurrentUser, kTrustingProfile + "\\Variables", "TRUSTEDPATHS", "C:\\Tools");
    seed.SetText(kHkeyCurrentUser, kNewProfile, "ProfileName", "Drafting");
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
                        const std::vector<int>& buttons) {
    ASSERT_NE(box.window, nullptr) << "no message box";
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(Sorted(box.buttons), buttons);
  }

  // Answers the last message of a run; the program then ends.
  void Finish(const MessageBoxView& box, int answer) {
    ASSERT_TRUE(AnswerMessageBox(box, answer));
    EXPECT_TRUE(process->WaitForExit()) << "the program did not end";
  }

  // Answers the message that closes a finished install.
  void ExpectFinished(const MessageBoxView& box) {
    ExpectBox(box, texts::kInstallFinished, texts::kToolboxSetupCaption, {IDOK});
    Finish(box, IDOK);
  }

  // Answers a refusal: the dialog stays as it was, with its folder row, and nothing was made.
  void ExpectRefused(const MessageBoxView& box, const char* text) {
    ExpectBox(box, text, texts::kSoftwareSetupCaption, {IDOK});
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(process->IsRunning());
    EXPECT_TRUE(Visible(kPath) && Visible(kBrowse) && Visible(kPathLabel));
    EXPECT_FALSE(Visible(kProgress));
    for (const std::string& folder : {target, kDefaultFolder, kSubFolder}) {
      EXPECT_FALSE(Exists(folder)) << folder;
    }
  }

  // Every program file and library file in the installation folder, byte for byte, and nothing
  // else; the file held open during the install is as it was.
  void ExpectProgramFiles(const std::string& installFolder, const std::string& held = "") {
    std::vector<std::string> expected = kProgramFiles;
    expected.push_back(kLibrary);
    EXPECT_EQ(SortedNames(installFolder), Sorted(expected));
    for (const std::string& name : kProgramFiles) {
      EXPECT_EQ(ReadWholeFile(installFolder + "\\" + name),
                name == held ? kHeldContents : PackageContents(name))
          << name;
    }
    const std::string library = installFolder + "\\" + kLibrary;
    EXPECT_EQ(SortedNames(library), Sorted(kLibraryFiles)) << "one level, no sub-folder";
    for (const std::string& name : kLibraryFiles) {
      EXPECT_EQ(ReadWholeFile(library + "\\" + name), PackageContents(name)) << name;
    }
  }

  // The loader entries, AutoCAD's folders and the user's trusted paths after a run that served
  // the releases `served`; with kNotReached the run ended before registering anything.
  void ExpectRegisteredAndDeployed(const std::string& installFolder, const std::set<int>& served) {
    for (const Installation& acad : kInstallations) {
      SCOPED_TRACE(acad.year);
      const bool isServed = served.count(acad.year) != 0;
      ExpectLoaderEntry(acad, isServed ? installFolder : "");
      const std::string folder = AcadFolder(acad);
      EXPECT_EQ(SortedNames(folder + "\\Fonts"),
                isServed ? (std::vector<std::string>{"Vortel_EN.shx", "Vortel_HZ.shx", "txt.shx"})
                         : (std::vector<std::string>{"Vortel_EN.shx", "txt.shx"}));
      EXPECT_EQ(ReadWholeFile(folder + "\\Fonts\\Vortel_EN.shx"),
                isServed ? PackageContents("Vortel_EN.shx") : AcadContents("Vortel_EN.shx"));
      if (isServed) {
        EXPECT_EQ(ReadWholeFile(folder + "\\Fonts\\Vortel_HZ.shx"), PackageContents("Vortel_HZ.shx"));
      }
      EXPECT_EQ(Exists(folder + "\\Drv"), acad.hasDrv) << "no folder is made";
      if (acad.hasDrv) {
        EXPECT_EQ(ReadWholeFile(folder + "\\Drv\\pdfplot9.hdi"),
                  isServed && acad.year == 2008 ? PackageContents("Vortel.prt5")
                                                : AcadContents("pdfplot9.hdi"));
      }
    }
    const bool registered = served != kNotReached;
    ExpectTrustedPaths(kTrustingProfile, registered ? "C:\\TOOLS;" + Upper(installFolder) : "C:\\Tools");
    ExpectTrustedPaths(kNewProfile, registered ? installFolder : "");
  }

  // Begins an install into `target` while a file it must write is held open without sharing,
  // so that its copy fails; returns the copy-failure message.
  MessageBoxView InstallOverAHeldFile() {
    MakeFolders({target, targetInstall});
    EXPECT_TRUE(support::WriteWholeFile(heldPath, kHeldContents));
    held.emplace(CreateFileA(heldPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_NE(held->Get(), INVALID_HANDLE_VALUE);
    StartFrom(Layout::ProgramBesideData);
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
  static void Write(const std::string& folder, const std::string& name, const std::string& contents) {
    ASSERT_TRUE(support::WriteWholeFile(folder + "\\" + name, contents)) << folder << "\\" << name;
  }

  void LayOutData(Layout layout) {
    const std::string library = m_data + "\\" + kLibrary;
    MakeFolders({m_data, m_data + "\\docs.v", library, library + "\\sub"});
    for (const std::string& name : kProgramFiles) Write(m_data, name, PackageContents(name));
    for (const std::string& name : kSkippedFiles) {
      // Inside the Data folder the setup program itself stands for the last of them.
      if (layout == Layout::ProgramInData && name == kSkippedFiles.back()) continue;
      Write(m_data, name, PackageContents(name));
    }
    for (const std::string& name : kLibraryFiles) Write(library, name, PackageContents(name));
    Write(library + "\\sub", "deeper.dwg", PackageContents("deeper.dwg"));
  }

  std::string AcadFolder(const Installation& acad) const {
    return m_acad + "\\AutoCAD " + std::to_string(acad.year);
  }

  // An AutoCAD installation: its folder with AutoCAD's own font and driver and an older copy of
  // one of the add-on's fonts, and its product key.
  void AddAcad(const Installation& acad) {
    const std::string folder = AcadFolder(acad);
    MakeFolders({folder, folder + "\\Fonts"});
    Write(folder + "\\Fonts", "txt.shx", AcadContents("txt.shx"));
    Write(folder + "\\Fonts", "Vortel_EN.shx", AcadContents("Vortel_EN.shx"));
    if (acad.hasDrv) {
      MakeFolders({folder + "\\Drv"});
      Write(folder + "\\Drv", "pdfplot9.hdi", AcadContents("pdfplot9.hdi"));
    }
    const std::string year = std::to_string(acad.year);
    AddInstall(acad.root + std::string(acad.key), folder,
               "AutoCAD " + year + " - \xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4");  // 简体中文
  }

  // The demand-load entry of the release below its product key; none when `installFolder`
  // is empty.
  void ExpectLoaderEntry(const Installation& acad, const std::string& installFolder) {
    const std::string entry = acad.root + std::string(acad.key) + "\\Applications\\Vortel" +
                              std::to_string(acad.year);
    const integration::StoredValue loader = seed.Read(kHkeyLocalMachine, entry, "LOADER");
    const integration::StoredValue controls = seed.Read(kHkeyLocalMachine, entry, "LOADCTRLS");
    ASSERT_EQ(loader.found, !installFolder.empty()) << entry;
    if (!loader.found) return;
    EXPECT_EQ(loader.type, static_cast<std::uint32_t>(REG_SZ));
    EXPECT_EQ(loader.Text(), installFolder + "\\Vortel" + std::to_string(acad.loaderYear) + ".ARX");
    EXPECT_EQ(loader.data.size(), loader.Text().size() + 1) << "stored with its NUL";
    EXPECT_EQ(controls.type, static_cast<std::uint32_t>(REG_DWORD));
    EXPECT_EQ(controls.data, (std::vector<std::uint8_t>{2, 0, 0, 0}));
  }

  // TRUSTEDPATHS of a profile as a REG_SZ text; an empty `text` expects none.
  void ExpectTrustedPaths(const std::string& profile, const std::string& text) {
    const integration::StoredValue value =
        seed.Read(kHkeyCurrentUser, profile + "\\Variables", "TRUSTEDPATHS");
    ASSERT_EQ(value.found, !text.empty()) << profile;
    if (!value.found) return;
    EXPECT_EQ(value.type, static_cast<std::uint32_t>(REG_SZ)) << profile;
    EXPECT_EQ(value.Text(), text) << profile;
  }

  const std::string m_package = scratch.Path() + "\\package";
  const std::string m_data = m_package + "\\Data";
  const std::string m_acad = scratch.Path() + "\\acad";

 protected:
  const std::string target = scratch.Path() + "\\target";  // a folder the user types in
  const std::string targetInstall = target + kSubFolder;
  const std::string heldPath = targetInstall + "\\" + kHeldFile;
  std::optional<ScopedHandle> held;
};

TEST_F(InstallUnderWine, InstallsTheTickedReleasesIntoTheDefaultFolder) {
  StartFrom(Layout::ProgramBesideData);
  Click(kInstallations[2].boxId);  // the user unticks AutoCAD 2012
  const MessageBoxView box = ClickInstall();
  ExpectBox(box, texts::kInstallFinished, texts::kToolboxSetupCaption, {IDOK});
  // Behind the closing message: the bar full, the folder row hidden, the folder as typed.
  EXPECT_EQ(SendMessageA(Item(kProgress), PBM_GETPOS, 0, 0), 50);
  EXPECT_EQ(SendMessageA(Item(kProgress), PBM_GETRANGE, FALSE, 0), 50);
  EXPECT_TRUE(Visible(kProgress));
  for (int id : {kPathLabel, kPath, kBrowse}) EXPECT_FALSE(Visible(id)) << id;
  EXPECT_EQ(WindowText(Item(kPath)), kDefaultFolder);
  Finish(box, IDOK);

  ExpectProgramFiles(kDefaultFolder + kSubFolder);
  ExpectRegisteredAndDeployed(kDefaultFolder + kSubFolder, {2008, 2009, 2016});
}

TEST_F(InstallUnderWine, InstallsFromTheDataFolderTheProgramStandsIn) {
  StartFrom(Layout::ProgramInData);
  TypeFolder(target);
  ExpectFinished(ClickInstall());
  ExpectProgramFiles(targetInstall);
  ExpectRegisteredAndDeployed(targetInstall, kVisibleReleases);
}

TEST_F(InstallUnderWine, WithoutItsDataFolderSaysSoAndEndsWithNothingInstalled) {
  StartFrom(Layout::NoData);
  TypeFolder(target);
  const MessageBoxView box = ClickInstall();
  ExpectBox(box, texts::kPackageNotFound, texts::kSoftwareSetupCaption, {IDOK});
  Finish(box, IDOK);
  EXPECT_EQ(SortedNames(target), std::vector<std::string>{kSubFolder.substr(1)})
      << "the folders made before the copy stay";
  EXPECT_EQ(SortedNames(targetInstall), std::vector<std::string>{});
  ExpectRegisteredAndDeployed(targetInstall, kNotReached);
}

TEST_F(InstallUnderWine, RefusesOnceWhileAutoCadRunsThenInstallsOnTheNextClick) {
  const std::string acadProgram = scratch.Path() + "\\ACAD.EXE";
  ASSERT_TRUE(CopyFileA(IdleProgram().c_str(), acadProgram.c_str(), FALSE));
  const SetupProcess acad(acadProgram);  // ended by its handle however the test ends
  ASSERT_TRUE(acad.IsRunning());

  StartFrom(Layout::ProgramBesideData);
  TypeFolder(target);
  ExpectRefused(ClickInstall(), texts::kCloseAcadFirst);
  ASSERT_TRUE(acad.IsRunning());
  ExpectFinished(ClickInstall());
  ExpectProgramFiles(targetInstall);
}

TEST_F(InstallUnderWine, ACopyFailureAnsweredWithAbortEndsTheDialogBeforeRegistering) {
  const MessageBoxView box = InstallOverAHeldFile();
  Finish(box, IDABORT);
  held.reset();
  // The files copied before the failure stay whole; the library and later steps never came.
  for (const std::string& name : SortedNames(targetInstall)) {
    EXPECT_EQ(ReadWholeFile(targetInstall + "\\" + name),
              name == kHeldFile ? kHeldContents : PackageContents(name))
        << name;
  }
  EXPECT_FALSE(Exists(targetInstall + "\\" + kLibrary));
  ExpectRegisteredAndDeployed(targetInstall, kNotReached);
}

TEST_F(InstallUnderWine, ACopyFailureAnsweredWithIgnoreLeavesThatFileAndGoesOn) {
  ASSERT_TRUE(AnswerMessageBox(InstallOverAHeldFile(), IDIGNORE));
  ExpectFinished(WaitForMessageBox(dialog));
  held.reset();
  ExpectProgramFiles(targetInstall, kHeldFile);
  ExpectRegisteredAndDeployed(targetInstall, kVisibleReleases);
}

TEST_F(InstallUnderWine, RefusesAnEmptyFolderThenTakesTheCorrectedOneWithoutItsBackslash) {
  StartFrom(Layout::ProgramBesideData);
  TypeFolder("");
  ExpectRefused(ClickInstall(), texts::kChooseInstallPath);
  TypeFolder(target + "\\");
  ExpectFinished(ClickInstall());
  ExpectProgramFiles(targetInstall);
  ExpectRegisteredAndDeployed(targetInstall, kVisibleReleases);
}

}  // namespace
}  // namespace e2e
