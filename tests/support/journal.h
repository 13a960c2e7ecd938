// One ordered record of the changes a test's fakes were asked to make, shared by the fakes
// of one world so that a test can see the order of effects across them.
#pragma once

#include <string>
#include <vector>

namespace fakes {

using Journal = std::vector<std::string>;

inline void Record(Journal* journal, std::string line) {
  if (journal != nullptr) journal->push_back(std::move(line));
}

}  // namespace fakes
