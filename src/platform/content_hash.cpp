#include "platform/content_hash.h"

// The portable engine: plain 64-bit arithmetic, on any processor.
#define XXH_VECTOR 0  // XXH_SCALAR
#include "platform/content_hash_engine.inc"

namespace platform {
namespace {

// The vector units the processor has (GCC's test of AVX2 also asks whether the system keeps its
// registers).
struct Units {
  bool vectors = false, wideVectors = false;
};
Units ProcessorUnits() {
#if defined(__i386__) || defined(__x86_64__)
  __builtin_cpu_init();
  return {__builtin_cpu_supports("sse2") != 0, __builtin_cpu_supports("avx2") != 0};
#else
  return {};
#endif
}

}  // namespace

const HashEngine kPortableHash = {Reset, Add, Finish};

ContentHash::ContentHash(Engine engine) {
  static const Units units = ProcessorUnits();
  m_engine = engine == Engine::Fastest && units.wideVectors ? &kWideVectorHash
             : engine != Engine::Portable && units.vectors  ? &kVectorHash
                                                            : &kPortableHash;
  m_engine->reset(m_state);
}

void ContentHash::Add(const char* bytes, std::size_t length) {
  m_total += length;
  m_engine->add(m_state, bytes, length);
}

FileDigest ContentHash::Finish() const { return FileDigest{m_total, m_engine->finish(m_state)}; }

}  // namespace platform
