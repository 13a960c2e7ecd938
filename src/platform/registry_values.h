// Reading and writing the registry values the program uses, over the registry service: a text of
// bounded length, a number, and a text or number written.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace platform {

// A value read as text: its bytes up to the first NUL, whatever its type, and its type.
struct ValueText {
  std::string text;
  std::uint32_t type = kRegNone;
};

// RegQueryValueExA of `name` into a buffer of `limit` bytes: kErrorFileNotFound for a missing value,
// kErrorMoreData for one longer than the limit, another error when it cannot be read.
ErrorCode ReadValueText(Registry& registry, RegKey key, const char* name, std::uint32_t limit, ValueText* value);

// The same of a key `path` below `parent`, opened to read.
ErrorCode ReadValueText(Registry& registry, RegKey parent, const std::string& path, const char* name,
                        std::uint32_t limit, ValueText* value);

// A REG_SZ or REG_EXPAND_SZ value of at most 1 KiB as text; "" when there is none.
std::string ReadString(Registry& registry, RegKey parent, const std::string& path, const char* name);

// RegSetValueExA of a REG_SZ text with its NUL, or of a REG_DWORD.
ErrorCode SetText(Registry& registry, RegKey key, const char* name, const std::string& text);
ErrorCode SetNumber(Registry& registry, RegKey key, const char* name, std::uint32_t number);

}  // namespace platform
