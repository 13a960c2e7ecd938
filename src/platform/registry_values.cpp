#include "platform/registry_values.h"

#include <algorithm>
#include <memory>

namespace platform {
namespace {

constexpr std::uint32_t kStringLimit = 1024;

}  // namespace

ErrorCode ReadValueText(Registry& registry, RegKey key, const char* name, std::uint32_t limit, ValueText* value) {
  const std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[limit]);  // read only as far as the value fills it
  std::uint32_t size = limit;
  std::uint32_t type = kRegNone;
  const ErrorCode read = registry.QueryValue(key, name, &type, data.get(), &size);
  if (read != kErrorSuccess) return read;
  std::uint8_t* end = data.get() + std::min(size, limit);
  value->text.assign(data.get(), std::find(data.get(), end, std::uint8_t{0}));
  value->type = type;
  return kErrorSuccess;
}

ErrorCode ReadValueText(Registry& registry, RegKey parent, const std::string& path, const char* name,
                        std::uint32_t limit, ValueText* value) {
  ScopedRegKey key(registry);
  const ErrorCode opened = registry.OpenKeyEx(parent, path.c_str(), kKeyRead, key.Receive());
  return opened != kErrorSuccess ? opened : ReadValueText(registry, key.Get(), name, limit, value);
}

std::string ReadString(Registry& registry, RegKey parent, const std::string& path, const char* name) {
  ValueText value;
  const bool read = ReadValueText(registry, parent, path, name, kStringLimit, &value) == kErrorSuccess;
  return read && (value.type == kRegSz || value.type == kRegExpandSz) ? value.text : "";
}

ErrorCode SetText(Registry& registry, RegKey key, const char* name, const std::string& text) {
  return registry.SetValue(key, name, kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                           static_cast<std::uint32_t>(text.size() + 1));
}

ErrorCode SetNumber(Registry& registry, RegKey key, const char* name, std::uint32_t number) {
  return registry.SetValue(key, name, kRegDword, reinterpret_cast<const std::uint8_t*>(&number), sizeof number);
}

}  // namespace platform
