#include "platform/win32/win32_multibyte.h"

#include <windows.h>

namespace platform {

bool IsSystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace platform
