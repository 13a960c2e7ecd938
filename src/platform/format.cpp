#include "platform/format.h"

#include <cstdio>

namespace platform {
namespace {

// On Windows the system's own formatting (msvcrt's), which reads the program's formats (no
// floating point, no 64-bit numbers) as the standard one does; the runtime's replacement for it
// would add some 50 KB to the program.
#if defined(_WIN32)
int MeasureText(const char* format, std::va_list arguments) { return _vscprintf(format, arguments); }
void WriteText(char* text, std::size_t size, const char* format, std::va_list arguments) {
  _vsnprintf(text, size, format, arguments);
}
#else
int MeasureText(const char* format, std::va_list arguments) { return std::vsnprintf(nullptr, 0, format, arguments); }
void WriteText(char* text, std::size_t size, const char* format, std::va_list arguments) {
  std::vsnprintf(text, size, format, arguments);
}
#endif

}  // namespace

std::string FormatText(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::string text = FormatTextV(format, arguments);
  va_end(arguments);
  return text;
}

std::string FormatTextV(const char* format, std::va_list arguments) {
  std::va_list measuring;
  va_copy(measuring, arguments);
  const int length = MeasureText(format, measuring);
  va_end(measuring);
  if (length < 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  WriteText(text.data(), text.size(), format, arguments);
  text.pop_back();
  return text;
}

}  // namespace platform
