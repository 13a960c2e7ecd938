// An in-memory dialog window: every control is created on first use, visible, enabled,
// unticked and empty; messages sent to a control are recorded.
#pragma once

#include "support/journal.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_window.h"

namespace fakes {

struct FakeItem {
  bool visible = true;
  bool enabled = true;
  int check = platform::kUnchecked;
  std::string text;
};

struct SentMessage {
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
};

class FakeDialogWindow final : public platform::DialogWindow {
 public:
  platform::WindowHandle handle = 0xD141;
  std::map<int, FakeItem> items;
  std::map<int, std::vector<SentMessage>> messages;
  // The icons that load, by resource id.
  std::map<int, platform::IconHandle> icons;
  platform::IconHandle smallIcon = platform::kNoIcon;
  std::optional<int> endResult;
  Journal* journal = nullptr;  // records controls shown or hidden and messages sent

  FakeItem& Item(int id) { return items[id]; }
  // A click as the user makes it on an automatic check box: the tick toggles.
  void ToggleCheck(int id);

  platform::WindowHandle Handle() const override { return handle; }
  void ShowItem(int id, bool show) override {
    Record(journal, (show ? "show " : "hide ") + std::to_string(id));
    items[id].visible = show;
  }
  void EnableItem(int id, bool enable) override { items[id].enabled = enable; }
  int GetItemCheck(int id) override { return items[id].check; }
  void SetItemCheck(int id, int state) override { items[id].check = state; }
  std::string GetItemText(int id) override { return items[id].text; }
  void SetItemText(int id, const std::string& text) override { items[id].text = text; }
  std::intptr_t SendItemMessage(int id, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
  platform::IconHandle LoadProgramIcon(int resourceId) override;
  void SetSmallIcon(platform::IconHandle icon) override { smallIcon = icon; }
  void EndDialog(int result) override {
    Record(journal, "end " + std::to_string(result));
    endResult = result;
  }
};

}  // namespace fakes
