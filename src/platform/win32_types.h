// Plain-integer stand-ins for the Win32 types and constants the portable code uses,
// so that the core compiles without <windows.h>. The values are the Win32 ones.
#pragma once

#include <cstdint>

namespace platform {

using ErrorCode = long;  // a Win32 error code as the API returns it (LONG / GetLastError)

constexpr ErrorCode kErrorSuccess = 0;
constexpr ErrorCode kErrorFileNotFound = 2;
constexpr ErrorCode kErrorPathNotFound = 3;
constexpr ErrorCode kErrorAccessDenied = 5;
constexpr ErrorCode kErrorInvalidHandle = 6;
constexpr ErrorCode kErrorSharingViolation = 32;
constexpr ErrorCode kErrorFileExists = 80;
constexpr ErrorCode kErrorInvalidParameter = 87;
constexpr ErrorCode kErrorDirNotEmpty = 145;
constexpr ErrorCode kErrorDirectory = 267;  // ERROR_DIRECTORY: not a folder
constexpr ErrorCode kErrorFilenameTooLong = 206;  // ERROR_FILENAME_EXCED_RANGE
constexpr ErrorCode kErrorFileTooLarge = 223;
constexpr ErrorCode kErrorAlreadyExists = 183;
constexpr ErrorCode kErrorMoreData = 234;
constexpr ErrorCode kErrorNoMoreItems = 259;
constexpr ErrorCode kErrorNoMoreFiles = 18;

}  // namespace platform
