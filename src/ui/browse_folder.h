// Choosing the installation folder with the shell's folder picker.
#pragma once

#include <cstdint>
#include <string>

#include "platform/desktop.h"

// Shows the folder picker over `owner` (or no window), opening on the folder given or, when
// that is empty, on the one remembered in g_strBrowseFolder. Returns true when the user
// picked a folder of the file system; `folder` then holds it and is remembered.
bool BrowseForFolder(platform::Desktop& desktop, platform::WindowHandle owner, const char* title, std::string& folder);

// The picker's callback: on start-up it selects the folder given as callback data.
int BrowseFolderCallback(platform::PickerWindow& picker, unsigned message, std::intptr_t param, std::intptr_t data);
