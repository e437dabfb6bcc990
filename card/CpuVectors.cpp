// SPDX-License-Identifier: Apache-2.0
#include "card/CpuVectors.h"

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace tavrin {

Vectors AvailableVectors() {
#if defined(__x86_64__)
    static const Vectors available = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_SSSE3)) return Vectors::Sse2;
        if (!(c & bit_OSXSAVE) || !(c & bit_AVX)) return Vectors::Ssse3;
        unsigned xcr0 = 0, xcr0High = 0;
        __asm__("xgetbv" : "=a"(xcr0), "=d"(xcr0High) : "c"(0));
        if ((xcr0 & 6) != 6) return Vectors::Ssse3;  // the system does not save the AVX registers
        if (!__get_cpuid_count(7, 0, &a, &b, &c, &d) || !(b & bit_AVX2)) return Vectors::Ssse3;
        return (c & bit_GFNI) ? Vectors::Avx2Gfni : Vectors::Avx2;
    }();
    return available;
#else
    return Vectors::None;
#endif
}

}  // namespace tavrin
