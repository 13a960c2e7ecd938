// Plain-integer stand-ins for the Win32 types and constants the portable code uses,
// so that the core compiles without <windows.h>. The values are the Win32 ones.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// MAX_PATH: a path buffer of this many bytes holds a path of one character less and its zero.
constexpr std::size_t kMaxPath = 260;

using ErrorCode = long;  // a Win32 error code as the API returns it (LONG / GetLastError)

constexpr ErrorCode kErrorSuccess = 0;
constexpr ErrorCode kErrorFileNotFound = 2;
constexpr ErrorCode kErrorPathNotFound = 3;
constexpr ErrorCode kErrorAccessDenied = 5;
constexpr ErrorCode kErrorInvalidHandle = 6;
constexpr ErrorCode kErrorInvalidData = 13;
constexpr ErrorCode kErrorSharingViolation = 32;
constexpr ErrorCode kErrorLockViolation = 33;
constexpr ErrorCode kErrorDiskFull = 112;
constexpr ErrorCode kErrorTimeout = 1460;
constexpr ErrorCode kErrorFileExists = 80;
constexpr ErrorCode kErrorInvalidParameter = 87;
constexpr ErrorCode kErrorDirNotEmpty = 145;
constexpr ErrorCode kErrorDirectory = 267;        // ERROR_DIRECTORY: not a folder
constexpr ErrorCode kErrorFilenameTooLong = 206;  // ERROR_FILENAME_EXCED_RANGE
constexpr ErrorCode kErrorFileTooLarge = 223;
constexpr ErrorCode kErrorAlreadyExists = 183;
constexpr ErrorCode kErrorMoreData = 234;
constexpr ErrorCode kErrorNoMoreItems = 259;
constexpr ErrorCode kErrorNoMoreFiles = 18;
constexpr ErrorCode kErrorUserMappedFile = 1224;  // a file mapped into a process: in use

// The first error of a step made of many calls, each of which is still made: kErrorSuccess while
// none has failed.
class FirstError {
 public:
  FirstError& operator+=(ErrorCode error) {
    if (m_error == kErrorSuccess) m_error = error;
    return *this;
  }
  ErrorCode Get() const { return m_error; }

 private:
  ErrorCode m_error = kErrorSuccess;
};

}  // namespace platform
