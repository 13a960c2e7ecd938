// The ground every end-to-end case stands on: the registry seeded with AutoCAD installations
// and cleared afterwards, one SetUp.exe started and its dialog found, its controls at hand.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "e2e_main.h"
#include "platform/win32/win32_registry.h"
#include "registry_seeder.h"
#include "setup_window.h"

namespace e2e {

constexpr int kPath = 1000, kTitle = 1013, kProgress = 1014, kBrowse = 1015,
              kComponentsLabel = 1016, kPathLabel = 1017, kBits = 1021, kInstall = 1022;

class SetupTest : public ::testing::Test {
 protected:
  void TearDown() override {
    process.reset();
    seed.RemoveAcadKeys();
  }

  // An AutoCAD installation as SetUp.exe finds it: a product key below HKLM with the
  // installation's folder and name.
  void AddInstall(const std::string& path, const std::string& folder, const std::string& name) {
    seed.SetText(platform::kHkeyLocalMachine, path, "AcadLocation", folder);
    seed.SetText(platform::kHkeyLocalMachine, path, "ProductName", name);
  }

  // Starts the setup program and waits for its dialog.
  void Start(const std::string& program = SetupProgram()) {
    process.emplace(program);
    ASSERT_TRUE(process->IsRunning()) << program;
    dialog = process->WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "the setup dialog did not appear";
  }

  HWND Item(int id) const { return GetDlgItem(dialog, id); }
  bool Visible(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  // A click on a control as the mouse gives it, posted so that no box it shows blocks the test.
  void Click(int id) const { PostMessageA(Item(id), BM_CLICK, 0, 0); }

  platform::Win32Registry registry;
  integration::RegistrySeeder seed{registry};
  std::optional<SetupProcess> process;
  HWND dialog = nullptr;
};

}  // namespace e2e
