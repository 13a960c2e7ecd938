// Owns one GDI object (brush, font) and deletes it when it goes out of scope.
#pragma once

#include <windows.h>

#include <utility>

namespace platform {

template <typename Handle>
class ScopedGdiObject {
 public:
  explicit ScopedGdiObject(Handle object) : m_object(object) {}
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  ~ScopedGdiObject() {
    if (m_object != nullptr) DeleteObject(m_object);
  }

  Handle Get() const { return m_object; }

 private:
  Handle m_object;
};

}  // namespace platform
