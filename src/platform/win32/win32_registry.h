// The registry service over the real 8-bit Win32 registry calls, with no registry-view flag.
#pragma once

#include "platform/registry.h"

namespace platform {

class Win32Registry final : public Registry {
 public:
  ErrorCode OpenKey(RegKey parent, const char* subKey, RegKey* result) override;
  ErrorCode OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t access, RegKey* result) override;
  ErrorCode CreateKey(RegKey parent, const char* subKey, std::uint32_t access, RegKey* result) override;
  ErrorCode DeleteKey(RegKey parent, const char* subKey) override;
  ErrorCode QuerySubKeyCount(RegKey key, std::uint32_t* count) override;
  ErrorCode QueryValueCount(RegKey key, std::uint32_t* count) override;
  ErrorCode EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameChars) override;
  ErrorCode QueryValue(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                       std::uint32_t* size) override;
  ErrorCode SetValue(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                     std::uint32_t size) override;
  ErrorCode DeleteValue(RegKey key, const char* valueName) override;
  ErrorCode CloseKey(RegKey key) override;
};

}  // namespace platform
