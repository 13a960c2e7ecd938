// What SetUp.exe holds before it runs: dialog 141 with every control (id, kind, text and place,
// in tab order), the manifest Windows reads and the version Explorer shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "e2e_main.h"

namespace e2e {
namespace {

// What a control is, from its class and style.
std::wstring KindOf(const TemplateItem& item) {
  const DWORD type = item.style & 0x1F;
  std::wstring kind;
  if (item.windowClass == L"Button") {
    kind = type == BS_AUTOCHECKBOX ? L"check" : type == BS_PUSHBUTTON ? L"push" : L"button?";
  } else if (item.windowClass == L"Static") {
    kind = type == SS_CENTER         ? L"centred"
           : type == SS_LEFT         ? L"left"
           : type == SS_ETCHEDHORZ   ? L"line"
           : type == SS_BITMAP       ? L"bitmap " + std::to_wstring(item.textOrdinal)
                                     : L"static?";
    if (item.style & SS_CENTERIMAGE) kind += L" vcentred";
  } else if (item.windowClass == L"Edit") {
    kind = (item.style & ES_AUTOHSCROLL) ? L"edit autoscroll" : L"edit";
  } else if (item.windowClass == L"msctls_progress32") {
    kind = (item.style & 0x1) != 0 ? L"progress smooth" : L"progress";
  }
  if (item.windowClass != L"Static" && (item.style & WS_TABSTOP)) kind += L" tab";
  if (item.windowClass != L"Button" && item.windowClass != L"Static" && (item.style & WS_BORDER)) {
    kind += L" border";
  }
  return kind;
}

// A control as `id kind "text" x,y,width,height`, and "hidden" or "disabled" where it is so.
std::wstring Describe(const TemplateItem& item) {
  const RECT& r = item.rect;
  std::wstring text = std::to_wstring(item.id) + L" " + KindOf(item) + L" \"" + item.text +
                      L"\" " + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," +
                      std::to_wstring(r.right - r.left) + L"," + std::to_wstring(r.bottom - r.top);
  if ((item.style & WS_VISIBLE) == 0) text += L" hidden";
  if (item.style & WS_DISABLED) text += L" disabled";
  return text;
}

TEST(SetupProgramResources, DialogHoldsEveryControlInTabOrderWithItsIdKindTextAndPlace) {
  const std::optional<DialogTemplate> dialog = ReadDialogTemplate(SetupProgram(), 141);
  ASSERT_TRUE(dialog.has_value()) << SetupProgram();
  EXPECT_EQ(dialog->caption, L"V-结构工具箱安装");
  EXPECT_EQ(dialog->rect.right - dialog->rect.left, 283);
  EXPECT_EQ(dialog->rect.bottom - dialog->rect.top, 283);
  EXPECT_EQ(dialog->pointSize, 9);
  EXPECT_EQ(dialog->typeface, L"宋体");
  const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME;
  EXPECT_EQ(dialog->style & frame, frame);
  EXPECT_EQ(dialog->style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);
  EXPECT_EQ(dialog->exStyle & WS_EX_CLIENTEDGE, static_cast<DWORD>(WS_EX_CLIENTEDGE));

  std::vector<std::wstring> expected;
  const int boxes[21][3] = {{1018, 18, 80},   {1019, 18, 98},   {1020, 18, 116},  {1027, 18, 134},
                            {1026, 18, 152},  {1028, 18, 170},  {1029, 18, 188},  {1030, 104, 80},
                            {1031, 104, 98},  {1032, 104, 116}, {1033, 104, 134}, {1034, 104, 152},
                            {1035, 104, 170}, {1036, 104, 188}, {1037, 190, 80},  {1038, 190, 98},
                            {1039, 190, 116}, {1040, 190, 134}, {1041, 190, 152}, {1042, 190, 170},
                            {1043, 190, 188}};
  for (int release = 0; release < 21; ++release) {
    const auto [id, x, y] = boxes[release];
    expected.push_back(std::to_wstring(id) + L" check tab \"For AutoCAD" +
                       std::to_wstring(2007 + release) + L"\" " + std::to_wstring(x) + L"," +
                       std::to_wstring(y) + L",74,10");
  }
  expected.insert(expected.end(), {
      L"1 push tab \"安装完成\" 110,214,63,14 hidden",
      L"2 push tab \"取  消\" 173,262,50,14",
      L"1013 centred \"Vortel批打印软件 V%d.%d.%d\" 86,13,146,14",
      L"-1 line \"\" 0,206,286,1",
      L"1016 left vcentred \"请选择安装组件：\" 14,62,69,10",
      L"-1 line \"\" 0,51,286,1",
      L"-1 bitmap 147 \"\" 32,5,43,43",
      L"1000 edit autoscroll tab border \"\" 13,233,202,12",
      L"1015 push tab \"浏览...\" 221,231,51,13",
      L"1014 progress border \"\" 13,236,256,6 hidden",
      L"1017 left \"请选择安装路径：\" 14,215,71,9",
      L"-1 line \"\" 0,255,286,1",
      L"1022 push tab \"安  装\" 60,263,50,13",
      L"1023 centred \"安装完成！重启CAD，CAD菜单尾会有以下子菜单：\" 47,62,190,10 hidden",
      L"1021 centred \"(%d位版本)\" 86,33,146,14",
      L"1024 bitmap 152 \"\" 39,78,205,117 hidden",
  });
  std::vector<std::wstring> controls;
  for (const TemplateItem& item : dialog->items) controls.push_back(Describe(item));
  EXPECT_EQ(controls, expected);
}

TEST(SetupProgramResources, ManifestAsksForNoElevationAndNamesTheSupportedSystems) {
  const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> image(
      LoadLibraryExA(SetupProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE), &FreeLibrary);
  ASSERT_NE(image, nullptr);
  const HRSRC found = FindResourceA(image.get(), MAKEINTRESOURCEA(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const auto* bytes = static_cast<const char*>(LockResource(LoadResource(image.get(), found)));
  const std::string manifest(bytes, SizeofResource(image.get(), found));
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  for (const char* system :
       {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
        "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
        "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
    EXPECT_NE(manifest.find(system), std::string::npos) << system;
  }
  EXPECT_EQ(manifest.find("<dependency"), std::string::npos) << "no assembly it does not use";
}

TEST(SetupProgramResources, VersionResourceCarriesThePackageVersion) {
  const DWORD size = GetFileVersionInfoSizeA(SetupProgram().c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(SetupProgram().c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(8, 2026));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 5));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  // Each text as given; the description is any text but an empty one.
  for (const auto& [name, expected] :
       {std::pair{"FileVersion", "2026.8.5.0"}, {"ProductVersion", "2026.8.5.0"},
        {"LegalCopyright", "Copyright (C) 2026 Vortel"}, {"FileDescription", ""}}) {
    const std::string path = std::string("\\StringFileInfo\\080404b0\\") + name;
    char* text = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text),
                               &length));
    EXPECT_TRUE(*expected != '\0' ? std::string(text) == expected : *text != '\0') << name << text;
  }
}

}  // namespace
}  // namespace e2e
