#include "platform/win32/win32_registry.h"

#include <windows.h>

namespace platform {
namespace {

HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }

// Hands the key that an open or create call obtained to the caller; null on failure.
template <typename OpenCall>
ErrorCode Deliver(OpenCall open, RegKey* result) {
  HKEY opened = nullptr;
  const LONG status = open(&opened);
  *result = status == ERROR_SUCCESS ? reinterpret_cast<RegKey>(opened) : kNullKey;
  return status;
}

}  // namespace

ErrorCode Win32Registry::OpenKey(RegKey parent, const char* subKey, RegKey* result) {
  return Deliver([&](HKEY* opened) { return RegOpenKeyA(ToHkey(parent), subKey, opened); }, result);
}

ErrorCode Win32Registry::OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t access, RegKey* result) {
  return Deliver([&](HKEY* opened) { return RegOpenKeyExA(ToHkey(parent), subKey, 0, access, opened); }, result);
}

ErrorCode Win32Registry::CreateKey(RegKey parent, const char* subKey, std::uint32_t access, RegKey* result) {
  return Deliver(
      [&](HKEY* created) {
        return RegCreateKeyExA(ToHkey(parent), subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, created,
                               nullptr);
      },
      result);
}

ErrorCode Win32Registry::DeleteKey(RegKey parent, const char* subKey) { return RegDeleteKeyA(ToHkey(parent), subKey); }

ErrorCode Win32Registry::QuerySubKeyCount(RegKey key, std::uint32_t* count) {
  DWORD subKeys = 0;
  const LONG status = RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr);
  *count = status == ERROR_SUCCESS ? subKeys : 0;
  return status;
}

ErrorCode Win32Registry::QueryValueCount(RegKey key, std::uint32_t* count) {
  DWORD values = 0;
  const LONG status = RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                       nullptr, nullptr, nullptr, nullptr);
  *count = status == ERROR_SUCCESS ? values : 0;
  return status;
}

ErrorCode Win32Registry::EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameChars) {
  DWORD length = *nameChars;
  const LONG status = RegEnumKeyExA(ToHkey(key), index, name, &length, nullptr, nullptr, nullptr, nullptr);
  *nameChars = length;
  return status;
}

ErrorCode Win32Registry::QueryValue(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                    std::uint32_t* size) {
  DWORD valueType = 0;
  DWORD dataSize = *size;
  const LONG status = RegQueryValueExA(ToHkey(key), valueName, nullptr, &valueType, data, &dataSize);
  if (type != nullptr) *type = valueType;
  *size = dataSize;
  return status;
}

ErrorCode Win32Registry::SetValue(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                                  std::uint32_t size) {
  return RegSetValueExA(ToHkey(key), valueName, 0, type, data, size);
}

ErrorCode Win32Registry::DeleteValue(RegKey key, const char* valueName) {
  return RegDeleteValueA(ToHkey(key), valueName);
}

ErrorCode Win32Registry::CloseKey(RegKey key) { return RegCloseKey(ToHkey(key)); }

}  // namespace platform
