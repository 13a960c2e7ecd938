#pragma once

#include <string>

namespace e2e {

// The setup program under test, as a Windows path.
const std::string& SetupProgram();

}  // namespace e2e
