// Registry keys the program makes and takes away again: every key that an install creates, its
// missing parents included, is reported as made, and an uninstall removes such a key only when
// nothing is left in it. Keys are named in full: "HKLM\..." or "HKCU\...".
#pragma once

#include <string>

#include "core/report.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace core {

// Creates `path` below `parent` (whose full name is `parentName`) opened to read and write. Every
// key of the path that is not there yet is reported as made before it is made, parents first; its
// line is taken back when the key cannot be made, and a key whose line cannot be written is not
// made: the error then, with the levels above that were made (and reported) left in place.
platform::ErrorCode CreateKeyReported(const platform::Services& services, platform::RegKey parent,
                                      const std::string& parentName, const std::string& path,
                                      platform::ScopedRegKey& key, Report& report);

// Removes a key when it holds no subkey and no value: success when it is gone (or was not there),
// kErrorDirNotEmpty when something is left in it, or the error that kept it.
platform::ErrorCode RemoveKeyIfEmpty(const platform::Services& services, const std::string& fullName);

// The root and the path below it of a key named in full; the root is null for another name.
platform::RegKey RootOf(const std::string& fullName);
std::string PathBelowRoot(const std::string& fullName);

}  // namespace core
