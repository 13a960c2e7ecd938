#include "support/fake_desktop.h"

#include <cstring>

namespace fakes {

int FakeDesktop::ShowMessageBox(platform::WindowHandle owner, const std::string& text,
                                const std::string& caption, unsigned type) {
  const auto planted = TakeFault(faultPlan, "ShowMessageBox", std::to_string(type).c_str());
  shown.push_back(ShownBox{owner, text, caption, type});
  Record(journal, "box " + caption);
  if (onShow) onShow(shown.back());
  if (planted) return static_cast<int>(*planted);
  if (!answers.empty()) {
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return (type & 0xF) == platform::kMbAbortRetryIgnore ? platform::kIdAbort : platform::kIdOk;
}

std::intptr_t FakePickerWindow::Send(unsigned message, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
  const bool selectsByPath = message == platform::kBffmSetSelectionA && wParam != 0;
  received.push_back(PickerMessage{
      message, wParam, selectsByPath ? reinterpret_cast<const char*>(lParam) : std::string()});
  return 0;
}

platform::ItemIdList FakeDesktop::BrowseForFolder(const platform::BrowseInfo& info) {
  if (TakeFault(faultPlan, "BrowseForFolder")) return platform::kNoItem;
  PickerShown& picker = pickersShown.emplace_back();
  picker.owner = info.owner;
  picker.root = info.root;
  picker.title = info.title != nullptr ? info.title : "";
  picker.flags = info.flags;
  if (info.callbackData != 0) picker.callbackData = reinterpret_cast<const char*>(info.callbackData);
  if (info.callback != nullptr) {
    FakePickerWindow window;
    picker.callbackResult =
        info.callback(window, platform::kBffmInitialized, 0, info.callbackData);
    picker.sentOnStart = window.received;
  }

  std::optional<PickedItem> answer;
  if (!pickerAnswers.empty()) {
    answer = pickerAnswers.front();
    pickerAnswers.pop_front();
  }
  if (!answer) return platform::kNoItem;
  if (info.displayName != nullptr) {
    std::strncpy(info.displayName, answer->displayName.c_str(), platform::kMaxPath - 1);
  }
  const platform::ItemIdList item = m_nextItem++;
  liveItems[item] = *answer;
  return item;
}

bool FakeDesktop::GetPathFromItem(platform::ItemIdList item, char* path) {
  if (TakeFault(faultPlan, "GetPathFromItem")) return false;
  const auto live = liveItems.find(item);
  if (live == liveItems.end() || !live->second.isFileSystemFolder) return false;
  const std::string& text = live->second.path;
  if (text.size() >= platform::kMaxPath) return false;
  std::memcpy(path, text.c_str(), text.size() + 1);
  return true;
}

void FakeDesktop::FreeItem(platform::ItemIdList item) {
  TakeFault(faultPlan, "FreeItem");  // counted; an item is always freed
  if (liveItems.erase(item) == 0) ++badFrees;
}

}  // namespace fakes
