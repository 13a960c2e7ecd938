// printf-style formatting into a string of whatever length the text needs. The compiler checks
// every format string against its arguments.
#pragma once

#include <cstdarg>
#include <string>

// printf's rules for the C library's formatting: on Windows the system's (msvcrt's).
#if defined(__GNUC__)
#define VORTEL_PRINTF_FORMAT(formatIndex, firstArgument) __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define VORTEL_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

namespace platform {

std::string FormatText(const char* format, ...) VORTEL_PRINTF_FORMAT(1, 2);
// The same with the arguments of a function that takes a format itself.
std::string FormatTextV(const char* format, std::va_list arguments) VORTEL_PRINTF_FORMAT(1, 0);

}  // namespace platform
