// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "card/CardLayout.h"

using namespace tavrin;

namespace {

using Lanes = std::vector<std::vector<uint8_t>>;

Lanes ZeroLanes(Encoding encoding) { return Lanes(8, std::vector<uint8_t>(LaneBytesPerChunk(encoding), 0)); }

std::vector<uint8_t> Encode(Encoding encoding, const Lanes& lanes) {
    const uint8_t* pointers[8];
    for (int n = 0; n < 8; ++n) pointers[n] = lanes[n].data();
    std::vector<uint8_t> chunk(kChunkSize, 0xEE);
    EncodeChunk(encoding, pointers, chunk.data());
    return chunk;
}

// Reads the lanes back the way the board does, bit by bit.
Lanes DecodeFourLanes(const std::vector<uint8_t>& chunk) {
    Lanes lanes(4, std::vector<uint8_t>(kChunkSize / 4, 0));
    for (size_t l = 0; l < kChunkSize / 4; ++l)
        for (int m = 0; m < 4; ++m) {
            uint8_t image = chunk[4 * l + m];
            for (int n = 0; n < 4; ++n) {
                if (image & (1u << (4 + n))) lanes[n][l] |= static_cast<uint8_t>(1u << (2 * m));
                if (image & (1u << n)) lanes[n][l] |= static_cast<uint8_t>(1u << (2 * m + 1));
            }
        }
    return lanes;
}

Lanes DecodeEightLanes(const std::vector<uint8_t>& chunk) {
    Lanes lanes(8, std::vector<uint8_t>(kChunkSize / 8, 0));
    for (size_t p = 0; p < kChunkSize / 8; ++p)
        for (int k = 0; k < 8; ++k)
            for (int n = 0; n < 8; ++n)
                if (chunk[8 * p + k] & (1u << n)) lanes[n][p] |= static_cast<uint8_t>(1u << k);
    return lanes;
}

Lanes RandomLanes(Encoding encoding, unsigned seed) {
    std::mt19937 random(seed);
    Lanes lanes = ZeroLanes(encoding);
    for (auto& lane : lanes)
        for (auto& byte : lane) byte = static_cast<uint8_t>(random());
    return lanes;
}

}  // namespace

TEST(CardEncoding, FourLaneExamples) {
    Lanes lanes = ZeroLanes(Encoding::FourLane);
    lanes[0][0] = 0x01;
    std::vector<uint8_t> chunk = Encode(Encoding::FourLane, lanes);
    EXPECT_EQ(std::vector<uint8_t>(chunk.begin(), chunk.begin() + 4), (std::vector<uint8_t>{0x10, 0, 0, 0}));

    lanes = ZeroLanes(Encoding::FourLane);
    lanes[3][0] = 0x80;
    chunk = Encode(Encoding::FourLane, lanes);
    EXPECT_EQ(std::vector<uint8_t>(chunk.begin(), chunk.begin() + 4), (std::vector<uint8_t>{0, 0, 0, 0x08}));
}

TEST(CardEncoding, EightLaneExamples) {
    Lanes lanes = ZeroLanes(Encoding::EightLane);
    lanes[0][0] = 0xFF;
    std::vector<uint8_t> chunk = Encode(Encoding::EightLane, lanes);
    EXPECT_EQ(std::vector<uint8_t>(chunk.begin(), chunk.begin() + 8), std::vector<uint8_t>(8, 0x01));

    lanes = ZeroLanes(Encoding::EightLane);
    for (auto& lane : lanes) lane[1] = 0x01;
    chunk = Encode(Encoding::EightLane, lanes);
    EXPECT_EQ(std::vector<uint8_t>(chunk.begin() + 8, chunk.begin() + 16),
              (std::vector<uint8_t>{0xFF, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(chunk[0], 0);
}

TEST(CardEncoding, ParallelIsACopy) {
    Lanes lanes = RandomLanes(Encoding::Parallel, 3);
    EXPECT_EQ(Encode(Encoding::Parallel, lanes), lanes[0]);
}

TEST(CardEncoding, RandomFourLaneChunksDecodeBackToTheirLanes) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        Lanes lanes = RandomLanes(Encoding::FourLane, seed);
        std::vector<uint8_t> chunk = Encode(Encoding::FourLane, lanes);
        lanes.resize(4);  // lanes 4 to 7 must not take part
        EXPECT_EQ(DecodeFourLanes(chunk), lanes);
    }
}

TEST(CardEncoding, RandomEightLaneChunksDecodeBackToTheirLanes) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        Lanes lanes = RandomLanes(Encoding::EightLane, seed);
        EXPECT_EQ(DecodeEightLanes(Encode(Encoding::EightLane, lanes)), lanes);
    }
}

TEST(CardEncoding, MissingLanesSupplyZeros) {
    std::vector<uint8_t> file1(kChunkSize / 4, 0xFF);
    const uint8_t* lanes[8] = {file1.data()};
    std::vector<uint8_t> chunk(kChunkSize, 0xEE);
    EncodeChunk(Encoding::FourLane, lanes, chunk.data());
    // File#1 alone: its bits travel in bits 4 and 0 only.
    EXPECT_EQ(chunk, std::vector<uint8_t>(kChunkSize, 0x11));

    EncodeChunk(Encoding::EightLane, lanes, chunk.data());
    EXPECT_EQ(chunk, std::vector<uint8_t>(kChunkSize, 0x01));

    const uint8_t* none[8] = {};
    EncodeChunk(Encoding::Parallel, none, chunk.data());
    EXPECT_EQ(chunk, std::vector<uint8_t>(kChunkSize, 0));
}
