// The digest the program keeps of each file it writes: the file's size and the 64-bit XXH3 hash of
// its bytes (the xxHash library's), fast and well spread, with no protection against a file made on
// purpose to match. The hash is fed in pieces as the bytes go by, so a copy needs no second read.
// It runs on the widest vector unit the processor has (AVX2, else SSE2), chosen when the program
// starts; the portable engine gives the same hash on a processor with neither.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct FileDigest {
  std::uint64_t size = 0;
  std::uint64_t hash = 0;
  bool operator==(const FileDigest& other) const { return size == other.size && hash == other.hash; }
  bool operator!=(const FileDigest& other) const { return !(*this == other); }
};

// One way of running the hash: over the state of one file's bytes (kHashStateBytes, 64-aligned).
struct HashEngine {
  void (*reset)(void* state);
  void (*add)(void* state, const char* bytes, std::size_t length);
  std::uint64_t (*finish)(const void* state);
};
inline constexpr std::size_t kHashStateBytes = 640;
extern const HashEngine kPortableHash;
extern const HashEngine kVectorHash;      // only where the processor has SSE2
extern const HashEngine kWideVectorHash;  // only where the processor has AVX2

class ContentHash {
 public:
  // Fastest: the widest unit there is; Vector: SSE2 where there is more, as on a processor without
  // AVX2.
  enum class Engine { Fastest, Vector, Portable };

  explicit ContentHash(Engine engine = Engine::Fastest);
  ContentHash(const ContentHash&) = delete;
  ContentHash& operator=(const ContentHash&) = delete;
  void Add(const char* bytes, std::size_t length);
  FileDigest Finish() const;

 private:
  alignas(64) unsigned char m_state[kHashStateBytes];
  const HashEngine* m_engine;
  std::uint64_t m_total = 0;
};

}  // namespace platform
