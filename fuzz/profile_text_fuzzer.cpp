// SPDX-License-Identifier: Apache-2.0
#include "fuzz/ProfileTextFuzz.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StopOnFinding(CheckProfileText(data, size));
    return 0;
}
