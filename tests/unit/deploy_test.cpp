// Finding the package, copying its files in, and placing the fonts and the driver into AutoCAD's folders.
#include <gtest/gtest.h>

#include "deploy/acad_folders.h"
#include "deploy/copy_job.h"
#include "deploy/file_utilities.h"
#include "platform/dialog.h"
#include "platform/format.h"
#include "platform/texts.h"
#include "support/world.h"
#include "ui/dialog_questions.h"
#include "ui/resources/resource.h"

using namespace platform;
using fakes::kShallow;
using fakes::Names;

namespace {

const std::string kPackage = "D:\\pkg\\Data", kInstalled = "C:\\Vortel\\V-Trelmox",
                  kLibrary = std::string("\\") + texts::kExtensionLibraryFolder;

const deploy::PlacedEarlier kNone = [](const std::string&, const platform::FileDigest&) { return false; };

std::string CopyFailed(const std::string& path) { return FormatText(texts::kCopyFailedFormat, path.c_str()); }

// The program in D:\pkg beside its Data folder, C:\Vortel to install into; the files written, the bytes counted.
struct Package : fakes::World, core::Report {
  Package() {
    files.AddFolder(kPackage);
    files.AddFolder("C:\\Vortel");
    bar.Attach(window, IDC_PROGRESS);
  }
  bool CopyProgramFiles(const std::string& folder = kInstalled + "\\") {
    bool copied = false;
    {
      CopyJob job(folder, bar, questions, *this, services);
      copied = job.CopyProgramFiles() == CopyJob::Result::Copied;
      bytes = job.BytesCopied();
    }
    EXPECT_TRUE(AllReleased());
    return copied;
  }
  void CopyExtensionLibrary(const std::string& folder = kInstalled) {
    CopyJob(folder, bar, questions, *this, services).CopyExtensionLibrary();
    EXPECT_TRUE(AllReleased());
  }
  platform::ErrorCode Done(const core::Effect& effect) override {
    if (effect.kind == core::EffectKind::FileCopied) written.push_back(effect.fields[0]);
    return platform::kErrorSuccess;
  }
  std::string Read(const std::string& path) const { return files.Read(path).value_or("<none>"); }

  fakes::FakeWindow window;
  ProgressControl bar;
  DialogQuestions questions{desktop, window.Handle()};
  Names written;
  std::uint64_t bytes = 0;
};

// Data wins over the marker beside it; a file named Data, a folder named like the marker, a path cut are none.
TEST(PackageLocation, DataBesideTheProgramOrElseTheProgramFolderHoldingTheMarker) {
  const std::string deep = "I:\\" + std::string(246, 'p');
  Package world;
  for (const std::string& folder : Names{"G:\\pkg\\Vortel2010.arx", deep + "\\Data"}) world.files.AddFolder(folder);
  for (const char* file : {"D:\\pkg\\Vortel2010.arx", "E:\\pkg\\Data\\Vortel2010.arx", "G:\\pkg\\Data"}) world.files.AddFile(file);
  world.files.AddFolder("F:\\pkg\\Data", kFileAttributeDirectory | kFileAttributeReadOnly);
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"D:\\pkg\\SetUp.exe", kPackage}, {"E:\\pkg\\Data\\SetUp.exe", "E:\\pkg\\Data"}, {"F:\\pkg\\SetUp.exe", "F:\\pkg\\Data"},
      {"G:\\pkg\\SetUp.exe", ""}, {"H:\\empty\\SetUp.exe", ""}, {"D:\\pkg\\" + kShallow + ".exe", kPackage},
      {"D:\\pkg\\A" + kShallow, kPackage}, {deep + "\\SetUp1.exe", deep + "\\Data"}, {deep + "\\SetUp12.exe", ""}};
  // clang-format on
  for (const auto& [program, expected] : cases) {
    world.files.modulePath = program;
    world.desktop.boxes.clear();
    std::string folder;
    EXPECT_EQ(deploy::LocatePackageFolder(world.services, world.questions, folder) ? folder : "", expected) << program;
    EXPECT_EQ(world.desktop.boxes.size(), expected.empty() ? 1u : 0u) << program;
    EXPECT_TRUE(world.AllReleased());
  }
}

// Each file once among the program files and once in the library, holding its own name.
TEST(Copying, EachCopyTakesWhatItsRulesAllowWritableAndCountedAndProgramFilesLoseTheirZoneMark) {
  const std::uint32_t file = kFileAttributeArchive, readOnly = file | kFileAttributeReadOnly, folder = kFileAttributeDirectory;
  const std::string mark = texts::kExtensionLibraryMark;
  // clang-format off
  const struct { std::string name; std::uint32_t attributes; bool programFile, libraryFile; } rows[] = {
      {"Vortel2011.arx", file, true, true}, {"Vortel.prt5", file, true, true}, {"setup.exe", file, false, true},
      {"SetUp.exe.old", file, true, true}, {"vortel_en.SHX", file, false, true}, {"VORTEL_HZ.shx", file, false, true},
      {"LICENSE", file, false, true}, {mark + ".txt", file, false, true}, {"A" + mark + "B.dwg", file, false, true},
      {"\x81" + mark + "X.dat", file, true, true},  // the mark's bytes from a trail byte on
      {"docs.d", folder, false, false}, {"data.ro", folder | kFileAttributeReadOnly | kFileAttributeHidden | 0x2000, false, false},
      {"new.arx", readOnly, true, true}, {"disc.arx", readOnly, true, true},  // the latter on read-only media
      {"old.arx", file, true, true}, {"zone.arx", file, true, true}};
  // clang-format on
  Package world;
  std::uint64_t programBytes = 0;
  for (const auto& row : rows) {
    for (const std::string& source : {kPackage + "\\" + row.name, kPackage + kLibrary + "\\" + row.name}) {
      row.attributes& folder ? world.files.AddFolder(source, row.attributes) : world.files.AddFile(source, row.name, row.attributes);
    }
    programBytes += row.programFile ? row.name.size() : 0;
  }
  for (const std::string& in : {std::string(), kLibrary}) {
    world.faults.Fail("SetAttributes", kPackage + in + "\\disc.arx", kErrorAccessDenied);
    world.files.AddFile(kPackage + in + "\\zone.arx:Zone.Identifier");
    world.files.AddFile(kInstalled + in + "\\old.arx", "stale", readOnly);  // left by an earlier install
  }
  EXPECT_TRUE(world.CopyProgramFiles());
  EXPECT_EQ(world.bytes, programBytes);
  world.CopyExtensionLibrary();
  for (const auto& row : rows) {
    for (const auto& [to, copied] : {std::pair{kInstalled, row.programFile}, {kInstalled + kLibrary, row.libraryFile}}) {
      EXPECT_EQ(world.Read(to + "\\" + row.name), copied ? row.name : "<none>") << to;
      EXPECT_EQ(world.files.GetAttributes(to + "\\" + row.name), copied ? kFileAttributeArchive : kInvalidFileAttributes);
    }
  }
  EXPECT_EQ(world.files.GetAttributes(kPackage + "\\new.arx"), kFileAttributeArchive);
  EXPECT_TRUE(world.desktop.boxes.empty());
  for (const auto& [from, marked] :
       {std::pair{kPackage, false}, {kInstalled, false}, {kPackage + kLibrary, true}, {kInstalled + kLibrary, true}}) {
    EXPECT_EQ(world.files.Delete(from + "\\zone.arx:Zone.Identifier") == kErrorSuccess, marked) << from;
  }
}

// A listing holds two entries more than files: "." and "..". Every entry is examined, however many.
TEST(Copying, EachTurnStepsTheBarTheScansCopyEveryEntryAndPathsTooLongFailTheirCopies) {
  // clang-format off
  const struct { bool library; int files, steps, copied; } scans[] = {
      {false, 0, 3, 0}, {false, 163, 166, 163}, {true, 123, 126, 123}};
  // clang-format on
  for (const auto& scan : scans) {
    Package world;
    world.files.AddFolder(kInstalled);
    const std::string from = scan.library ? kPackage + kLibrary : kPackage;
    for (int n = 0; n < scan.files; ++n) world.files.AddFile(from + "\\f" + std::to_string(n) + ".dll");
    if (scan.library) world.CopyExtensionLibrary();
    EXPECT_TRUE(scan.library || world.CopyProgramFiles());
    EXPECT_EQ(world.window.Count(IDC_PROGRESS, kPbmStepIt), scan.steps) << scan.files;
    EXPECT_EQ(world.written.size(), static_cast<std::size_t>(scan.copied));
  }
  // 259 characters fit the path buffers, but not with the library's name; a file ignored is not written.
  Package deep;
  const std::string longest = "C:\\" + std::string(256, 'v');
  deep.files.AddFolder(longest + "w");
  for (const std::string& file : {kPackage + "\\a.arx", kPackage + kLibrary + "\\b.dwg"}) deep.files.AddFile(file, "a");
  EXPECT_TRUE(deep.CopyProgramFiles(longest));
  deep.CopyExtensionLibrary(longest);
  EXPECT_EQ(deep.files.Names(longest), Names{"a.arx"});
  deep.desktop.answers = {kIdRetry, kIdIgnore};
  EXPECT_TRUE(deep.CopyProgramFiles(longest + "w"));
  EXPECT_EQ(deep.bytes, 0u);
  deep.CopyExtensionLibrary(longest + "w");
  EXPECT_TRUE(deep.files.Names(longest + "w").empty());
  EXPECT_EQ(deep.written, Names{longest + "\\a.arx"});
  EXPECT_EQ(deep.BoxTexts(), Names(2, CopyFailed(longest + "w\\a.arx")));
  Package far;  // its search pattern (263 bytes) would not fit: it cannot be listed
  far.files.modulePath = "D:\\" + std::string(251, 'p') + "\\a.exe";
  far.files.AddFile("D:\\" + std::string(251, 'p') + "\\Data\\a.arx");
  EXPECT_FALSE(far.CopyProgramFiles());
  EXPECT_EQ(far.BoxTexts(), Names{CopyFailed(kInstalled)});
}

// 2007 to 2009 ticked: the fonts into each, the driver into 2008's with AutoCAD's own kept beside it.
TEST(AcadFolders, FontsGoToEveryTickedInstallationAndTheDriverTo2008OnlyAndFailuresAreSilent) {
  Package world;
  CAcadInstallInfo info{world.services};
  for (const char* name : {"Vortel_EN.shx", "Vortel_HZ.shx", "Vortel.prt5"}) world.files.AddFile(kPackage + "\\" + name, name);
  const std::string deep = "C:\\" + std::string(251, 'd');  // its Fonts path (260 bytes) is too long: left alone; 259 fit
  const std::string fonts = "Vortel_EN.shxVortel_HZ.shx", none = "<none><none>", driver = "Vortel.prt5AutoCAD's";
  // clang-format off
  const struct { int year; std::string folder, fonts, driver; } rows[] = {
      {2007, "C:\\A7", fonts, "AutoCAD's<none>"}, {2008, "C:\\A8", fonts, driver}, {2008, "C:\\A8b", fonts, driver},
      {2009, "C:\\A9", fonts, "AutoCAD's<none>"}, {2010, "C:\\A10", none, "AutoCAD's<none>"}, {2008, deep, none, driver},
      {2008, deep.substr(0, 253), fonts, driver}, {2008, "C:\\RO", "oldVortel_HZ.shx", driver}, {2008, "C:\\Bare", none, none}};
  // clang-format on
  for (const auto& row : rows) {
    if (row.folder != "C:\\Bare") world.files.AddFile(row.folder + "\\Drv\\pdfplot9.hdi", "AutoCAD's");
    world.files.AddFolder(row.folder + (row.folder != "C:\\Bare" ? "\\Fonts" : ""));
    info.m_arrAcadLocation[row.year - 2007].push_back(row.folder);
  }
  world.files.AddFile("C:\\RO\\Fonts\\Vortel_EN.shx", "old", kFileAttributeReadOnly);
  deploy::DeployToAcadFolders(info, acad::ReleaseTicks{1, 1, 1}, world.questions, world, kNone);
  for (const auto& row : rows) {
    EXPECT_EQ(world.Read(row.folder + "\\Fonts\\Vortel_EN.shx") + world.Read(row.folder + "\\Fonts\\Vortel_HZ.shx"), row.fonts);
    EXPECT_EQ(world.Read(row.folder + "\\Drv\\pdfplot9.hdi") + world.Read(row.folder + "\\Drv\\pdfplot9.hdi.vortel-backup"), row.driver)
        << row.folder;
  }
  EXPECT_TRUE(world.files.Names("C:\\Bare").empty()) << "nothing is created";
  EXPECT_TRUE(world.desktop.boxes.empty() && world.AllReleased());
  world.files.modulePath = "E:\\elsewhere\\SetUp.exe";
  deploy::DeployToAcadFolders(info, acad::ReleaseTicks{1}, world.questions, world, kNone);
  EXPECT_EQ(world.desktop.boxes.size(), 1u) << "each folder served reports the package missing";
}

}  // namespace
