// Records every message box and answers it from a script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace fakes {

struct ShownBox {
  platform::WindowHandle owner;
  std::string text;
  std::string caption;
  unsigned type;
};

class FakeDesktop final : public platform::Desktop {
 public:
  // Answers given in turn; once they run out, a box is answered with its first button.
  std::deque<int> answers;
  // Runs as each box is shown, before it is answered (a test may remove a fault here).
  std::function<void(const ShownBox&)> onShow;
  std::vector<ShownBox> shown;
  platform::WindowHandle activeWindow = 0x5150;

  int ShowMessageBox(platform::WindowHandle owner, const std::string& text,
                     const std::string& caption, unsigned type) override;
  platform::WindowHandle ActiveWindow() override { return activeWindow; }
};

}  // namespace fakes
