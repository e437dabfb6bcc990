// SPDX-License-Identifier: Apache-2.0
#include "fuzz/ConfigFileFuzz.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StopOnFinding(CheckConfigFile(data, size));
    return 0;
}
