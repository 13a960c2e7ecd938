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
  for (const std::string& file : {folder + "\\a.arx", std::string("C:\\Vortel\\b.arx"), std::string("C:\\b.arx")})
    world.files.AddFile(file, "a");
  world.files.AddFolder("C:\\Vortel\\Empty");
  CAcadInstallInfo info{world.services};
  platform::NoProgressBar bar;
  journal::RemoveInstallation(journal::RemovalRun{world.services, info, world.log, bar}, folder, false);
  REQUIRE(world.AllReleased());
  REQUIRE(world.files.Read("C:\\Vortel\\b.arx") == "a" && world.files.Read("C:\\b.arx") == "a");
  REQUIRE(world.files.Exists("C:\\Vortel\\Empty"));
  for (const std::string& call : world.faults.calls) {
    const std::string method = call.substr(0, call.find(' ')), path = call.substr(call.find(' ') + 1);
    const bool acts =
        std::string(" OpenEntry DeleteOpened Move Delete RemoveFolder SetAttributes CreateFileForWriting ").find(" " + method + " ") !=
        std::string::npos;
    REQUIRE(!acts || platform::IsPlainPath(path, platform::IsCp936LeadByte));
  }
  return 0;
}
