// The closers of the Windows objects the program owns, for platform::ScopedHandle: kernel
// handles (none is null, or INVALID_HANDLE_VALUE for files and snapshots), memory of LocalAlloc,
// GDI objects and loaded libraries; the screen's device context; and the error of a call.
#pragma once

#include <windows.h>

#include "platform/scoped_handle.h"
#include "platform/win32_types.h"

namespace platform {

// What a call that tells its success as a BOOL ended with: kErrorSuccess, or its last error.
inline ErrorCode Outcome(BOOL succeeded) { return succeeded ? kErrorSuccess : GetLastError(); }

struct KernelCloser {
  using Handle = HANDLE;
  static inline const Handle kNone = nullptr;
  void Close(Handle handle) { CloseHandle(handle); }
};
struct FileCloser {
  using Handle = HANDLE;
  static inline const Handle kNone = INVALID_HANDLE_VALUE;
  void Close(Handle handle) { CloseHandle(handle); }
};
template <typename Pointer>
struct LocalCloser {
  using Handle = Pointer;
  static constexpr Handle kNone = nullptr;
  void Close(Handle pointer) { LocalFree(pointer); }
};
template <typename Object>
struct GdiCloser {
  using Handle = Object;
  static constexpr Handle kNone = nullptr;
  void Close(Handle object) { DeleteObject(object); }
};
struct LibraryCloser {
  using Handle = HMODULE;
  static constexpr Handle kNone = nullptr;
  void Close(Handle library) { FreeLibrary(library); }
};

using ScopedKernelHandle = ScopedHandle<KernelCloser>;
using ScopedFileHandle = ScopedHandle<FileCloser>;
template <typename Pointer>
using ScopedLocal = ScopedHandle<LocalCloser<Pointer>>;
template <typename Object>
using ScopedGdiObject = ScopedHandle<GdiCloser<Object>>;
using ScopedLibrary = ScopedHandle<LibraryCloser>;

// The screen's device context (null when it cannot be had), released when this goes.
class ScreenDc {
 public:
  ScreenDc() : m_dc(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (m_dc != nullptr) ReleaseDC(nullptr, m_dc);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return m_dc; }

 private:
  HDC m_dc;
};

}  // namespace platform
