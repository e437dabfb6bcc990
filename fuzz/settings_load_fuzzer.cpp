// SPDX-License-Identifier: Apache-2.0
#include "fuzz/FuzzScratch.h"
#include "fuzz/SettingsLoadFuzz.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzScratch scratch{"input.tvs", "saved.tvs"};
    StopOnFinding(CheckSettingsLoad(data, size, scratch.Folder()));
    return 0;
}
