// The engine of the hash on the wide vector unit: the code of this file alone is built for AVX2
// (the marking holds through the link-time optimisation), and runs only where the processor has it
// and Windows keeps its registers.
#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>  // the library includes it only for a whole build for AVX2
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC target("avx2")
#endif
#define XXH_VECTOR 2  // XXH_AVX2
#else
#define XXH_VECTOR 0  // XXH_SCALAR: no such unit
#endif

#include "platform/content_hash.h"
#include "platform/content_hash_engine.inc"

#if defined(__clang__) && (defined(__i386__) || defined(__x86_64__))
#pragma clang attribute pop
#endif

const platform::HashEngine platform::kWideVectorHash = {Reset, Add, Finish};
