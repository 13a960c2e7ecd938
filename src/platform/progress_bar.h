// The setup dialog's progress bar, driven by the standard progress-bar messages.
#pragma once

#include <cstdint>

namespace platform {

constexpr std::uint32_t kPbmSetRange = 0x401;  // WM_USER + 1
constexpr std::uint32_t kPbmSetPos = 0x402;    // WM_USER + 2
constexpr std::uint32_t kPbmSetStep = 0x404;   // WM_USER + 4
constexpr std::uint32_t kPbmStepIt = 0x405;    // WM_USER + 5

class ProgressBar {
 public:
  virtual ~ProgressBar() = default;
  // SendMessageA to the bar's window.
  virtual void Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// No bar to show: a run without a window.
class NoProgressBar final : public ProgressBar {
 public:
  void Send(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
};

}  // namespace platform
