// A plan of planted outcomes shared by the fakes of one world. Every platform call the fakes
// take counts as one numbered call (from 0) and is logged; a call whose number is planted
// returns the planted outcome (an error code, a message box answer...) instead of doing its
// work, and changes nothing.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fakes {

struct FaultPlan {
  std::map<int, long> planted;     // call number -> outcome
  std::vector<std::string> calls;  // each call made: its method, then its main argument

  std::optional<long> Take(const std::string& method, const std::string& argument) {
    const auto outcome = planted.find(static_cast<int>(calls.size()));
    calls.push_back(method + " " + argument);
    if (outcome == planted.end()) return std::nullopt;
    return outcome->second;
  }
};

// Counts a call when the fake has a plan; the outcome planted on it, if any.
inline std::optional<long> TakeFault(FaultPlan* plan, const std::string& method,
                                     const char* argument = "") {
  if (plan == nullptr) return std::nullopt;
  return plan->Take(method, argument == nullptr ? "" : argument);
}

}  // namespace fakes
