// Records every message box and folder picker and answers them from a script; a FaultPlan
// may answer any numbered call instead.
#pragma once

#include "support/fault_plan.h"
#include "support/journal.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace fakes {

struct ShownBox {
  platform::WindowHandle owner;
  std::string text;
  std::string caption;
  unsigned type;
};

// A message the picker's callback sent to the picker; `pathText` is lParam read as a text
// when the message selects a folder by its path.
struct PickerMessage {
  unsigned message;
  std::uintptr_t wParam;
  std::string pathText;
};

class FakePickerWindow final : public platform::PickerWindow {
 public:
  std::vector<PickerMessage> received;
  std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
};

// One showing of the folder picker: what it was given, and what its callback did when the
// picker started.
struct PickerShown {
  platform::WindowHandle owner;
  platform::ItemIdList root;
  std::string title;
  unsigned flags;
  std::string callbackData;  // the callback's data read as a text
  std::vector<PickerMessage> sentOnStart;
  int callbackResult = -1;
};

// What the user picks. An item that is no folder of the file system has no path.
struct PickedItem {
  std::string path;
  bool isFileSystemFolder = true;
  std::string displayName;  // written into the picker's display-name buffer
};

class FakeDesktop final : public platform::Desktop {
 public:
  // Message box answers given in turn; once they run out, a box is answered with its first
  // button. An answer planted by the fault plan comes first (0: the box could not be shown).
  std::deque<int> answers;
  // Runs as each box is shown, before it is answered (a test may remove a fault here).
  std::function<void(const ShownBox&)> onShow;
  std::vector<ShownBox> shown;
  Journal* journal = nullptr;  // records the captions of the boxes shown
  FaultPlan* faultPlan = nullptr;
  platform::WindowHandle activeWindow = 0x5150;

  // Picker answers given in turn; nullopt (and every showing once they run out) cancels.
  std::deque<std::optional<PickedItem>> pickerAnswers;
  std::vector<PickerShown> pickersShown;
  // Items handed out and not yet freed, and frees of items that were not live.
  std::map<platform::ItemIdList, PickedItem> liveItems;
  int badFrees = 0;

  int ShowMessageBox(platform::WindowHandle owner, const std::string& text,
                     const std::string& caption, unsigned type) override;
  platform::WindowHandle ActiveWindow() override {
    return TakeFault(faultPlan, "ActiveWindow") ? platform::kNoWindow : activeWindow;
  }
  platform::ItemIdList BrowseForFolder(const platform::BrowseInfo& info) override;
  bool GetPathFromItem(platform::ItemIdList item, char* path) override;
  void FreeItem(platform::ItemIdList item) override;

 private:
  platform::ItemIdList m_nextItem = 0x7000;
};

}  // namespace fakes
