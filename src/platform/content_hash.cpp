#include "platform/content_hash.h"

#include <string_view>

// The portable engine: plain 64-bit arithmetic, on any processor.
#define XXH_VECTOR 0  // XXH_SCALAR
#include "platform/content_hash_engine.inc"

namespace platform {
namespace {

// Whether the processor has the unit (GCC's test of AVX2 also asks whether the system keeps its
// registers).
bool Has(const char* unit) {
#if defined(__i386__) || defined(__x86_64__)
  __builtin_cpu_init();
  return unit == std::string_view("avx2") ? __builtin_cpu_supports("avx2") : __builtin_cpu_supports("sse2");
#else
  static_cast<void>(unit);
  return false;
#endif
}

}  // namespace

const HashEngine kPortableHash = {Reset, Add, Finish};

ContentHash::ContentHash(Engine engine) {
  static const bool hasVectors = Has("sse2"), hasWideVectors = Has("avx2");
  m_engine = engine == Engine::Fastest && hasWideVectors ? &kWideVectorHash
             : engine != Engine::Portable && hasVectors  ? &kVectorHash
                                                         : &kPortableHash;
  m_engine->reset(m_state);
}

void ContentHash::Add(const char* bytes, std::size_t length) {
  m_total += length;
  m_engine->add(m_state, bytes, length);
}

FileDigest ContentHash::Finish() const { return FileDigest{m_total, m_engine->finish(m_state)}; }

}  // namespace platform
