// Copying the package's program files and its extension library into the installation folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "deploy/copy_job.h"
#include "gbk.h"
#include "platform/texts.h"
#include "support/fake_progress_bar.h"
#include "support/fake_services.h"

using namespace platform;

namespace {

const std::string kPackage = "D:\\pkg\\Data";
const std::string kInstall = "C:\\Vortel\\V-Trelmox";
const std::string kLibrary = texts::kExtensionLibraryFolder;
const std::string kMark = texts::kExtensionLibraryMark;
const std::string kPackageLibrary = kPackage + "\\" + kLibrary;
const std::string kInstalledLibrary = kInstall + "\\" + kLibrary;

std::string In(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

std::string CopyFailedText(const std::string& destination) {
  return ToGbk("拷贝文件 ") + destination +
         ToGbk(" 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统");
}

// A package beside the program at D:\pkg, an installation folder to be made in C:\Vortel.
class PackageWorld {
 public:
  PackageWorld() {
    files.modulePath = "D:\\pkg\\SetUp.exe";
    files.AddFolder(kPackage);
    files.AddFolder("C:\\Vortel");
  }

  bool CopyProgramFiles(const std::string& installDir = kInstall + "\\") {
    CopyJob job(installDir, bar, world.services);
    const bool result = job.CopyProgramFiles();
    EXPECT_EQ(files.OpenFindCount(), 0);
    return result;
  }
  void CopyExtensionLibrary(const std::string& installDir = kInstall) {
    CopyJob job(installDir, bar, world.services);
    job.CopyExtensionLibrary();
    EXPECT_EQ(files.OpenFindCount(), 0);
  }

  // Files f000.dll, f001.dll, ... in `folder`, each holding its own name.
  void AddNumberedFiles(const std::string& folder, int count) {
    for (int number = 0; number < count; ++number) {
      char name[16];
      std::snprintf(name, sizeof name, "f%03d.dll", number);
      files.AddFile(In(folder, name), name);
    }
  }
  std::vector<std::string> ShownTexts() const {
    std::vector<std::string> texts;
    for (const fakes::ShownBox& box : desktop.shown) texts.push_back(box.text);
    return texts;
  }
  int CountNumberedFiles(const std::string& folder) {
    int count = 0;
    for (const std::string& name : files.Names(folder)) count += name[0] == 'f' ? 1 : 0;
    return count;
  }

  fakes::FakeServices world;
  fakes::FakeFileSystem& files = world.files;
  fakes::FakeDesktop& desktop = world.desktop;
  fakes::FakeProgressBar bar;
};

class Copying : public ::testing::Test, public PackageWorld {};

TEST_F(Copying, FilterRulesDecideWhatEachCopyTakes) {
  const std::uint32_t file = kFileAttributeArchive;
  const std::uint32_t folder = kFileAttributeDirectory;
  const struct Row {
    std::string name;
    std::uint32_t attributes;
    bool programFile;   // copied by the program-file copy
    bool libraryFile;   // copied by the library copy when it stands in the library folder
    bool failureShown;  // the program-file copy tried and failed
  } rows[] = {
      {"Vortel2011.arx", file, true, true, false},
      {"Vortel.prt5", file, true, true, false},
      {"SetUp.EXE", file, false, true, false},
      {"setup.exe", file, false, true, false},
      {"SETUP.exe", file, false, true, false},
      {"SetUp.exe.old", file, true, true, false},
      {"vortel_en.SHX", file, false, true, false},
      {"VORTEL_HZ.shx", file, false, true, false},
      {"LICENSE", file, false, true, false},
      {kMark + ".txt", file, false, true, false},
      {"A" + kMark + "B.dwg", file, false, true, false},
      // The mark's bytes, but starting on a trail byte: no mark by characters.
      {"\x81" + kMark + "X.dat", file, true, true, false},
      {"docs.d", folder, false, false, false},
      {"Vortel" + kMark, folder, false, false, false},
      // A folder with a further attribute passes the folder rule; copying it fails.
      {"data.ro", folder | kFileAttributeReadOnly, false, false, true},
      {"plain", folder | kFileAttributeHidden, false, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PackageWorld fresh;
    for (const std::string& source : {In(kPackage, row.name), In(kPackageLibrary, row.name)}) {
      if (row.attributes & kFileAttributeDirectory) {
        fresh.files.AddFolder(source, row.attributes);
      } else {
        fresh.files.AddFile(source, "bytes", row.attributes);
      }
    }
    fresh.desktop.answers = {kIdIgnore};
    EXPECT_TRUE(fresh.CopyProgramFiles());
    fresh.CopyExtensionLibrary();

    const std::string programCopy = In(kInstall, row.name);
    EXPECT_EQ(fresh.files.Contents(programCopy).has_value(), row.programFile);
    EXPECT_EQ(fresh.files.Contents(In(kInstalledLibrary, row.name)).has_value(), row.libraryFile);
    const std::vector<std::string> expectedTexts(row.failureShown, CopyFailedText(programCopy));
    EXPECT_EQ(fresh.ShownTexts(), expectedTexts);
  }
}

TEST_F(Copying, EachTurnStepsTheBarAndTheScansStopAfter101And81Entries) {
  const struct {
    bool library;
    int files;  // the listing holds two entries more: "." and ".."
    int steps;
    int copied;
  } scans[] = {{false, 0, 3, 0},    {false, 97, 100, 97}, {false, 98, 101, 98},
               {false, 99, 101, 99}, {false, 100, 101, 99}, {false, 148, 101, 99},
               {true, 77, 80, 77},   {true, 78, 81, 78},    {true, 79, 81, 79},
               {true, 80, 81, 79},   {true, 98, 81, 79}};
  for (const auto& scan : scans) {
    SCOPED_TRACE(::testing::Message() << (scan.library ? "library " : "program ") << scan.files);
    PackageWorld fresh;
    fresh.files.AddFolder(kInstall);
    fresh.AddNumberedFiles(scan.library ? kPackageLibrary : kPackage, scan.files);
    if (scan.library) {
      fresh.CopyExtensionLibrary();
    } else {
      EXPECT_TRUE(fresh.CopyProgramFiles());
    }
    EXPECT_EQ(fresh.bar.Steps(), scan.steps);
    EXPECT_EQ(fresh.bar.messages.size(), static_cast<std::size_t>(scan.steps));
    EXPECT_EQ(fresh.CountNumberedFiles(scan.library ? kInstalledLibrary : kInstall), scan.copied);
  }
}

TEST_F(Copying, ReadOnlyFilesOnEitherSideEndUpWritable) {
  const std::uint32_t readOnly = kFileAttributeArchive | kFileAttributeReadOnly;
  for (const std::string& source : {kPackage, kPackageLibrary}) {
    files.AddFile(In(source, "new.arx"), "new", readOnly);
    // A package on read-only media: its files stay read-only, their copies must not.
    files.AddFile(In(source, "disc.arx"), "disc", readOnly);
    files.Faults(In(source, "disc.arx")).denyWrite = true;
    files.AddFile(In(source, "old.arx"), "fresh");
    files.AddFile(In(source, "stuck.arx"), "fresh");
  }
  for (const std::string& destination : {kInstall, kInstalledLibrary}) {
    files.AddFile(In(destination, "old.arx"), "stale", readOnly);
    // Left by an earlier install, and its attribute cannot be changed.
    files.AddFile(In(destination, "stuck.arx"), "stale", readOnly);
    files.Faults(In(destination, "stuck.arx")).denyWrite = true;
  }
  desktop.answers = {kIdIgnore};
  ASSERT_TRUE(CopyProgramFiles());
  CopyExtensionLibrary();
  for (const std::string& destination : {kInstall, kInstalledLibrary}) {
    for (const char* name : {"new.arx", "disc.arx", "old.arx"}) {
      EXPECT_EQ(files.GetAttributes(In(destination, name)), kFileAttributeArchive) << name;
    }
    EXPECT_EQ(files.Contents(In(destination, "old.arx")), "fresh");
    EXPECT_EQ(files.Contents(In(destination, "stuck.arx")), "stale");
  }
  EXPECT_EQ(files.GetAttributes(In(kPackage, "new.arx")), kFileAttributeArchive);
  EXPECT_EQ(ShownTexts(), std::vector<std::string>{CopyFailedText(In(kInstall, "stuck.arx"))});
}

TEST_F(Copying, ZoneMarkIsTakenFromProgramFilesOnly) {
  files.AddFile(In(kPackage, "a.arx"), "a");
  files.AddFile(In(kPackage, "a.arx:Zone.Identifier"));
  files.AddFile(In(kPackageLibrary, "b.dwg"), "b");
  files.AddFile(In(kPackageLibrary, "b.dwg:Zone.Identifier"));
  ASSERT_TRUE(CopyProgramFiles());
  CopyExtensionLibrary();
  EXPECT_EQ(files.Delete(In(kPackage, "a.arx:Zone.Identifier")), kErrorFileNotFound);
  EXPECT_EQ(files.Delete(In(kInstall, "a.arx:Zone.Identifier")), kErrorFileNotFound);
  EXPECT_EQ(files.Delete(In(kPackageLibrary, "b.dwg:Zone.Identifier")), kErrorSuccess);
  EXPECT_EQ(files.Delete(In(kInstalledLibrary, "b.dwg:Zone.Identifier")), kErrorSuccess);
}

class CopyFailure : public Copying {
 protected:
  // a.arx, b.arx and c.arx in the package; the installed b.arx is held open by someone.
  CopyFailure() {
    for (const char* name : {"a.arx", "b.arx", "c.arx"}) files.AddFile(In(kPackage, name), name);
    files.AddFile(In(kInstall, "b.arx"), "old");
    files.Faults(In(kInstall, "b.arx")).inUse = true;
  }
  bool Copied(const char* name) { return files.Contents(In(kInstall, name)) == name; }
};

TEST_F(CopyFailure, AbortEndsTheCopyAndKeepsWhatWasCopied) {
  EXPECT_FALSE(CopyProgramFiles());
  EXPECT_TRUE(Copied("a.arx"));
  EXPECT_FALSE(Copied("b.arx"));
  EXPECT_FALSE(files.Exists(In(kInstall, "c.arx")));
  EXPECT_EQ(bar.Steps(), 4);
  ASSERT_EQ(desktop.shown.size(), 1u);
  const fakes::ShownBox& box = desktop.shown[0];
  EXPECT_EQ(box.owner, desktop.activeWindow);
  EXPECT_EQ(box.type, kMbAbortRetryIgnore);
  EXPECT_EQ(box.caption, ToGbk("V-软件安装"));
  EXPECT_EQ(box.text, CopyFailedText("C:\\Vortel\\V-Trelmox\\b.arx"));
}

TEST_F(CopyFailure, IgnoreLeavesTheFileAndGoesOn) {
  desktop.answers = {kIdIgnore};
  EXPECT_TRUE(CopyProgramFiles());
  EXPECT_TRUE(Copied("a.arx"));
  EXPECT_EQ(files.Contents(In(kInstall, "b.arx")), "old");
  EXPECT_TRUE(Copied("c.arx"));
  EXPECT_EQ(bar.Steps(), 6);
  EXPECT_EQ(desktop.shown.size(), 1u);
}

TEST_F(CopyFailure, RetryAsksAgainUntilTheCauseIsGone) {
  desktop.answers = {kIdRetry, kIdRetry, kIdRetry};
  desktop.onShow = [this](const fakes::ShownBox&) {
    if (desktop.shown.size() == 3) files.Faults(In(kInstall, "b.arx")).inUse = false;
  };
  EXPECT_TRUE(CopyProgramFiles());
  EXPECT_TRUE(Copied("a.arx"));
  EXPECT_TRUE(Copied("b.arx"));
  EXPECT_TRUE(Copied("c.arx"));
  EXPECT_EQ(ShownTexts(), std::vector<std::string>(3, CopyFailedText(In(kInstall, "b.arx"))));
}

TEST_F(Copying, RetryClearsTheReadOnlyMarkThatCouldNotBeClearedBefore) {
  files.AddFile(In(kPackage, "a.arx"), "new");
  // An earlier install's read-only copy, whose attribute cannot be changed for the moment.
  files.AddFile(In(kInstall, "a.arx"), "old", kFileAttributeArchive | kFileAttributeReadOnly);
  files.Faults(In(kInstall, "a.arx")).denyWrite = true;
  desktop.answers = {kIdRetry};
  desktop.onShow = [this](const fakes::ShownBox&) {
    files.Faults(In(kInstall, "a.arx")).denyWrite = false;
  };
  EXPECT_TRUE(CopyProgramFiles());
  EXPECT_EQ(files.Contents(In(kInstall, "a.arx")), "new");
  EXPECT_EQ(files.GetAttributes(In(kInstall, "a.arx")), kFileAttributeArchive);
  EXPECT_EQ(desktop.shown.size(), 1u);
}

TEST_F(CopyFailure, AMessageBoxThatCannotBeShownEndsTheCopyAsAbortWould) {
  desktop.answers = {0};
  EXPECT_FALSE(CopyProgramFiles());
  EXPECT_EQ(desktop.shown.size(), 1u);
  EXPECT_FALSE(files.Exists(In(kInstall, "c.arx")));
}

TEST_F(Copying, MissingPackageOrLibraryFolder) {
  files.AddFolder(kPackageLibrary);
  files.AddFile(In(kPackageLibrary, "a.dwg"));
  files.modulePath = "D:\\elsewhere\\SetUp.exe";
  EXPECT_FALSE(CopyProgramFiles());
  CopyExtensionLibrary();
  EXPECT_FALSE(files.Exists(kInstall));
  EXPECT_EQ(bar.Steps(), 0);
  ASSERT_EQ(desktop.shown.size(), 2u);
  EXPECT_EQ(desktop.shown[1].text, texts::kPackageNotFound);

  // A package without a library: its folder is made all the same, and nothing is said.
  PackageWorld fresh;
  fresh.files.AddFolder(kInstall);
  fresh.CopyExtensionLibrary();
  EXPECT_TRUE(fresh.files.Exists(kInstalledLibrary));
  EXPECT_TRUE(fresh.files.Names(kInstalledLibrary).empty());
  EXPECT_EQ(fresh.bar.Steps(), 0);
  EXPECT_TRUE(fresh.desktop.shown.empty());
}

TEST_F(Copying, FoldersThatCannotBeMadeFailTheirCopies) {
  files.AddFile(In(kPackage, "a.arx"));
  files.AddFile(In(kPackageLibrary, "b.dwg"));
  files.Faults("C:\\Vortel").denyWrite = true;
  desktop.answers = {kIdIgnore};
  EXPECT_TRUE(CopyProgramFiles());
  files.Faults("C:\\Vortel").denyWrite = false;
  files.AddFolder(kInstall);
  files.Faults(kInstall).denyWrite = true;
  CopyExtensionLibrary();
  EXPECT_FALSE(files.Exists(kInstalledLibrary));
  EXPECT_EQ(ShownTexts(), std::vector<std::string>{CopyFailedText(In(kInstall, "a.arx"))});
}

TEST_F(Copying, InstallSidePathsThatWouldNotFitTheBuffersAreRefused) {
  files.AddFile(In(kPackage, "a.arx"), "a");
  files.AddFile(In(kPackageLibrary, "b.dwg"), "b");
  const std::string longest = "C:\\" + std::string(256, 'v');  // 259 characters
  files.AddFolder(longest);
  EXPECT_TRUE(CopyProgramFiles(longest));
  EXPECT_EQ(files.Contents(In(longest, "a.arx")), "a");
  // With the library's name the folder's path would be too long: silently left out.
  CopyExtensionLibrary(longest);
  EXPECT_EQ(files.Names(longest), std::vector<std::string>{"a.arx"});
  EXPECT_TRUE(desktop.shown.empty());

  const std::string tooLong = longest + "w";
  files.AddFolder(tooLong);
  desktop.answers = {kIdRetry, kIdIgnore};
  EXPECT_TRUE(CopyProgramFiles(tooLong));
  CopyExtensionLibrary(tooLong);
  EXPECT_TRUE(files.Names(tooLong).empty());
  EXPECT_EQ(ShownTexts(), std::vector<std::string>(2, CopyFailedText(In(tooLong, "a.arx"))));
}

TEST_F(Copying, APackageWhoseSearchPatternWouldNotFitIsReported) {
  const std::string programFolder = "D:\\" + std::string(251, 'p');
  files.modulePath = programFolder + "\\a.exe";
  files.AddFile(In(programFolder + "\\Data", "a.arx"));
  ASSERT_EQ(In(programFolder + "\\Data", "*.*").size(), 263u);
  EXPECT_FALSE(CopyProgramFiles());
  EXPECT_EQ(ShownTexts(), std::vector<std::string>{CopyFailedText(kInstall)});
  desktop.answers = {kIdIgnore};
  EXPECT_TRUE(CopyProgramFiles());
  EXPECT_TRUE(files.Names(kInstall).empty());
  EXPECT_EQ(bar.Steps(), 0);
}

TEST_F(Copying, APackageThatCannotBeListedWholeIsAFailedCopy) {
  files.AddFile(In(kPackage, "a.arx"), "a");
  files.AddFile(In(kPackage, "b.arx"), "b");
  files.Faults(kPackage).failList = true;
  EXPECT_FALSE(CopyProgramFiles());
  EXPECT_EQ(ShownTexts(), std::vector<std::string>{CopyFailedText(kInstall)});
  desktop.answers = {kIdIgnore};
  EXPECT_TRUE(CopyProgramFiles());
  EXPECT_TRUE(files.Names(kInstall).empty());
  desktop.answers = {kIdRetry};
  desktop.onShow = [this](const fakes::ShownBox&) { files.Faults(kPackage).failList = false; };
  EXPECT_TRUE(CopyProgramFiles());
  EXPECT_EQ(files.Names(kInstall), (std::vector<std::string>{"a.arx", "b.arx"}));
  EXPECT_EQ(desktop.shown.size(), 3u);

  // A listing that breaks off after the first file, found by numbering the calls of a clean copy.
  files.Delete(In(kInstall, "a.arx"));
  files.Delete(In(kInstall, "b.arx"));
  desktop.onShow = nullptr;
  fakes::FaultPlan plan;
  PackageWorld clean;
  clean.files.AddFile(In(kPackage, "a.arx"));
  clean.files.AddFile(In(kPackage, "b.arx"));
  clean.files.faultPlan = &plan;
  clean.CopyProgramFiles();
  const auto firstCopy = std::find(plan.calls.begin(), plan.calls.end(), "Copy " + In(kInstall, "a.arx"));
  const auto nextEntry = std::find(firstCopy, plan.calls.end(), "FindNext ");
  plan.planted = {{static_cast<int>(nextEntry - plan.calls.begin()), kErrorAccessDenied}};
  plan.calls.clear();
  files.faultPlan = &plan;
  EXPECT_FALSE(CopyProgramFiles());
  EXPECT_EQ(files.Names(kInstall), std::vector<std::string>{"a.arx"});
  EXPECT_EQ(ShownTexts().back(), CopyFailedText(kInstall));
}

}  // namespace
