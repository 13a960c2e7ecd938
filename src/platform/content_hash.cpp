#include "platform/content_hash.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#define VORTEL_HASH_VECTORS 1
#endif

namespace platform {
namespace {

using Lanes = std::uint64_t[ContentHash::kLanes];

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull, kPrime2 = 0xC2B2AE3D27D4EB4Full,
                        kPrime3 = 0x165667B19E3779F9ull, kPrime4 = 0x85EBCA77C2B2AE63ull,
                        kPrime5 = 0x27D4EB2F165667C5ull;
constexpr std::uint32_t kScramblePrime = 2654435761u;
constexpr std::size_t kKeyWords = ContentHash::kStripesPerBlock + ContentHash::kLanes;

constexpr std::uint64_t SplitMix(std::uint64_t value) {
  value += 0x9E3779B97F4A7C15ull;
  value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
  value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
  return value ^ (value >> 31);
}

// Stripe n of a block keys lane i with word n + i; the scramble after the block uses the last eight.
constexpr std::array<std::uint64_t, kKeyWords> MakeKeys() {
  std::array<std::uint64_t, kKeyWords> keys{};
  for (std::size_t word = 0; word < kKeyWords; ++word) keys[word] = SplitMix(word);
  return keys;
}
constexpr std::array<std::uint64_t, kKeyWords> kKeys = MakeKeys();

// Eight bytes as a little-endian word (the vector loads read them the same way).
std::uint64_t Word(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  std::uint64_t word = 0;
  for (int at = 7; at >= 0; --at) word = (word << 8) | b[at];
  return word;
}

void AccumulatePortable(Lanes lanes, const char* stripe, std::size_t stripeInBlock) {
  for (std::size_t lane = 0; lane < ContentHash::kLanes; ++lane) {
    const std::uint64_t word = Word(stripe + lane * 8);
    const std::uint64_t keyed = word ^ kKeys[stripeInBlock + lane];
    lanes[lane ^ 1] += word;
    lanes[lane] += static_cast<std::uint64_t>(static_cast<std::uint32_t>(keyed)) * (keyed >> 32);
  }
}

void ScramblePortable(Lanes lanes) {
  for (std::size_t lane = 0; lane < ContentHash::kLanes; ++lane) {
    std::uint64_t value = lanes[lane];
    value ^= value >> 47;
    value ^= kKeys[ContentHash::kStripesPerBlock + lane];
    lanes[lane] = value * kScramblePrime;
  }
}

std::size_t ConsumePortable(Lanes lanes, const char* stripes, std::size_t count, std::size_t stripeInBlock) {
  for (std::size_t at = 0; at < count; ++at, stripes += ContentHash::kStripe) {
    AccumulatePortable(lanes, stripes, stripeInBlock);
    if (++stripeInBlock == ContentHash::kStripesPerBlock) {
      ScramblePortable(lanes);
      stripeInBlock = 0;
    }
  }
  return stripeInBlock;
}

#ifdef VORTEL_HASH_VECTORS
// The same as the portable engine, two lanes to a register: the product of a word's halves with
// one unsigned 32-bit multiply, the neighbour's word by swapping the register's halves.
__attribute__((target("sse2"))) std::size_t ConsumeWithVectors(Lanes lanes, const char* stripes, std::size_t count,
                                                               std::size_t stripeInBlock) {
  constexpr std::size_t kRegisters = ContentHash::kLanes / 2;
  __m128i sums[kRegisters];
  for (std::size_t at = 0; at < kRegisters; ++at)
    sums[at] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes) + at);
  const __m128i scramblePrime = _mm_set1_epi32(static_cast<int>(kScramblePrime));
  for (std::size_t stripe = 0; stripe < count; ++stripe, stripes += ContentHash::kStripe) {
    const auto* words = reinterpret_cast<const __m128i*>(stripes);
    const auto* keys = reinterpret_cast<const __m128i*>(kKeys.data() + stripeInBlock);
    for (std::size_t at = 0; at < kRegisters; ++at) {
      const __m128i data = _mm_loadu_si128(words + at);
      const __m128i keyed = _mm_xor_si128(data, _mm_loadu_si128(keys + at));
      const __m128i product = _mm_mul_epu32(keyed, _mm_shuffle_epi32(keyed, _MM_SHUFFLE(0, 3, 0, 1)));
      sums[at] = _mm_add_epi64(sums[at], _mm_add_epi64(product, _mm_shuffle_epi32(data, _MM_SHUFFLE(1, 0, 3, 2))));
    }
    if (++stripeInBlock < ContentHash::kStripesPerBlock) continue;
    stripeInBlock = 0;
    const auto* scrambleKeys = reinterpret_cast<const __m128i*>(kKeys.data() + ContentHash::kStripesPerBlock);
    for (std::size_t at = 0; at < kRegisters; ++at) {
      __m128i value = _mm_xor_si128(sums[at], _mm_srli_epi64(sums[at], 47));
      value = _mm_xor_si128(value, _mm_loadu_si128(scrambleKeys + at));
      const __m128i low = _mm_mul_epu32(value, scramblePrime);
      const __m128i high = _mm_mul_epu32(_mm_srli_epi64(value, 32), scramblePrime);
      sums[at] = _mm_add_epi64(low, _mm_slli_epi64(high, 32));
    }
  }
  for (std::size_t at = 0; at < kRegisters; ++at) _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes) + at, sums[at]);
  return stripeInBlock;
}

bool HasVectors() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("sse2");
}
#else
bool HasVectors() { return false; }
#endif

std::uint64_t Rotate(std::uint64_t value, int bits) { return (value << bits) | (value >> (64 - bits)); }

}  // namespace

ContentHash::ContentHash(Engine engine)
    : m_lanes{kScramblePrime, kPrime1, kPrime2, kPrime3, kPrime4, 2246822519u, kPrime5, 3266489917u} {
  static const bool hasVectors = HasVectors();
  m_vectors = engine == Engine::Fastest && hasVectors;
}

void ContentHash::Add(const char* bytes, std::size_t length) {
  m_total += length;
  if (m_filled > 0) {
    const std::size_t taken = std::min(length, kStripe - m_filled);
    std::memcpy(m_pending + m_filled, bytes, taken);
    m_filled += taken;
    bytes += taken;
    length -= taken;
    if (m_filled < kStripe) return;
    Consume(m_pending, 1);
    m_filled = 0;
  }
  Consume(bytes, length / kStripe);
  m_filled = length % kStripe;
  std::memcpy(m_pending, bytes + length - m_filled, m_filled);
}

void ContentHash::Consume(const char* stripes, std::size_t count) {
#ifdef VORTEL_HASH_VECTORS
  if (m_vectors) {
    m_stripeInBlock = ConsumeWithVectors(m_lanes, stripes, count, m_stripeInBlock);
    return;
  }
#endif
  m_stripeInBlock = ConsumePortable(m_lanes, stripes, count, m_stripeInBlock);
}

// The bytes of a last, short stripe go in padded with zeros (the size tells them apart), then the
// lanes are folded into one word and its bits spread.
FileDigest ContentHash::Finish() const {
  Lanes lanes;
  std::copy(m_lanes, m_lanes + kLanes, lanes);
  if (m_filled > 0) {
    char last[kStripe] = {};
    std::memcpy(last, m_pending, m_filled);
    AccumulatePortable(lanes, last, m_stripeInBlock);
  }
  std::uint64_t hash = m_total * kPrime1;
  for (std::size_t lane = 0; lane < kLanes; ++lane) {
    hash ^= Rotate(lanes[lane] * kPrime2, 31) * kPrime1;
    hash = Rotate(hash, 27) * kPrime1 + kPrime4;
  }
  hash ^= hash >> 33;
  hash *= kPrime2;
  hash ^= hash >> 29;
  hash *= kPrime3;
  hash ^= hash >> 32;
  return FileDigest{m_total, static_cast<std::uint32_t>(hash)};
}

}  // namespace platform
