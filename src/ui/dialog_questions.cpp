#include "ui/dialog_questions.h"

#include "platform/format.h"
#include "platform/texts.h"

void DialogQuestions::PackageNotFound() {
  m_desktop.ShowMessageBox(m_dialog, texts::kPackageNotFound, texts::kSoftwareSetupCaption, platform::kMbOk);
}

core::CopyAnswer DialogQuestions::CopyFailed(const std::string& destination, platform::ErrorCode) {
  const std::string text = platform::FormatText(texts::kCopyFailedFormat, destination.c_str());
  switch (m_desktop.ShowMessageBox(m_dialog, text, texts::kSoftwareSetupCaption, platform::kMbAbortRetryIgnore)) {
    case platform::kIdRetry: return core::CopyAnswer::Retry;
    case platform::kIdIgnore: return core::CopyAnswer::Ignore;
    default: return core::CopyAnswer::Abort;
  }
}
