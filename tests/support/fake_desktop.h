// The desktop, the process list and the dialog's window, in memory. Message boxes and folder pickers are recorded
// and answered from a script; a planted fault on a box is its answer.
#pragma once

#include <array>
#include <cstdio>
#include <deque>

#include "platform/desktop.h"
#include "platform/dialog_window.h"
#include "platform/file_system.h"
#include "platform/processes.h"
#include "support/faults.h"

namespace fakes {

struct ShownBox {
  platform::WindowHandle owner;
  std::string text, caption;
  unsigned type;
  bool unicode = false;
};

struct ShownPicker {
  platform::BrowseInfo info;
  std::string selected;  // the folder its callback selected when it started
};

class FakeDesktop final : public platform::Desktop, private platform::PickerWindow {
 public:
  explicit FakeDesktop(Faults& faults) : m_faults(faults) {}

  std::vector<ShownBox> boxes;
  std::deque<int> answers;  // given in turn; once they run out a box gets its first button
  // What the user picks in turn: a folder, "" for an item that is no folder, nothing to cancel.
  std::deque<std::optional<std::string>> picks;
  std::vector<ShownPicker> pickers;
  std::map<platform::ItemIdList, std::string> liveItems;  // handed out and not yet freed, with their folders
  int badFrees = 0;

  int ShowMessageBox(platform::WindowHandle owner, const std::string& text, const std::string& caption, unsigned type) override {
    const auto planted = m_faults.Take("ShowMessageBox", std::to_string(type));
    boxes.push_back(ShownBox{owner, text, caption, type});
    const int first = (type & 0xF) == platform::kMbAbortRetryIgnore ? platform::kIdAbort : platform::kIdOk;
    const int answer = planted ? static_cast<int>(*planted) : answers.empty() ? first : answers.front();
    if (!planted && !answers.empty()) answers.pop_front();
    return answer;
  }
  int ShowUnicodeMessageBox(platform::WindowHandle owner, const std::string& text, const std::string& caption, unsigned type) override {
    const int answer = ShowMessageBox(owner, text, caption, type);
    boxes.back().unicode = true;
    return answer;
  }
  platform::ItemIdList BrowseForFolder(const platform::BrowseInfo& info) override {
    if (m_faults.Take("BrowseForFolder", "")) return platform::kNoItem;
    pickers.push_back({info, ""});
    info.callback(*this, platform::kBffmInitialized, 0, info.callbackData);
    const std::optional<std::string> pick = picks.empty() ? std::nullopt : picks.front();
    if (!picks.empty()) picks.pop_front();
    if (!pick) return platform::kNoItem;
    std::snprintf(info.displayName, platform::kMaxPath, "%s", "A display name, not a path");
    liveItems[++m_nextItem] = *pick;
    return m_nextItem;
  }
  bool GetPathFromItem(platform::ItemIdList item, char* path) override {
    if (m_faults.Take("GetPathFromItem", "") || liveItems.count(item) == 0 || liveItems[item].empty()) return false;
    std::snprintf(path, platform::kMaxPath, "%s", liveItems[item].c_str());
    return true;
  }
  void FreeItem(platform::ItemIdList item) override { badFrees += liveItems.erase(item) == 1 ? 0 : 1; }

 private:
  // The picker's window, as its callback sees it.
  std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
    const bool select = message == platform::kBffmSetSelectionA && wParam != 0;  // by path
    if (select) pickers.back().selected = reinterpret_cast<const char*>(lParam);
    return 0;
  }

  Faults& m_faults;
  platform::ItemIdList m_nextItem = 0x7000;
};

class FakeProcesses final : public platform::Processes {
 public:
  FakeProcesses(Faults& faults, platform::FileSystem& files) : m_faults(faults), m_files(files) {}
  std::vector<std::string> running;      // executable names, in snapshot order
  std::set<std::string> mutexes;         // named mutexes held, by this process or another
  std::vector<std::string> started;      // the command lines of the programs started
  std::vector<std::uint32_t> waitedFor;  // the processes waited for

  std::optional<std::vector<std::string>> ExecutableNames() override {
    return m_faults.Take("ExecutableNames", "") ? std::nullopt : std::optional(running);
  }
  platform::ErrorCode HoldNamedMutex(const std::string& name) override {
    if (const auto fault = m_faults.Take("HoldNamedMutex", name)) return *fault;
    return mutexes.insert(name).second ? platform::kErrorSuccess : platform::kErrorAlreadyExists;
  }
  platform::ErrorCode HoldAdministratorsMutex(const std::string& name) override {
    if (const auto fault = m_faults.Take("HoldAdministratorsMutex", name)) return *fault;
    return HoldNamedMutex("administrators' " + name);
  }
  std::uint32_t CurrentProcessId() override { return 4242; }
  platform::ErrorCode StartProgram(const std::string& program, const std::string& arguments) override {
    if (const auto fault = m_faults.Take("StartProgram", program)) return *fault;
    if (m_files.GetAttributes(program) == platform::kInvalidFileAttributes) return platform::kErrorFileNotFound;
    started.push_back("\"" + program + "\" " + arguments);
    return platform::kErrorSuccess;
  }
  platform::ErrorCode WaitForProcessEnd(std::uint32_t processId, std::uint32_t) override {
    waitedFor.push_back(processId);
    return platform::kErrorSuccess;
  }

 private:
  Faults& m_faults;
  platform::FileSystem& m_files;
};

// A dialog's window: each control comes into being on first use, visible, enabled, unticked and
// empty, and keeps the messages sent to it with their parameters.
class FakeWindow final : public platform::DialogWindow {
 public:
  struct Item {
    bool visible = true, enabled = true;
    int check = platform::kUnchecked;
    std::string text;
    std::vector<std::array<std::intptr_t, 3>> messages;
  };
  std::map<int, Item> items;
  std::optional<int> ended;
  std::vector<int> posted;  // commands posted, not yet handled

  int Count(int id, std::intptr_t message) {
    const auto& sent = items[id].messages;
    return static_cast<int>(std::count_if(sent.begin(), sent.end(), [&](const auto& m) { return m[0] == message; }));
  }

  platform::WindowHandle Handle() const override { return 0xD141; }
  void ShowItem(int id, bool show) override { items[id].visible = show; }
  void EnableItem(int id, bool enable) override { items[id].enabled = enable; }
  int GetItemCheck(int id) override { return items[id].check; }
  void SetItemCheck(int id, int state) override { items[id].check = state; }
  std::string GetItemText(int id) override { return items[id].text; }
  void SetItemText(int id, const std::string& text) override { items[id].text = text; }
  std::intptr_t SendItemMessage(int id, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    items[id].messages.push_back({static_cast<std::intptr_t>(message), static_cast<std::intptr_t>(wParam), lParam});
    return 0;
  }
  platform::IconHandle LoadProgramIcon(int) override { return platform::kNoIcon; }
  void SetSmallIcon(platform::IconHandle) override {}
  void PostCommand(int id) override { posted.push_back(id); }
  void PaintNow() override {}
  void EndDialog(int result) override { ended = result; }
};

}  // namespace fakes
