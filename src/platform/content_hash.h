// The digest the program keeps of each file it writes: the file's size and a 32-bit hash of its
// bytes, fast and well spread, with no protection against a file made on purpose to match. The
// hash is fed in pieces as the bytes go by, so a copy needs no second read.
//
// The bytes go through eight 64-bit lanes, 64 at a time: each lane takes the product of the two
// halves of its word mixed with a key, plus its neighbour's word; the keys move on with every
// stripe and the lanes are scrambled after every 1 KiB, so stripes that change places change the
// hash. The vector unit does two lanes per instruction; the portable engine gives the same hash.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct FileDigest {
  std::uint64_t size = 0;
  std::uint32_t hash = 0;
  bool operator==(const FileDigest& other) const { return size == other.size && hash == other.hash; }
  bool operator!=(const FileDigest& other) const { return !(*this == other); }
};

class ContentHash {
 public:
  enum class Engine { Fastest, Portable };
  static constexpr std::size_t kLanes = 8;
  static constexpr std::size_t kStripe = kLanes * 8;
  static constexpr std::size_t kStripesPerBlock = 16;

  explicit ContentHash(Engine engine = Engine::Fastest);
  void Add(const char* bytes, std::size_t length);
  FileDigest Finish() const;

 private:
  void Consume(const char* stripes, std::size_t count);

  std::uint64_t m_lanes[kLanes];
  bool m_vectors;
  std::size_t m_stripeInBlock = 0;
  char m_pending[kStripe] = {};  // the bytes of a stripe not yet whole
  std::size_t m_filled = 0;
  std::uint64_t m_total = 0;
};

}  // namespace platform
