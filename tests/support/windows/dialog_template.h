// A dialog template (DLGTEMPLATEEX) read back from a program's resources.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct TemplateItem {
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};                // x, y, x + width, y + height in dialog units
  int id = 0;                 // -1 for none
  std::wstring windowClass;   // the predefined classes by name: Button, Edit, Static
  std::wstring text;
  int textOrdinal = 0;        // a resource id given in place of a text (pictures)
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};
  std::wstring caption;
  int pointSize = 0;
  std::wstring typeface;
  std::vector<TemplateItem> items;
};

// The template of resource `templateId` in the program file; nullopt when it is missing or
// malformed.
std::optional<DialogTemplate> ReadDialogTemplate(const std::string& programPath, int templateId);

}  // namespace e2e
