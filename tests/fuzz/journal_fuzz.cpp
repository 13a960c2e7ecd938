// The journal's reader and its line checks on any bytes: never a crash, every handle closed, nothing outside the
// installation folder touched, and no file call ever made with a path that the plain-path rule refuses.
#include <cstdlib>

#include "journal/removal.h"
#include "platform/paths.h"
#include "support/world.h"

#define REQUIRE(condition) ((condition) ? void() : std::abort())

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string folder = "C:\\Vortel\\V-Trelmox";
  fakes::World world;
  world.files.AddFile(folder + "\\Uninstall.dat", "Vortel install journal 2\r\n" + std::string(data, data + size));
  world.files.AddFile(folder + "\\a.arx", "a");
  world.files.AddFile("C:\\Vortel\\b.arx", "a");
  world.files.AddFile("C:\\b.arx", "a");
  world.files.AddFolder("C:\\Vortel\\Empty");
  CAcadInstallInfo info{world.services};
  platform::NoProgressBar bar;
  journal::RemoveInstallation(journal::RemovalRun{world.services, info, world.log, bar}, folder, false);
  REQUIRE(world.AllReleased());
  REQUIRE(world.files.Read("C:\\Vortel\\b.arx") == "a" && world.files.Read("C:\\b.arx") == "a");
  REQUIRE(world.files.Exists("C:\\Vortel\\Empty"));
  for (const std::string& call : world.faults.calls) {
    const std::size_t space = call.find(' ');
    const std::string method = call.substr(0, space), path = call.substr(space + 1);
    const bool acts = method == "OpenEntry" || method == "DeleteOpened" || method == "Move" || method == "Delete" ||
                      method == "RemoveFolder" || method == "SetAttributes" || method == "CreateFileForWriting";
    REQUIRE(!acts || platform::IsPlainPath(path, platform::IsCp936LeadByte));
  }
  return 0;
}
