// The lead-byte test of the system's ANSI code page.
#pragma once

namespace platform {

bool IsSystemLeadByte(unsigned char byte);

}  // namespace platform
