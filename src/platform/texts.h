// Every Chinese text the program shows, stores or looks for, as GBK (code page 936) bytes,
// ready for the 8-bit Win32 calls. The UTF-8 originals live beside the unit test that checks
// these bytes; add a text with scripts/gbk-literal.py.
#pragma once

namespace texts {

// Captions.
extern const char kSetupDialogCaption[];    // V-结构工具箱安装
extern const char kSoftwareSetupCaption[];  // V-软件安装
extern const char kToolboxSetupCaption[];   // V-工具箱安装

// Dialog texts formatted at start-up.
extern const char kBitsFormat[];   // ( %d位 AutoCAD版 )
extern const char kBrowseTitle[];  // 请选择安装目录：

// The typeface of the dialog's title and bitness texts.
extern const char kSongTypeface[];  // 宋体

// Messages.
extern const char kCloseAcadFirst[];             // 请关闭AutoCAD后再进行安装 !
extern const char kInstallFinished[];            // 安装完成，重启CAD即可使用 !
extern const char kInstallFinishedWithErrors[];  // 安装完成，但以下各项未能完成：
extern const char kInstallRestartNeeded[];       // 安装完成，部分文件将在 Windows 重启后放到位，…
extern const char kReplaceNewerFormat[];         // 已安装较新的版本 %s，确定要用此版本 %s 替换吗？
extern const char kPackageNotFound[];            // 未找到安装所需的Data文件夹 ! …
extern const char kCopyFailedFormat[];           // 拷贝文件 %s 失败，可能原因如下：…
extern const char kAnotherRun[];                 // 另一个安装或卸载程序正在运行，请稍后再试 !
extern const char kDriveMissing[];           // 安装路径所在的驱动器不存在，请选择其他安装路径 !
extern const char kFolderOthersMayChange[];  // 其他用户可以更改或替换此安装路径，请选择其他安装路径 !
extern const char kChooseInstallPath[];   // 请选择安装路径 !
extern const char kInstallPathTooLong[];  // 安装路径过长，请选择较短的安装路径 !

// What an install that finished with errors could not do, and where its log is.
extern const char kNotDoneLoaders[];   // 部分AutoCAD的加载项未能注册
extern const char kNotDoneProfiles[];  // 部分AutoCAD配置未能把安装文件夹加入受信任路径
extern const char kNotDoneFonts[];     // 字体或打印驱动未能放入部分AutoCAD的文件夹
extern const char kNotDoneEntries[];   // 程序和功能中的卸载项未能写入
extern const char kNotDoneEarlier[];   // 先前安装在其他文件夹中的版本未能完全卸载
extern const char kNotDoneJournal[];   // 安装记录 Uninstall.dat 未能完整写入
extern const char kSeeLog[];           // 详情请见日志：

// The command line's usage and the exit codes.
extern const char kUsage[];  // 用法：SetUp.exe [/S | /VERYSILENT | /SILENT | /QUIET …] …

// The uninstall.
extern const char kUninstallCaption[];          // V-结构工具箱卸载
extern const char kConfirmUninstall[];          // 确定要卸载结构工具箱软件吗？
extern const char kCloseAcadBeforeUninstall[];  // 请关闭AutoCAD后再进行卸载 !
extern const char kUninstallFinished[];  // 卸载完成 ! 字体文件…仍保留在AutoCAD的Fonts文件夹中…
extern const char kUninstallFinishedPartly[];  // 卸载完成，但部分文件或注册表项未能删除 ! 字体文件…
extern const char kUninstallRestartNeeded[];  // 卸载完成，部分文件将在 Windows 重启后删除 ! 字体文件…
extern const char kChangedFilesKept[];        // 以下文件在安装后被修改过，已保留：
extern const char kNotInstalled[];            // 未找到结构工具箱软件的安装，无需卸载 !
extern const char kRecordUnreadable[];        // 无法读取安装记录 Uninstall.dat，卸载未进行 !

// The product's name, as Programs and Features shows it.
extern const char kProductName[];  // 结构工具箱软件

// Names in the installation package.
extern const char kExtensionLibraryMark[];    // 扩展绘图库
extern const char kExtensionLibraryFolder[];  // Vortel扩展绘图库

}  // namespace texts
