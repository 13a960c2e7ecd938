// Owns one handle that a platform service handed out (an open key, a listing, a file) and gives
// it back to the service's closing call when it goes out of scope.
#pragma once

#include <utility>

#include "platform/win32_types.h"

namespace platform {

template <typename Service, typename Handle, Handle kNone, ErrorCode (Service::*Close)(Handle)>
class ScopedHandle {
 public:
  explicit ScopedHandle(Service& service) : m_service(&service) {}
  ScopedHandle(ScopedHandle&& other) noexcept
      : m_service(other.m_service), m_handle(std::exchange(other.m_handle, kNone)) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() { Reset(); }

  bool IsOpen() const { return m_handle != kNone; }
  Handle Get() const { return m_handle; }
  // For the calls that open: releases any handle held and hands out the slot to fill.
  Handle* Receive() {
    Reset();
    return &m_handle;
  }
  void Reset() {
    if (m_handle != kNone) (m_service->*Close)(std::exchange(m_handle, kNone));
  }

 private:
  Service* m_service;
  Handle m_handle = kNone;
};

}  // namespace platform
