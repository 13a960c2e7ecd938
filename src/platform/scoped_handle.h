// Owns one handle and gives it back to its closer when it goes out of scope: an open key, a
// listing or a file of a platform service, and on the Windows side a kernel handle, a GDI object,
// memory of LocalAlloc or a loaded library. The closer says what "no handle" is and how one is
// closed; a closer of a service's handles holds the service.
#pragma once

#include <utility>

namespace platform {

template <typename Closer>
class ScopedHandle {
 public:
  using Handle = typename Closer::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Closer closer) : m_closer(std::move(closer)) {}
  ScopedHandle(Closer closer, Handle handle) : m_closer(std::move(closer)), m_handle(handle) {}
  ScopedHandle(ScopedHandle&& other) noexcept
      : m_closer(std::move(other.m_closer)), m_handle(std::exchange(other.m_handle, Closer::kNone)) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle& operator=(ScopedHandle&&) = delete;
  ~ScopedHandle() { Reset(); }

  bool IsOpen() const { return m_handle != Closer::kNone; }
  Handle Get() const { return m_handle; }
  // For the calls that open: releases any handle held and hands out the slot to fill.
  Handle* Receive() {
    Reset();
    return &m_handle;
  }
  void Reset() {
    if (IsOpen()) m_closer.Close(std::exchange(m_handle, Closer::kNone));
  }

 private:
  Closer m_closer{};
  Handle m_handle = Closer::kNone;
};

// The closer of the handles a platform service hands out, through the service's closing call.
template <typename Service, typename HandleType, HandleType kNoHandle, auto Closing>
struct ServiceCloser {
  using Handle = HandleType;
  static constexpr Handle kNone = kNoHandle;
  ServiceCloser(Service& owner) : service(&owner) {}  // NOLINT: a scoped handle is built from its service
  void Close(Handle handle) { (service->*Closing)(handle); }
  Service* service;
};

}  // namespace platform
