// The engine of the hash on the vector unit: the code of this file alone is built for SSE2 (the
// marking holds through the link-time optimisation), and runs only where the processor has it.
#if defined(__i386__) || defined(__x86_64__)
#pragma GCC target("sse2")
#include <emmintrin.h>  // the library includes it only for a whole build for SSE2
#define XXH_VECTOR 1    // XXH_SSE2
#else
#define XXH_VECTOR 0  // XXH_SCALAR: no such unit
#endif

#include "platform/content_hash.h"
#include "platform/content_hash_engine.inc"

const platform::HashEngine platform::kVectorHash = {Reset, Add, Finish};
