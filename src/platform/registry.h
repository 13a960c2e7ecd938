// The registry calls the program makes, shaped like the 8-bit Win32 functions they stand for.
// Every call returns a Win32 error code; no call takes a registry-view flag.
#pragma once

#include <cstdint>
#include <string>

#include "platform/scoped_handle.h"
#include "platform/win32_types.h"

namespace platform {

// An open key. 0 is the null handle; the predefined roots keep their Win32 values.
using RegKey = std::uintptr_t;

constexpr RegKey kNullKey = 0;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;

constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kKeyReadWrite = kKeyRead | kKeyWrite;

constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

class Registry {
 public:
  virtual ~Registry() = default;

  // RegOpenKeyA: default access; a null or empty name yields a handle for `parent` itself.
  virtual ErrorCode OpenKey(RegKey parent, const char* subKey, RegKey* result) = 0;
  // RegOpenKeyExA with the given access mask.
  virtual ErrorCode OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t access, RegKey* result) = 0;
  // RegCreateKeyExA with the given access mask: creates the key and any missing parent, or opens
  // it where it exists.
  virtual ErrorCode CreateKey(RegKey parent, const char* subKey, std::uint32_t access, RegKey* result) = 0;
  // RegDeleteKeyA: deletes a key that has no subkeys.
  virtual ErrorCode DeleteKey(RegKey parent, const char* subKey) = 0;
  // RegQueryInfoKeyA asking only for the number of subkeys.
  virtual ErrorCode QuerySubKeyCount(RegKey key, std::uint32_t* count) = 0;
  // RegQueryInfoKeyA asking only for the number of values.
  virtual ErrorCode QueryValueCount(RegKey key, std::uint32_t* count) = 0;
  // RegEnumKeyExA: `nameChars` holds the buffer's capacity in and the name's length out.
  virtual ErrorCode EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameChars) = 0;
  // RegQueryValueExA: kErrorMoreData with the needed size in `size` when `data` is too small.
  virtual ErrorCode QueryValue(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* size) = 0;
  // RegSetValueExA (reserved argument 0).
  virtual ErrorCode SetValue(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t size) = 0;
  // RegDeleteValueA.
  virtual ErrorCode DeleteValue(RegKey key, const char* valueName) = 0;
  virtual ErrorCode CloseKey(RegKey key) = 0;
};

// Owns one open key and closes it when it goes out of scope.
using ScopedRegKey = ScopedHandle<ServiceCloser<Registry, RegKey, kNullKey, &Registry::CloseKey>>;

}  // namespace platform
