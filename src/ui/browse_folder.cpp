#include "ui/browse_folder.h"

#include <algorithm>
#include <array>

#include "ui/process_state.h"

using namespace platform;

bool BrowseForFolder(Desktop& desktop, WindowHandle owner, const char* title, std::string& folder) {
  if (!folder.empty()) g_strBrowseFolder = folder;

  std::array<char, kMaxPath> buffer{};
  BrowseInfo info;
  info.owner = owner;
  info.displayName = buffer.data();
  info.title = title;
  info.flags = kBifReturnOnlyFsDirs | kBifEditBox | kBifValidate | kBifNewDialogStyle;
  info.callback = BrowseFolderCallback;
  info.callbackData = reinterpret_cast<std::intptr_t>(g_strBrowseFolder.c_str());

  const ScopedItemIdList item(desktop, desktop.BrowseForFolder(info));
  if (item.Get() == kNoItem || !desktop.GetPathFromItem(item.Get(), buffer.data())) return false;
  folder.assign(buffer.data(), std::find(buffer.begin(), buffer.end(), '\0'));
  g_strBrowseFolder = folder;
  return true;
}

int BrowseFolderCallback(PickerWindow& picker, unsigned message, std::intptr_t /*param*/, std::intptr_t data) {
  // The data is a path text; TRUE tells the picker so.
  if (message == kBffmInitialized) picker.Send(kBffmSetSelectionA, 1, data);
  // Also after a typed name failed validation: 0 lets the picker close.
  return 0;
}
