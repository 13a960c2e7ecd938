#include "contract_world.h"
#include "support/fake_file_system.h"
#include "support/fake_processes.h"
#include "support/fake_registry.h"

namespace contract {
namespace {

const char kScratch[] = "C:\\users\\tester\\Temp\\contract";

class FakeWorld final : public World {
 public:
  FakeWorld() {
    m_files.modulePath = "C:\\build\\tests\\contract_tests.exe";
    m_files.AddFolder(kScratch);
    m_processes.running = {"[System Process]", "explorer.exe", "contract_tests.exe"};
  }

  platform::Registry& Registry() override { return m_registry; }
  platform::FileSystem& Files() override { return m_files; }
  platform::Processes& Processes() override { return m_processes; }
  std::string ScratchFolder() override { return kScratch; }
  void WriteFile(const std::string& path, const std::string& contents) override {
    m_files.AddFile(path, contents);
  }
  std::string ReadFile(const std::string& path) override {
    return m_files.Contents(path).value_or("");
  }
  void HoldOpen(const std::string& path, bool held) override { m_files.Faults(path).inUse = held; }
  bool IsWine() override { return false; }

 private:
  fakes::FakeRegistry m_registry;
  fakes::FakeFileSystem m_files;
  fakes::FakeProcesses m_processes;
};

}  // namespace

std::unique_ptr<World> MakeWorld() { return std::make_unique<FakeWorld>(); }

}  // namespace contract
