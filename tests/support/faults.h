// What the in-memory fakes share: names, trees and the one fault mechanism. Every call a fake takes is numbered and
// logged as "Method path"; a planted fault fails the calls of one method on a path and below it, or the call of one
// number, with the outcome planted (an error code, a message box's answer). A failed call changes nothing.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/multibyte.h"

namespace fakes {

// Names compare as Windows compares them: single-byte letters without regard to case.
inline std::string Upper(std::string text) {
  platform::ToUpperByCharacters(text, platform::IsCp936LeadByte);
  return text;
}
struct NameLess {
  bool operator()(const std::string& a, const std::string& b) const { return Upper(a) < Upper(b); }
};

// A path's non-empty parts, split at the backslashes that are characters (a GBK trail byte 0x5C is none).
inline std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts(1);
  for (std::size_t at = 0; at < path.size(); ++at) {
    if (path[at] == '\\') {
      if (!parts.back().empty()) parts.emplace_back();
    } else {
      if (platform::IsCp936LeadByte(path[at]) && at + 1 < path.size()) parts.back() += path[at++];
      parts.back() += path[at];
    }
  }
  if (parts.back().empty()) parts.pop_back();
  return parts;
}

// The child of a tree's node called `name`, made when missing if `create`; null when missing.
template <typename Node>
std::shared_ptr<Node> Child(Node& node, const std::string& name, bool create) {
  const auto child = node.children.find(name);
  if (child != node.children.end()) return child->second;
  return create ? node.children[name] = std::make_shared<Node>() : nullptr;
}

struct Fault {
  std::string method, path;  // "" for every path
  long outcome;
  int call = -1;  // when set, the fault fails this call alone, whatever it is
};

// Thrown by the call at which the process is killed: nothing after it takes effect.
struct Killed {};

struct Faults {
  std::vector<Fault> planted;
  std::vector<std::string> calls;
  int killAt = -1;    // the call at which the process is killed, if any
  bool dead = false;  // killed: every later call (its handles closing aside) fails

  // Whether the next call is the one at which the process is killed.
  bool Killing() const { return killAt >= 0 && killAt == static_cast<int>(calls.size()); }

  void Fail(const std::string& method, const std::string& path, long outcome) { planted.push_back({method, path, outcome}); }
  // Counts and logs a call; the outcome planted on it, if any. `other` is a copy's source.
  std::optional<long> Take(const std::string& method, const std::string& path, const std::string& other = "") {
    if (dead) return 5;  // ERROR_ACCESS_DENIED
    if (Killing()) {
      dead = true;
      throw Killed{};
    }
    calls.push_back(method + " " + path);
    for (const Fault& fault : planted) {
      const bool hit =
          fault.call >= 0 ? fault.call + 1 == static_cast<int>(calls.size())
                          : fault.method == method && (IsAtOrBelow(path, fault.path) || (!other.empty() && IsAtOrBelow(other, fault.path)));
      if (hit) return fault.outcome;
    }
    return std::nullopt;
  }
  // Whether `path` is `top`, lies below it or is one of its streams.
  static bool IsAtOrBelow(const std::string& path, std::string top) {
    if (!top.empty() && top.back() == '\\') top.pop_back();
    const std::string upper = Upper(path) + "\\";
    return top.empty() || upper.rfind(Upper(top) + "\\", 0) == 0 || upper.rfind(Upper(top) + ":", 0) == 0;
  }
};

}  // namespace fakes
