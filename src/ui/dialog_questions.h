// The install's questions asked in message boxes owned by the setup dialog: the dialog stays
// disabled while one is up, whichever window the user has made active meanwhile.
#pragma once

#include "core/questions.h"
#include "platform/desktop.h"

class DialogQuestions final : public core::CopyQuestions {
 public:
  DialogQuestions(platform::Desktop& desktop, platform::WindowHandle dialog) : m_desktop(desktop), m_dialog(dialog) {}

  // "未找到安装所需的Data文件夹 ! ...", with an OK button.
  void PackageNotFound() override;
  // "拷贝文件 <destination> 失败，..." with Abort, Retry and Ignore. A box that cannot be shown
  // counts as Abort, since nobody could ever answer it.
  core::CopyAnswer CopyFailed(const std::string& destination, platform::ErrorCode error) override;

 private:
  platform::Desktop& m_desktop;
  const platform::WindowHandle m_dialog;
};
