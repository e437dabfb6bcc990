// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace tavrin {

// The vector instruction sets this CPU and system can run, in order: each implies the ones
// before it. Asked once, on first use, so that a run that encodes nothing does not pay for the
// CPUID exits of a virtual machine at start.
enum class Vectors { None, Sse2, Ssse3, Avx2, Avx2Gfni };
Vectors AvailableVectors();

}  // namespace tavrin
