// A fuzz input read as a stream of small decisions; a broken rule aborts, which the fuzzer
// reports as a finding.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

namespace fuzz {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  bool Empty() const { return m_offset >= m_size; }
  std::uint8_t Byte() { return Empty() ? 0 : m_data[m_offset++]; }
  std::size_t Upto(std::size_t limit) { return Byte() % (limit + 1); }  // 0 to `limit`
  std::string Bytes(std::size_t count) {
    std::string text;
    while (count-- > 0 && !Empty()) text.push_back(static_cast<char>(Byte()));
    return text;
  }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size, m_offset = 0;
};

}  // namespace fuzz
