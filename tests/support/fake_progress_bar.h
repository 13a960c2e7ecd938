// Records the messages sent to the progress bar.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/progress_bar.h"

namespace fakes {

class FakeProgressBar final : public platform::ProgressBar {
 public:
  std::vector<std::uint32_t> messages;

  void Send(std::uint32_t message, std::uintptr_t, std::intptr_t) override {
    messages.push_back(message);
  }
  int Steps() const {
    return static_cast<int>(std::count(messages.begin(), messages.end(), platform::kPbmStepIt));
  }
};

}  // namespace fakes
