// The user-facing calls outside the dialog's own window: message boxes and the shell's folder
// picker, shaped like the Win32 calls they stand for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/scoped_handle.h"
#include "platform/win32_types.h"

namespace platform {

using WindowHandle = std::uintptr_t;
constexpr WindowHandle kNoWindow = 0;

// MessageBoxA types and answers (also the dialog results of the OK and Cancel commands).
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbAbortRetryIgnore = 0x2;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconWarning = 0x30;
constexpr unsigned kMbIconInformation = 0x40;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// The folder picker (SHBrowseForFolderA): an item identifier list it hands back, 0 for none.
using ItemIdList = std::uintptr_t;
constexpr ItemIdList kNoItem = 0;

constexpr unsigned kBifReturnOnlyFsDirs = 0x1;
constexpr unsigned kBifEditBox = 0x10;
constexpr unsigned kBifValidate = 0x20;
constexpr unsigned kBifNewDialogStyle = 0x40;

// Messages between the picker and its callback.
constexpr unsigned kBffmInitialized = 1;
constexpr unsigned kBffmSetSelectionA = 0x466;  // WM_USER + 102

// The picker's window as its callback sees it.
class PickerWindow {
 public:
  virtual ~PickerWindow() = default;
  // SendMessageA to the picker.
  virtual std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// BFFCALLBACK: the picker, the message, its parameter and the callback data.
using BrowseCallback = int (*)(PickerWindow& picker, unsigned message, std::intptr_t param, std::intptr_t data);

// BROWSEINFOA.
struct BrowseInfo {
  WindowHandle owner = kNoWindow;
  ItemIdList root = kNoItem;    // none: the picker starts at the desktop
  char* displayName = nullptr;  // a buffer of kMaxPath bytes
  const char* title = nullptr;
  unsigned flags = 0;
  BrowseCallback callback = nullptr;
  std::intptr_t callbackData = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;

  // MessageBoxA: the answer, or 0 when the box could not be shown.
  virtual int ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                             unsigned type) = 0;
  // MessageBoxW of UTF-8 texts, readable whatever the system's code page.
  virtual int ShowUnicodeMessageBox(WindowHandle owner, const std::string& utf8Text, const std::string& utf8Caption,
                                    unsigned type) = 0;

  // SHBrowseForFolderA: the item picked, or kNoItem when the user cancelled.
  virtual ItemIdList BrowseForFolder(const BrowseInfo& info) = 0;
  // SHGetPathFromIDListA into a buffer of kMaxPath bytes: false when the item is no folder
  // of the file system.
  virtual bool GetPathFromItem(ItemIdList item, char* path) = 0;
  // CoTaskMemFree of an item the picker handed back.
  virtual void FreeItem(ItemIdList item) = 0;
};

// Owns one item the picker handed back and frees it when it goes out of scope.
using ScopedItemIdList = ScopedHandle<ServiceCloser<Desktop, ItemIdList, kNoItem, &Desktop::FreeItem>>;

}  // namespace platform
