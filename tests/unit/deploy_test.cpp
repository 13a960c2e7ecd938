// Finding the package, telling whether AutoCAD runs, copying the package's files into the
// installation folder, and placing the fonts and the plot driver into AutoCAD's folders.
#include <gtest/gtest.h>

#include "acad/install_info.h"
#include "deploy/copy_job.h"
#include "deploy/file_utilities.h"
#include "platform/dialog.h"
#include "platform/format.h"
#include "platform/texts.h"
#include "support/world.h"
#include "ui/dialog_questions.h"

using namespace platform;
using fakes::kShallow;
using fakes::Names;

namespace {

const std::string kPackage = "D:\\pkg\\Data", kInstalled = "C:\\Vortel\\V-Trelmox";
const std::string kLibrary = std::string("\\") + texts::kExtensionLibraryFolder;

std::string CopyFailed(const std::string& path) { return FormatText(texts::kCopyFailedFormat, path.c_str()); }

// The program in D:\pkg beside its Data folder, and C:\Vortel to install into.
struct Package : fakes::World {
  Package() {
    files.AddFolder(kPackage);
    files.AddFolder("C:\\Vortel");
    bar.Attach(window, 1014);
  }
  bool CopyProgramFiles(const std::string& folder = kInstalled + "\\") {
    const bool copied = CopyJob(folder, bar, questions, log, services).CopyProgramFiles() == CopyJob::Result::Copied;
    EXPECT_TRUE(AllReleased());
    return copied;
  }
  void CopyExtensionLibrary(const std::string& folder = kInstalled) {
    CopyJob(folder, bar, questions, log, services).CopyExtensionLibrary();
    EXPECT_TRUE(AllReleased());
  }
  Names Texts() const { return BoxTexts(); }

  fakes::FakeWindow window;
  ProgressControl bar;
  DialogQuestions questions{desktop, window.Handle()};
};

TEST(PackageLocation, DataBesideTheProgramOrElseTheProgramFolderHoldingTheMarker) {
  const std::string deep = "I:\\" + std::string(246, 'p');
  fakes::World world;
  DialogQuestions questions(world.desktop, 0xD141);
  world.files.AddFolder("D:\\pkg\\Data");
  world.files.AddFile("D:\\pkg\\Vortel2010.arx");
  world.files.AddFile("E:\\pkg\\Data\\Vortel2010.arx");
  world.files.AddFolder("F:\\pkg\\Data", kFileAttributeDirectory | kFileAttributeReadOnly);
  world.files.AddFile("G:\\pkg\\Data");
  world.files.AddFolder("G:\\pkg\\Vortel2010.arx");
  world.files.AddFolder(deep + "\\Data");
  const std::pair<std::string, std::string> cases[] = {
      {"D:\\pkg\\SetUp.exe", "D:\\pkg\\Data"},  // preferred to the marker beside it
      {"E:\\pkg\\Data\\SetUp.exe", "E:\\pkg\\Data"}, {"F:\\pkg\\SetUp.exe", "F:\\pkg\\Data"},
      {"G:\\pkg\\SetUp.exe", ""},  // a file named Data, a folder named like the marker
      {"H:\\empty\\SetUp.exe", ""}, {"D:\\pkg\\" + kShallow + ".exe", "D:\\pkg\\Data"},
      {"D:\\pkg\\A" + kShallow, "D:\\pkg\\Data"},
      {deep + "\\SetUp1.exe", deep + "\\Data"},  // 260 characters fit the buffer
      {deep + "\\SetUp12.exe", ""}};             // a longer path comes back cut
  for (const auto& [program, expected] : cases) {
    world.files.modulePath = program;
    world.desktop.boxes.clear();
    std::string folder;
    EXPECT_EQ(deploy::LocatePackageFolder(world.services, questions, folder) ? folder : "", expected) << program;
    EXPECT_EQ(world.desktop.boxes.size(), expected.empty() ? 1u : 0u) << program;
    EXPECT_TRUE(world.AllReleased());
  }
  const fakes::ShownBox& box = world.desktop.boxes.at(0);
  EXPECT_EQ(box.text + box.caption + std::to_string(box.type) + std::to_string(box.owner),
            texts::kPackageNotFound + std::string(texts::kSoftwareSetupCaption) + "0" + std::to_string(0xD141));
}

TEST(Copying, FilterRulesDecideWhatEachCopyTakes) {
  const std::uint32_t file = kFileAttributeArchive, folder = kFileAttributeDirectory;
  const std::string mark = texts::kExtensionLibraryMark;
  const struct {
    std::string name;
    std::uint32_t attributes;
    bool programFile, libraryFile;
  } rows[] = {
      {"Vortel2011.arx", file, true, true}, {"Vortel.prt5", file, true, true}, {"SetUp.EXE", file, false, true},
      {"setup.exe", file, false, true},     {"SETUP.exe", file, false, true},   {"SetUp.exe.old", file, true, true},
      {"vortel_en.SHX", file, false, true}, {"VORTEL_HZ.shx", file, false, true}, {"LICENSE", file, false, true},
      {mark + ".txt", file, false, true},   {"A" + mark + "B.dwg", file, false, true},
      {"\x81" + mark + "X.dat", file, true, true},  // the mark's bytes from a trail byte on
      {"docs.d", folder, false, false},     {"Vortel" + mark, folder, false, false},
      // A folder is a folder whatever else its attributes say.
      {"data.ro", folder | kFileAttributeReadOnly, false, false}, {"hidden.h", folder | kFileAttributeHidden, false, false},
      {"index.n", folder | 0x2000, false, false}};
  for (const auto& row : rows) {
    Package world;
    for (const std::string& source : {kPackage + "\\" + row.name, kPackage + kLibrary + "\\" + row.name}) {
      if (row.attributes & folder) world.files.AddFolder(source, row.attributes);
      else world.files.AddFile(source, "bytes", row.attributes);
    }
    world.desktop.answers = {kIdIgnore};
    EXPECT_TRUE(world.CopyProgramFiles());
    world.CopyExtensionLibrary();
    EXPECT_EQ(world.files.Read(kInstalled + "\\" + row.name).has_value(), row.programFile) << row.name;
    EXPECT_EQ(world.files.Read(kInstalled + kLibrary + "\\" + row.name).has_value(), row.libraryFile) << row.name;
    EXPECT_TRUE(world.desktop.boxes.empty()) << row.name;
  }
}

TEST(Copying, EachTurnStepsTheBarAndTheScansStopAfter101And81Entries) {
  const struct {
    bool library;
    int files, steps, copied;  // a listing holds two entries more: "." and ".."
  } scans[] = {{false, 0, 3, 0},   {false, 98, 101, 98}, {false, 99, 101, 99}, {false, 148, 101, 99},
               {true, 78, 81, 78}, {true, 79, 81, 79},   {true, 98, 81, 79}};
  for (const auto& scan : scans) {
    Package world;
    world.files.AddFolder(kInstalled);
    const std::string from = scan.library ? kPackage + kLibrary : kPackage;
    for (int n = 0; n < scan.files; ++n) world.files.AddFile(from + "\\f" + std::to_string(1000 + n) + ".dll");
    if (scan.library) world.CopyExtensionLibrary();
    else EXPECT_TRUE(world.CopyProgramFiles());
    EXPECT_EQ(world.window.Count(1014, kPbmStepIt), scan.steps) << scan.files;
    EXPECT_EQ(world.window.items[1014].messages.size(), static_cast<std::size_t>(scan.steps));
    EXPECT_EQ(world.files.Names(scan.library ? kInstalled + kLibrary : kInstalled).size(), static_cast<std::size_t>(scan.copied));
  }
}

TEST(Copying, CopiesComeOutWritableAndProgramFilesLoseTheirZoneMark) {
  Package world;
  const std::uint32_t readOnly = kFileAttributeArchive | kFileAttributeReadOnly;
  for (const std::string& source : {kPackage, kPackage + kLibrary}) {
    world.files.AddFile(source + "\\new.arx", "new", readOnly);
    world.files.AddFile(source + "\\disc.arx", "disc", readOnly);  // on read-only media
    world.faults.Fail("SetAttributes", source + "\\disc.arx", kErrorAccessDenied);
    world.files.AddFile(source + "\\old.arx", "fresh");
    world.files.AddFile(source + "\\zone.arx", "z");
    world.files.AddFile(source + "\\zone.arx:Zone.Identifier");
  }
  world.files.AddFile(kInstalled + "\\old.arx", "stale", readOnly);  // left by an earlier install
  world.files.AddFile(kInstalled + kLibrary + "\\old.arx", "stale", readOnly);
  ASSERT_TRUE(world.CopyProgramFiles());
  world.CopyExtensionLibrary();
  for (const std::string& folder : {kInstalled, kInstalled + kLibrary}) {
    for (const char* name : {"\\new.arx", "\\disc.arx", "\\old.arx"}) {
      EXPECT_EQ(world.files.GetAttributes(folder + name), kFileAttributeArchive) << folder + name;
    }
    EXPECT_EQ(world.files.Read(folder + "\\old.arx"), "fresh");
  }
  EXPECT_EQ(world.files.GetAttributes(kPackage + "\\new.arx"), kFileAttributeArchive);
  EXPECT_TRUE(world.desktop.boxes.empty());
  for (const auto& [file, marked] : {std::pair{kPackage, false}, {kInstalled, false},
                                     {kPackage + kLibrary, true}, {kInstalled + kLibrary, true}}) {
    EXPECT_EQ(world.files.Delete(file + "\\zone.arx:Zone.Identifier") == kErrorSuccess, marked) << file;
  }
}

TEST(Copying, PackagesThatCannotBeListedAndPathsTooLongFailTheirCopies) {
  // A package that cannot be listed, or whose listing breaks off, is one failed copy.
  for (const char* call : {"FindFirst", "FindNext"}) {
    Package listing;
    listing.files.AddFile(kPackage + "\\a.arx", "a");
    listing.faults.Fail(call, kPackage + "\\*.*", kErrorAccessDenied);
    EXPECT_FALSE(listing.CopyProgramFiles()) << call;
    listing.desktop.answers = {kIdRetry};
    listing.desktop.onBox = [&] { listing.faults.planted.clear(); };
    EXPECT_TRUE(listing.CopyProgramFiles());
    EXPECT_EQ(listing.Texts(), Names(2, CopyFailed(kInstalled)));
    EXPECT_EQ(listing.files.Read(kInstalled + "\\a.arx"), "a");
  }
  // 259 characters fit the path buffers; with the library's name the library does not.
  Package deep;
  const std::string longest = "C:\\" + std::string(256, 'v');
  deep.files.AddFolder(longest + "w");
  deep.files.AddFile(kPackage + "\\a.arx", "a");
  deep.files.AddFile(kPackage + kLibrary + "\\b.dwg", "b");
  EXPECT_TRUE(deep.CopyProgramFiles(longest));
  deep.CopyExtensionLibrary(longest);
  EXPECT_EQ(deep.files.Names(longest), Names{"a.arx"});
  deep.desktop.answers = {kIdRetry, kIdIgnore};
  EXPECT_TRUE(deep.CopyProgramFiles(longest + "w"));
  deep.CopyExtensionLibrary(longest + "w");
  EXPECT_TRUE(deep.files.Names(longest + "w").empty());
  EXPECT_EQ(deep.Texts(), Names(2, CopyFailed(longest + "w\\a.arx")));
  // A package whose search pattern (263 bytes) would not fit is one that cannot be listed.
  Package far;
  far.files.modulePath = "D:\\" + std::string(251, 'p') + "\\a.exe";
  far.files.AddFile("D:\\" + std::string(251, 'p') + "\\Data\\a.arx");
  EXPECT_FALSE(far.CopyProgramFiles());
  EXPECT_EQ(far.Texts(), Names{CopyFailed(kInstalled)});
}

TEST(AcadFolders, FontsGoToEveryTickedInstallationAndTheDriverTo2008OnlyAndFailuresAreSilent) {
  fakes::World world;
  CAcadInstallInfo info{world.services};
  DialogQuestions questions(world.desktop, 0xD141);
  for (const char* name : {"Vortel_EN.shx", "Vortel_HZ.shx", "Vortel.prt5"}) world.files.AddFile(kPackage + "\\" + name, name);
  const std::string deep = "C:\\" + std::string(251, 'd');  // its Fonts path (260 bytes) is too long
  for (const auto& [year, folder] : {std::pair{2007, std::string("C:\\A7")}, {2008, "C:\\A8"}, {2008, "C:\\A8b"},
                                     {2009, "C:\\A9"}, {2010, "C:\\A10"}, {2008, deep}, {2008, "C:\\RO"}}) {
    world.files.AddFile(folder + "\\Fonts\\txt.shx", "AutoCAD's");
    world.files.AddFile(folder + "\\Drv\\pdfplot9.hdi", "AutoCAD's");
    info.m_arrAcadLocation[year - 2007].push_back(folder);
  }
  world.files.AddFile("C:\\RO\\Fonts\\Vortel_EN.shx", "old", kFileAttributeReadOnly);
  world.files.AddFolder("C:\\Bare");
  info.m_arrAcadLocation[1].push_back("C:\\Bare");
  acad::ReleaseTicks ticks{1, 1, 1};  // 2007 to 2009
  info.DeployToAcadFolders(ticks, questions, world.log);
  const auto read = [&](const std::string& path) { return world.files.Read(path).value_or("<none>"); };
  for (const std::string folder : {"C:\\A7", "C:\\A8", "C:\\A8b", "C:\\A9"}) {
    EXPECT_EQ(read(folder + "\\Fonts\\Vortel_EN.shx") + read(folder + "\\Fonts\\Vortel_HZ.shx"), "Vortel_EN.shxVortel_HZ.shx");
    EXPECT_EQ(read(folder + "\\Drv\\pdfplot9.hdi"), folder.substr(0, 5) == "C:\\A8" ? "Vortel.prt5" : "AutoCAD's") << folder;
  }
  EXPECT_EQ(world.files.Names("C:\\A10\\Fonts"), Names{"txt.shx"}) << "not ticked";
  EXPECT_EQ(world.files.Names(deep + "\\Fonts"), Names{"txt.shx"});
  EXPECT_EQ(read(deep + "\\Drv\\pdfplot9.hdi"), "Vortel.prt5");
  EXPECT_EQ(read("C:\\RO\\Fonts\\Vortel_EN.shx") + read("C:\\RO\\Fonts\\Vortel_HZ.shx"), "oldVortel_HZ.shx");
  EXPECT_TRUE(world.files.Names("C:\\Bare").empty()) << "nothing is created";
  EXPECT_TRUE(world.desktop.boxes.empty() && world.AllReleased());
  world.files.modulePath = "E:\\elsewhere\\SetUp.exe";
  info.DeployToAcadFolders(acad::ReleaseTicks{1}, questions, world.log);
  EXPECT_EQ(world.desktop.boxes.size(), 1u) << "each folder served reports the package missing";
}

}  // namespace
