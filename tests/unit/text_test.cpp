// The lead-byte rule of the multibyte texts and the GBK bytes of every program text.
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

// The other suites walk GBK names whose trail byte is '\' or a letter; the bounds are met here.
TEST(MultibyteText, LeadBytesRunFrom0x81To0xFE) {
  for (const auto& [text, endsWithBackslash] : {std::pair{"\x80\\", true}, {"\x81\\", false}, {"\xFE\\", false}, {"\xFF\\", true}}) {
    EXPECT_EQ(EndsWithCharacter(text, '\\', IsCp936LeadByte), endsWithBackslash) << text;
  }
}

TEST(ProgramTexts, EveryTextIsTheGbkFormOfItsOriginal) {
  // clang-format off
  const std::pair<const char*, const char*> table[] = {
      {texts::kSetupDialogCaption, "V-结构工具箱安装"}, {texts::kSoftwareSetupCaption, "V-软件安装"},
      {texts::kToolboxSetupCaption, "V-工具箱安装"}, {texts::kBitsFormat, "( %d位 AutoCAD版 )"},
      {texts::kBrowseTitle, "请选择安装目录："}, {texts::kSongTypeface, "宋体"},
      {texts::kCloseAcadFirst, "请关闭AutoCAD后再进行安装 !"}, {texts::kInstallFinished, "安装完成，重启CAD即可使用 !"},
      {texts::kInstallFinishedWithErrors, "安装完成，但以下各项未能完成："},
      {texts::kInstallRestartNeeded, "安装完成，部分文件将在 Windows 重启后放到位，请重启 Windows 后再启动CAD !"},
      {texts::kNotDoneLoaders, "部分AutoCAD的加载项未能注册"}, {texts::kNotDoneProfiles, "部分AutoCAD配置未能把安装文件夹加入受信任路径"},
      {texts::kNotDoneFonts, "字体或打印驱动未能放入部分AutoCAD的文件夹"}, {texts::kNotDoneEntries, "程序和功能中的卸载项未能写入"},
      {texts::kNotDoneEarlier, "先前安装在其他文件夹中的版本未能完全卸载"}, {texts::kNotDoneJournal, "安装记录 Uninstall.dat 未能完整写入"},
      {texts::kSeeLog, "详情请见日志："},
      {texts::kPackageNotFound,
       "未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !"},
      {texts::kCopyFailedFormat,
       "拷贝文件 %s 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统"},
      {texts::kChooseInstallPath, "请选择安装路径 !"}, {texts::kInstallPathTooLong, "安装路径过长，请选择较短的安装路径 !"},
      {texts::kUninstallCaption, "V-结构工具箱卸载"}, {texts::kConfirmUninstall, "确定要卸载结构工具箱软件吗？"},
      {texts::kCloseAcadBeforeUninstall, "请关闭AutoCAD后再进行卸载 !"},
      {texts::kUninstallFinished,
       "卸载完成 !\n\n字体文件 Vortel_EN.shx 和 Vortel_HZ.shx 仍保留在AutoCAD的Fonts文件夹中，\n\n以便已有图纸正常显示。"},
      {texts::kUninstallFinishedPartly,
       "卸载完成，但部分文件或注册表项未能删除 !\n\n字体文件 Vortel_EN.shx 和 Vortel_HZ.shx 仍保留在AutoCAD的Fonts文件夹中。"},
      {texts::kNotInstalled, "未找到结构工具箱软件的安装，无需卸载 !"}, {texts::kReplaceNewerFormat, "已安装较新的版本 %s，确定要用此版本 %s 替换吗？"},
      {texts::kRecordUnreadable, "无法读取安装记录 Uninstall.dat，卸载未进行 !"}, {texts::kProductName, "结构工具箱软件"},
      {texts::kAnotherRun, "另一个安装或卸载程序正在运行，请稍后再试 !"},
      {texts::kDriveMissing, "安装路径所在的驱动器不存在，请选择其他安装路径 !"},
      {texts::kFolderOthersMayChange, "其他用户可以更改或替换此安装路径，请选择其他安装路径 !"},
      {texts::kUninstallRestartNeeded,
       "卸载完成，部分文件将在 Windows 重启后删除 !\n\n字体文件 Vortel_EN.shx 和 Vortel_HZ.shx 仍保留在AutoCAD的Fonts文件夹中。"},
      {texts::kChangedFilesKept, "以下文件在安装后被修改过，已保留："},
      {texts::kUsage,
       "用法：SetUp.exe [/S | /VERYSILENT | /SILENT | /QUIET | /QN | /PASSIVE] [/DIR=\"文件夹\" | /D=文件夹] [/RELEASES=2008,2016 | /RELEASES=all] [/LOG | /LOG=\"文件\" | /LOG 文件] [/UNINSTALL]\n"
       "\n"
       "/S、/VERYSILENT、/SILENT、/QUIET、/QN、/PASSIVE：静默运行，不显示窗口和任何消息\n"
       "/DIR=\"文件夹\"：安装到该文件夹下的 V-Trelmox 文件夹\n"
       "/D=文件夹：同 /DIR，须放在最后\n"
       "/RELEASES=2008,2016：只安装这些版本的 AutoCAD；all：找到的全部版本\n"
       "/LOG、/LOG=\"文件\"、/LOG 文件：写日志，默认写到临时文件夹\n"
       "/UNINSTALL：卸载结构工具箱软件（与 Uninstall.exe 相同）\n"
       "/?、/HELP：显示本说明\n"
       "开关也可用 - 开头；其他安装程序的 /SUPPRESSMSGBOXES、/NORESTART、/SP-、/NOCANCEL、/NOICONS 及 /CLOSEAPPLICATIONS 等开关被接受并忽略\n"
       "\n"
       "退出代码：\n"
       "0 完成\n"
       "1 命令行无法识别\n"
       "2 开始前已取消\n"
       "4 安装失败（静默安装已回滚），或无法读取安装记录\n"
       "5 安装时被用户中止\n"
       "7 无法进行（没有可安装的版本、安装路径不可用或系统代码页不是 936）\n"
       "9 完成，但部分项目未能写入或删除（详见日志）\n"
       "1618 AutoCAD 或另一个安装程序正在运行，请稍后重试\n"
       "3010 完成，重启 Windows 后生效"},
      {texts::kExtensionLibraryMark, "扩展绘图库"}, {texts::kExtensionLibraryFolder, "Vortel扩展绘图库"},
  };
  // clang-format on
  for (const auto& [gbk, utf8] : table) EXPECT_EQ(std::string(gbk), ToGbk(utf8)) << utf8;
}

}  // namespace
