// Dialog 141 as the built program holds it: every control with its id, kind, text and
// rectangle, in tab order.
#include <gtest/gtest.h>

#include <string>

#include "dialog_template.h"
#include "e2e_main.h"

namespace e2e {
namespace {

struct ExpectedItem {
  int id;
  std::wstring kind;
  std::wstring text;
  RECT rect;  // x, y, width, height
  bool visible;
};

// What a control is, from its class and style.
std::wstring KindOf(const TemplateItem& item) {
  const DWORD type = item.style & 0x1F;
  std::wstring kind;
  if (item.windowClass == L"Button") {
    kind = type == BS_AUTOCHECKBOX ? L"check" : type == BS_PUSHBUTTON ? L"push" : L"button?";
  } else if (item.windowClass == L"Static") {
    kind = type == SS_CENTER          ? L"centred"
           : type == SS_LEFT          ? L"left"
           : type == SS_ETCHEDHORZ    ? L"line"
           : type == SS_BITMAP        ? L"bitmap " + std::to_wstring(item.textOrdinal)
                                      : L"static?";
    if (item.style & SS_CENTERIMAGE) kind += L" vcentred";
  } else if (item.windowClass == L"Edit") {
    kind = L"edit";
    if (item.style & ES_AUTOHSCROLL) kind += L" autoscroll";
  } else if (item.windowClass == L"msctls_progress32") {
    kind = (item.style & 0x1) != 0 ? L"progress smooth" : L"progress";
  }
  if (item.windowClass != L"Static" && (item.style & WS_TABSTOP)) kind += L" tab";
  if ((item.windowClass == L"Edit" || item.windowClass == L"msctls_progress32") &&
      (item.style & WS_BORDER)) {
    kind += L" border";
  }
  return kind;
}

std::vector<ExpectedItem> ExpectedControls() {
  std::vector<ExpectedItem> controls;
  const int boxes[21][3] = {{1018, 18, 80},   {1019, 18, 98},   {1020, 18, 116},  {1027, 18, 134},
                            {1026, 18, 152},  {1028, 18, 170},  {1029, 18, 188},  {1030, 104, 80},
                            {1031, 104, 98},  {1032, 104, 116}, {1033, 104, 134}, {1034, 104, 152},
                            {1035, 104, 170}, {1036, 104, 188}, {1037, 190, 80},  {1038, 190, 98},
                            {1039, 190, 116}, {1040, 190, 134}, {1041, 190, 152}, {1042, 190, 170},
                            {1043, 190, 188}};
  for (int release = 0; release < 21; ++release) {
    const auto [id, x, y] = boxes[release];
    controls.push_back({id, L"check tab", L"For AutoCAD" + std::to_wstring(2007 + release),
                        RECT{x, y, 74, 10}, true});
  }
  const std::vector<ExpectedItem> others = {
      {1, L"push tab", L"安装完成", {110, 214, 63, 14}, false},
      {2, L"push tab", L"取  消", {173, 262, 50, 14}, true},
      {1013, L"centred", L"Vortel批打印软件 V%d.%d.%d", {86, 13, 146, 14}, true},
      {-1, L"line", L"", {0, 206, 286, 1}, true},
      {1016, L"left vcentred", L"请选择安装组件：", {14, 62, 69, 10}, true},
      {-1, L"line", L"", {0, 51, 286, 1}, true},
      {-1, L"bitmap 147", L"", {32, 5, 43, 43}, true},
      {1000, L"edit autoscroll tab border", L"", {13, 233, 202, 12}, true},
      {1015, L"push tab", L"浏览...", {221, 231, 51, 13}, true},
      {1014, L"progress border", L"", {13, 236, 256, 6}, false},
      {1017, L"left", L"请选择安装路径：", {14, 215, 71, 9}, true},
      {-1, L"line", L"", {0, 255, 286, 1}, true},
      {1022, L"push tab", L"安  装", {60, 263, 50, 13}, true},
      {1023, L"centred", L"安装完成！重启CAD，CAD菜单尾会有以下子菜单：", {47, 62, 190, 10}, false},
      {1021, L"centred", L"(%d位版本)", {86, 33, 146, 14}, true},
      {1024, L"bitmap 152", L"", {39, 78, 205, 117}, false},
  };
  controls.insert(controls.end(), others.begin(), others.end());
  return controls;
}

TEST(SetupDialogTemplate, HoldsEveryControlInTabOrderWithItsIdKindTextAndPlace) {
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

  const std::vector<ExpectedItem> expected = ExpectedControls();
  ASSERT_EQ(dialog->items.size(), expected.size());
  for (std::size_t index = 0; index < expected.size(); ++index) {
    const TemplateItem& item = dialog->items[index];
    const ExpectedItem& want = expected[index];
    SCOPED_TRACE("control " + std::to_string(index) + ", id " + std::to_string(want.id));
    EXPECT_EQ(item.id, want.id);
    EXPECT_EQ(KindOf(item), want.kind);
    EXPECT_EQ(item.text, want.text);
    EXPECT_EQ(item.rect.left, want.rect.left);
    EXPECT_EQ(item.rect.top, want.rect.top);
    EXPECT_EQ(item.rect.right - item.rect.left, want.rect.right);
    EXPECT_EQ(item.rect.bottom - item.rect.top, want.rect.bottom);
    EXPECT_EQ((item.style & WS_VISIBLE) != 0, want.visible);
    EXPECT_EQ(item.style & WS_DISABLED, 0u);
  }
}

}  // namespace
}  // namespace e2e
