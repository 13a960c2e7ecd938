#pragma once

#include "platform/desktop.h"
#include "platform/win32/win32_handles.h"

namespace platform {

class Win32Desktop final : public Desktop {
 public:
  int ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption, unsigned type) override;
  int ShowUnicodeMessageBox(WindowHandle owner, const std::string& utf8Text, const std::string& utf8Caption,
                            unsigned type) override;
  ItemIdList BrowseForFolder(const BrowseInfo& info) override;
  bool GetPathFromItem(ItemIdList item, char* path) override;
  void FreeItem(ItemIdList item) override;

 private:
  // The shell's function `name`, the shell loaded on first use: it and the DLLs it brings take a
  // good part of the program's start-up, and only the folder picker needs it.
  template <typename Function>
  Function ShellFunction(const char* name);

  ScopedLibrary m_shell;
};

}  // namespace platform
