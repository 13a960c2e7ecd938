#include <windows.h>

#include <map>
#include <string>

#include "contract_world.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "scratch_folder.h"

namespace contract {
namespace {

class Win32World final : public World {
 public:
  ~Win32World() override {
    for (const auto& held : m_held) CloseHandle(held.second);
  }

  platform::Registry& Registry() override { return m_registry; }
  platform::FileSystem& Files() override { return m_files; }
  platform::Processes& Processes() override { return m_processes; }
  std::string ScratchFolder() override { return m_scratch.Path(); }
  void WriteFile(const std::string& path, const std::string& contents) override {
    support::WriteWholeFile(path, contents);
  }
  std::string ReadFile(const std::string& path) override { return support::ReadWholeFile(path); }

  void HoldOpen(const std::string& path, bool held) override {
    const auto found = m_held.find(path);
    if (found != m_held.end()) {
      CloseHandle(found->second);
      m_held.erase(found);
    }
    if (!held) return;
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) m_held[path] = file;
  }

  bool IsWine() override {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  }

 private:
  platform::Win32Registry m_registry;
  platform::Win32FileSystem m_files;
  platform::Win32Processes m_processes;
  support::ScratchFolder m_scratch{"contract"};
  std::map<std::string, HANDLE> m_held;
};

}  // namespace

std::unique_ptr<World> MakeWorld() { return std::make_unique<Win32World>(); }

}  // namespace contract
