// Finding the installation package, the small file operations and the AutoCAD process test.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "deploy/file_utilities.h"
#include "gbk.h"
#include "support/fake_services.h"

using namespace platform;

namespace {

const std::string kShallow = "\x9C\x5C";  // 淺: its trail byte is a backslash

class PackageLocation : public ::testing::Test {
 protected:
  // The package folder found for a program at `programPath`, or nothing; a failed search
  // shows exactly one message, a successful one none.
  std::optional<std::string> Locate(const std::string& programPath) {
    world.files.modulePath = programPath;
    world.desktop.shown.clear();
    std::string folder = "unchanged";
    const bool found = deploy::LocatePackageFolder(world.services, folder);
    EXPECT_EQ(world.files.OpenFindCount(), 0);
    EXPECT_EQ(world.desktop.shown.size(), found ? 0u : 1u);
    if (!found) return std::nullopt;
    return folder;
  }

  fakes::FakeServices world;
};

TEST_F(PackageLocation, DataFolderBesideTheProgramIsPreferredToTheMarker) {
  world.files.AddFile("D:\\pkg\\SetUp.exe");
  world.files.AddFolder("D:\\pkg\\Data");
  EXPECT_EQ(Locate("D:\\pkg\\SetUp.exe"), "D:\\pkg\\Data");
  world.files.AddFile("D:\\pkg\\Vortel2010.arx");
  EXPECT_EQ(Locate("D:\\pkg\\SetUp.exe"), "D:\\pkg\\Data");
  // The program inside the data folder, recognised by the marker beside it.
  world.files.AddFile("D:\\pkg\\Data\\Vortel2010.arx");
  EXPECT_EQ(Locate("D:\\pkg\\Data\\SetUp.exe"), "D:\\pkg\\Data");
  // A read-only folder is a folder too.
  world.files.AddFolder("E:\\pkg\\Data", kFileAttributeDirectory | kFileAttributeReadOnly);
  EXPECT_EQ(Locate("E:\\pkg\\SetUp.exe"), "E:\\pkg\\Data");
}

TEST_F(PackageLocation, AFileNamedDataAndAFolderNamedLikeTheMarkerAreNoPackage) {
  world.files.AddFile("D:\\pkg\\Data");
  world.files.AddFolder("D:\\pkg\\Vortel2010.arx");
  EXPECT_EQ(Locate("D:\\pkg\\SetUp.exe"), std::nullopt);

  const fakes::ShownBox& box = world.desktop.shown.at(0);
  EXPECT_EQ(box.owner, world.desktop.activeWindow);
  EXPECT_EQ(box.type, kMbOk);
  EXPECT_EQ(box.caption, ToGbk("V-软件安装"));
  EXPECT_EQ(box.text, ToGbk("未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n"
                            "请解压后再执行SetUp.exe !"));
  // Nothing at all beside the program.
  EXPECT_EQ(Locate("F:\\empty\\SetUp.exe"), std::nullopt);
}

TEST_F(PackageLocation, ProgramFolderEndsAtTheLastSeparatorFoundByCharacters) {
  world.files.AddFolder("D:\\pkg\\Data");
  EXPECT_EQ(Locate("D:\\pkg\\" + kShallow + ".exe"), "D:\\pkg\\Data");
  EXPECT_EQ(Locate("D:\\pkg\\A" + kShallow), "D:\\pkg\\Data");
}

TEST_F(PackageLocation, AProgramPathTheBufferWouldCutIsRefused) {
  const std::string folder = "D:\\" + std::string(246, 'p');
  world.files.AddFolder(folder + "\\Data");
  const std::string fits = folder + "\\SetUp1.exe";
  ASSERT_EQ(fits.size(), 260u);
  EXPECT_EQ(Locate(fits), folder + "\\Data");
  EXPECT_EQ(Locate(folder + "\\SetUp12.exe"), std::nullopt);
  EXPECT_EQ(Locate(folder + "\\" + std::string(300, 'x') + ".exe"), std::nullopt);
}

TEST(ReadOnlyAndZoneMark, OnlyTheReadOnlyBitAndTheZoneStreamGo) {
  fakes::FakeServices world;
  const std::string file = "C:\\a\\file.txt";
  world.files.AddFile(file, "x", kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeArchive);
  deploy::ClearReadOnly(world.services, file);
  EXPECT_EQ(world.files.GetAttributes(file), kFileAttributeHidden | kFileAttributeArchive);
  deploy::ClearReadOnly(world.services, "C:\\a\\none");
  EXPECT_FALSE(world.files.Exists("C:\\a\\none"));
  world.files.AddFolder("C:\\a\\ro.d", kFileAttributeDirectory | kFileAttributeReadOnly);
  deploy::ClearReadOnly(world.services, "C:\\a\\ro.d");
  EXPECT_EQ(world.files.GetAttributes("C:\\a\\ro.d"), kFileAttributeDirectory);

  EXPECT_FALSE(deploy::RemoveZoneIdentifier(world.services, file));
  world.files.AddFile(file + ":Zone.Identifier");
  EXPECT_TRUE(deploy::RemoveZoneIdentifier(world.services, file));
  EXPECT_FALSE(deploy::RemoveZoneIdentifier(world.services, file));
  EXPECT_EQ(world.files.Contents(file), "x");
  EXPECT_FALSE(deploy::RemoveZoneIdentifier(world.services, "C:\\a\\none"));
}

TEST(AcadProcess, AnyExecutableNameContainingAcadExeInAnyCaseCounts) {
  const struct {
    std::vector<std::string> running;
    bool expected;
  } cases[] = {
      {{"System", "acad.exe"}, true},
      {{"ACAD.EXE"}, true},
      {{"explorer.exe", "AcAd.ExE"}, true},
      {{"myacad.exe.bak"}, true},
      {{"acadlt.exe", "acad.ex", "acad_exe"}, false},
      {{"\xD7\xC0" "ACAD.EXE"}, true},
      {{}, false},
  };
  for (const auto& [running, expected] : cases) {
    fakes::FakeServices world;
    world.processes.running = running;
    EXPECT_EQ(deploy::IsAcadRunning(world.services), expected) << ::testing::PrintToString(running);
  }
  fakes::FakeServices world;
  world.processes.running = {"acad.exe"};
  world.processes.snapshotFails = true;
  EXPECT_FALSE(deploy::IsAcadRunning(world.services));
}

}  // namespace
