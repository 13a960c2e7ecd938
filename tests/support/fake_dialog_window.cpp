#include "support/fake_dialog_window.h"

namespace fakes {

void FakeDialogWindow::ToggleCheck(int id) {
  FakeItem& item = items[id];
  item.check = item.check == platform::kChecked ? platform::kUnchecked : platform::kChecked;
}

std::intptr_t FakeDialogWindow::SendItemMessage(int id, std::uint32_t message,
                                                std::uintptr_t wParam, std::intptr_t lParam) {
  messages[id].push_back(SentMessage{message, wParam, lParam});
  Record(journal, "message " + std::to_string(message - 0x400) + " " + std::to_string(wParam));
  return 0;
}

platform::IconHandle FakeDialogWindow::LoadProgramIcon(int resourceId) {
  const auto icon = icons.find(resourceId);
  return icon != icons.end() ? icon->second : platform::kNoIcon;
}

}  // namespace fakes
