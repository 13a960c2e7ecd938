#pragma once

#include <string>

namespace e2e {

// The setup program under test, as a Windows path.
const std::string& SetupProgram();

// A program that idles until it is ended, built beside this suite.
std::string IdleProgram();

}  // namespace e2e
