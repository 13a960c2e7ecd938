// What the install's copies ask whoever runs them, and tell them when they cannot go on: the
// setup dialog asks the user in message boxes it owns; a run without a dialog answers itself.
#pragma once

#include <string>

#include "platform/win32_types.h"

namespace core {

enum class CopyAnswer { Abort, Retry, Ignore };

class CopyQuestions {
 public:
  virtual ~CopyQuestions() = default;
  // The package folder is not beside the program: what needed it cannot go on.
  virtual void PackageNotFound() = 0;
  // A program file could not be copied to `destination` (`error` says why): abort the copy,
  // try again, or leave that file as it is and go on.
  virtual CopyAnswer CopyFailed(const std::string& destination, platform::ErrorCode error) = 0;
};

}  // namespace core
