// The services a contract test runs against: the fakes natively, the Win32 ones under Wine.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/processes.h"
#include "platform/registry.h"

namespace contract {

class World {
 public:
  virtual ~World() = default;
  virtual platform::Registry& Registry() = 0;
  virtual platform::FileSystem& Files() = 0;
  virtual platform::Processes& Processes() = 0;

  // A folder of the world's own, empty at first and removed with the world.
  virtual std::string ScratchFolder() = 0;
  // Writes and reads a file the way another program would, around the services.
  virtual void WriteFile(const std::string& path, const std::string& contents) = 0;
  virtual std::string ReadFile(const std::string& path) = 0;
  // Holds a file open without sharing, as a running program holds its files, or lets it go.
  virtual void HoldOpen(const std::string& path, bool held) = 0;
  // Whether the services are Wine's, which differ from Windows where a test says so.
  virtual bool IsWine() = 0;
};

std::unique_ptr<World> MakeWorld();

}  // namespace contract
