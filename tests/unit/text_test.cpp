// The multibyte text rules and the GBK bytes of every program text.
#include <gtest/gtest.h>
#include <iconv.h>

#include "platform/multibyte.h"
#include "platform/texts.h"

using namespace platform;

namespace {

// The GBK bytes of a UTF-8 text, converted by iconv.
std::string ToGbk(std::string utf8) {
  const iconv_t converter = iconv_open("GBK", "UTF-8");
  std::string gbk(utf8.size() * 2, '\0');
  char *in = utf8.data(), *out = gbk.data();
  std::size_t inLeft = utf8.size(), outLeft = gbk.size();
  EXPECT_NE(iconv(converter, &in, &inLeft, &out, &outLeft), static_cast<std::size_t>(-1)) << utf8;
  iconv_close(converter);
  return gbk.substr(0, gbk.size() - outLeft);
}

const std::string kShallow = "\x9C\x5C";      // 淺: its trail byte is a backslash
const std::string kLetterTrail = "\x81\x61";  // 乤: its trail byte is 'a'

TEST(MultibyteText, CharactersAreFoundUpperCasedAndComparedByCharactersNotBytes) {
  const auto gbk = IsCp936LeadByte;
  EXPECT_EQ(FindLastCharacter("D:\\pkg\\" + kShallow + ".exe", '\\', gbk), 6u);
  EXPECT_EQ(FindLastCharacter("\\\x9C", '\\', gbk), 0u) << "a lead byte at the end stands alone";
  EXPECT_TRUE(EndsWithCharacter("C:\\\x80\\", '\\', gbk)) << "0x80 is a character of its own";
  EXPECT_FALSE(EndsWithCharacter("C:\\" + kShallow, '\\', gbk));
  EXPECT_EQ(FindByCharacters("\xC0\xA9\xD5\xB9", "\xA9\xD5", gbk), std::string::npos);
  EXPECT_EQ(FindByCharacters(kShallow + "\\x", "\\", gbk), 2u);
  EXPECT_EQ(FindByCharacters("ab", "abc", gbk), std::string::npos);
  std::string text = "c:\\vortel\\" + kLetterTrail + "a;" + kShallow + "z";
  ToUpperByCharacters(text, gbk);
  EXPECT_EQ(text, "C:\\VORTEL\\" + kLetterTrail + "A;" + kShallow + "Z");
  EXPECT_TRUE(EqualsIgnoringCase("SetUp.EXE", "setup.exe", gbk));
  EXPECT_FALSE(EqualsIgnoringCase(kLetterTrail, "\x81" "A", gbk));
}

TEST(ProgramTexts, EveryTextIsTheGbkFormOfItsOriginal) {
  const std::pair<const char*, const char*> table[] = {
      {texts::kSetupDialogCaption, "V-结构工具箱安装"},
      {texts::kSoftwareSetupCaption, "V-软件安装"},
      {texts::kToolboxSetupCaption, "V-工具箱安装"},
      {texts::kTitleFormat, "结构工具箱软件 V%d.%d"},
      {texts::kTitleFormatZeroMonth, "结构工具箱软件 V%d.0%d"},
      {texts::kBitsFormat, "( %d位 AutoCAD版 )"},
      {texts::kBrowseTitle, "请选择安装目录："},
      {texts::kSongTypeface, "宋体"},
      {texts::kCloseAcadFirst, "请关闭AutoCAD后再进行安装 !"},
      {texts::kInstallFinished, "安装完成，重启CAD即可使用 !"},
      {texts::kInstallFinishedPartly,
       "安装完成，但部分AutoCAD加载项注册失败，请以管理员身份重新运行安装程序 !"},
      {texts::kPackageNotFound,
       "未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !"},
      {texts::kCopyFailedFormat,
       "拷贝文件 %s 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统"},
      {texts::kChooseInstallPath, "请选择安装路径 !"},
      {texts::kInstallPathTooLong, "安装路径过长，请选择较短的安装路径 !"},
      {texts::kExtensionLibraryMark, "扩展绘图库"},
      {texts::kExtensionLibraryFolder, "Vortel扩展绘图库"},
  };
  for (const auto& [gbk, utf8] : table) EXPECT_EQ(std::string(gbk), ToGbk(utf8)) << utf8;
}

}  // namespace
