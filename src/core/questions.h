// What the install's copies ask whoever runs them, and tell them when they cannot go on: the
// setup dialog asks the user in message boxes it owns; a run without a dialog answers itself.
#pragma once

#include <string>

#include "platform/win32_types.h"

namespace core {

// ReplaceAtRestart: the file is in use; put the new one beside it and in its place when Windows
// next starts.
enum class CopyAnswer { Abort, Retry, Ignore, ReplaceAtRestart };

class CopyQuestions {
 public:
  virtual ~CopyQuestions() = default;
  // The package folder is not beside the program: what needed it cannot go on.
  virtual void PackageNotFound() = 0;
  // A program file could not be copied to `destination` (`error` says why).
  virtual CopyAnswer CopyFailed(const std::string& destination, platform::ErrorCode error) = 0;
};

// Whether a copy failed because the file is in use by a process.
inline bool IsInUse(platform::ErrorCode error) {
  return error == platform::kErrorSharingViolation || error == platform::kErrorLockViolation ||
         error == platform::kErrorUserMappedFile;
}

}  // namespace core
