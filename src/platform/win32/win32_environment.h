// The environment over the real Win32 calls.
#pragma once

#include "platform/environment.h"

namespace platform {

class Win32Environment final : public Environment {
 public:
  std::string TempFolder() override;
  bool RandomBytes(void* buffer, unsigned size) override;
  LocalTime Now() override;
  bool IsElevated() override;
  std::string ToUtf8(const std::string& text) override;
  unsigned AnsiCodePage() override;
};

}  // namespace platform
