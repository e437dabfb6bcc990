// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "card/CardLayout.h"

using namespace tavrin;

namespace {

// One chunk of image per iteration; bytes/s is the rate at which the image is produced.
void EncodeOneChunk(benchmark::State& state, Encoding encoding) {
    std::mt19937 random(7);
    std::vector<std::vector<uint8_t>> lanes(8, std::vector<uint8_t>(LaneBytesPerChunk(encoding)));
    for (auto& lane : lanes)
        for (auto& byte : lane) byte = static_cast<uint8_t>(random());
    const uint8_t* pointers[8];
    for (int n = 0; n < 8; ++n) pointers[n] = lanes[n].data();
    std::vector<uint8_t> chunk(kChunkSize);
    for (auto _ : state) {
        EncodeChunk(encoding, pointers, chunk.data());
        benchmark::DoNotOptimize(chunk.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kChunkSize);
}

void BM_EncodeParallel(benchmark::State& state) { EncodeOneChunk(state, Encoding::Parallel); }
void BM_EncodeFourLanes(benchmark::State& state) { EncodeOneChunk(state, Encoding::FourLane); }
void BM_EncodeEightLanes(benchmark::State& state) { EncodeOneChunk(state, Encoding::EightLane); }

}  // namespace

BENCHMARK(BM_EncodeParallel);
BENCHMARK(BM_EncodeFourLanes);
BENCHMARK(BM_EncodeEightLanes);
