// Registry keys an install makes and an uninstall takes away again: every key that an install
// creates, its missing parents included, is reported, and the uninstall removes such a key
// only when nothing is left in it.
#pragma once

#include <string>

#include "core/report.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace core {

// RegCreateKeyA of `path` below `parent`, whose full name is `parentName` ("HKLM\..."), with
// every key of the path that was not there before reported as made, parents first.
platform::ErrorCode CreateKeyReported(const platform::Services& services, platform::RegKey parent,
                                      const std::string& parentName, const std::string& path,
                                      platform::ScopedRegKey& key, Report& report);

// Removes a key named in full ("HKLM\..." or "HKCU\...") when it holds no subkey and no value;
// true when it is gone.
bool RemoveKeyIfEmpty(const platform::Services& services, const std::string& fullName);

// The root and the path below it of a key named in full.
platform::RegKey RootOf(const std::string& fullName);
std::string PathBelowRoot(const std::string& fullName);

}  // namespace core
