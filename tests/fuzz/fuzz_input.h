// Reads a fuzz input as a stream of small decisions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace fuzz {

// A broken rule ends the run, which the fuzzer reports as a finding.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

  bool Empty() const { return m_offset >= m_size; }
  std::uint8_t Byte() { return Empty() ? 0 : m_data[m_offset++]; }
  // A number from 0 to `limit` inclusive.
  std::size_t Below(std::size_t limit) { return limit == 0 ? 0 : Byte() % (limit + 1); }
  std::string Bytes(std::size_t count) {
    std::string text;
    while (count-- > 0 && !Empty()) text.push_back(static_cast<char>(Byte()));
    return text;
  }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_offset = 0;
};

}  // namespace fuzz
