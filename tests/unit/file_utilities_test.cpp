// Finding the installation package and telling whether AutoCAD runs.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "deploy/file_utilities.h"
#include "gbk.h"
#include "support/fake_services.h"

using namespace platform;

namespace {

TEST(PackageLocation, DataBesideTheProgramOrElseTheProgramFolderHoldingTheMarker) {
  const std::string shallow = "\x9C\x5C";  // 淺: its trail byte is a backslash
  const std::string deep = "I:\\" + std::string(246, 'p');
  fakes::FakeServices world;
  world.files.AddFolder("D:\\pkg\\Data");
  world.files.AddFile("D:\\pkg\\Vortel2010.arx");
  world.files.AddFile("E:\\pkg\\Data\\Vortel2010.arx");
  world.files.AddFolder("F:\\pkg\\Data", kFileAttributeDirectory | kFileAttributeReadOnly);
  world.files.AddFile("G:\\pkg\\Data");
  world.files.AddFolder("G:\\pkg\\Vortel2010.arx");
  world.files.AddFolder(deep + "\\Data");
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"D:\\pkg\\SetUp.exe", "D:\\pkg\\Data"},  // preferred to the marker beside it
      {"E:\\pkg\\Data\\SetUp.exe", "E:\\pkg\\Data"},
      {"F:\\pkg\\SetUp.exe", "F:\\pkg\\Data"},  // a read-only folder is a folder too
      {"G:\\pkg\\SetUp.exe", std::nullopt},     // a file "Data", a folder like the marker
      {"H:\\empty\\SetUp.exe", std::nullopt},
      // The program's folder ends at the last separator found by characters.
      {"D:\\pkg\\" + shallow + ".exe", "D:\\pkg\\Data"},
      {"D:\\pkg\\A" + shallow, "D:\\pkg\\Data"},
      // 260 characters fit the buffer; a longer path would come back cut and is refused.
      {deep + "\\SetUp1.exe", deep + "\\Data"},
      {deep + "\\SetUp12.exe", std::nullopt},
      {deep + "\\" + std::string(300, 'x') + ".exe", std::nullopt},
  };
  for (const auto& [program, expected] : cases) {
    world.files.modulePath = program;
    world.desktop.shown.clear();
    std::string folder;
    const bool found = deploy::LocatePackageFolder(world.services, folder);
    EXPECT_EQ(found ? std::optional(folder) : std::nullopt, expected) << program;
    EXPECT_EQ(world.desktop.shown.size(), expected ? 0u : 1u) << program;
    EXPECT_EQ(world.files.OpenFindCount(), 0);
  }
  const fakes::ShownBox& box = world.desktop.shown.at(0);
  EXPECT_EQ(box.owner, world.desktop.activeWindow);
  EXPECT_EQ(box.type, kMbOk);
  EXPECT_EQ(box.caption, ToGbk("V-软件安装"));
  EXPECT_EQ(box.text, ToGbk("未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n"
                            "请解压后再执行SetUp.exe !"));
}

TEST(AcadProcess, AnyExecutableNameContainingAcadExeInAnyCaseCounts) {
  const std::pair<std::vector<std::string>, bool> cases[] = {
      {{"System", "acad.exe"}, true},
      {{"explorer.exe", "AcAd.ExE"}, true},
      {{"myacad.exe.bak"}, true},
      {{"\xD7\xC0" "ACAD.EXE"}, true},
      {{"acadlt.exe", "acad.ex", "acad_exe"}, false},
      {{}, false},
  };
  for (const auto& [running, expected] : cases) {
    fakes::FakeServices world;
    world.processes.running = running;
    EXPECT_EQ(deploy::IsAcadRunning(world.services), expected)
        << ::testing::PrintToString(running);
  }
  fakes::FakeServices world;
  world.processes.running = {"acad.exe"};
  world.processes.snapshotFails = true;
  EXPECT_FALSE(deploy::IsAcadRunning(world.services));
}

}  // namespace
