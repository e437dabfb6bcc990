// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tavrin {

// The checks of the fuzz targets return what went wrong (empty when every property held), so
// that the same checks run under libFuzzer and in the regression tests.
using FuzzFinding = std::string;

// libFuzzer entry points stop at the first broken property; the input is then kept as a crash.
inline void StopOnFinding(const FuzzFinding& finding) {
    if (finding.empty()) return;
    std::fprintf(stderr, "property broken: %s\n", finding.c_str());
    std::abort();
}

}  // namespace tavrin
