#pragma once

#include "platform/desktop.h"

namespace platform {

class Win32Desktop final : public Desktop {
 public:
  int ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption, unsigned type) override;
  int ShowUnicodeMessageBox(WindowHandle owner, const std::string& utf8Text, const std::string& utf8Caption,
                            unsigned type) override;
  ItemIdList BrowseForFolder(const BrowseInfo& info) override;
  bool GetPathFromItem(ItemIdList item, char* path) override;
  void FreeItem(ItemIdList item) override;
};

}  // namespace platform
