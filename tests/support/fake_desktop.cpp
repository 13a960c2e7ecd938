#include "support/fake_desktop.h"

namespace fakes {

int FakeDesktop::ShowMessageBox(platform::WindowHandle owner, const std::string& text,
                                const std::string& caption, unsigned type) {
  shown.push_back(ShownBox{owner, text, caption, type});
  if (onShow) onShow(shown.back());
  if (!answers.empty()) {
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return (type & 0xF) == platform::kMbAbortRetryIgnore ? platform::kIdAbort : platform::kIdOk;
}

}  // namespace fakes
