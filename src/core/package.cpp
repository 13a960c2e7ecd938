#include "core/package.h"

#include "platform/format.h"

namespace core {

std::string VersionText(int packageVersion) {
  return platform::FormatText("%d.%02d.%02d", packageVersion / 10000, packageVersion % 10000 / 100,
                              packageVersion % 100);
}

}  // namespace core
