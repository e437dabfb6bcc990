// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/CardReadersFuzz.h"
#include "fuzz/ConfigFileFuzz.h"
#include "fuzz/ProfileTextFuzz.h"
#include "fuzz/SettingsLoadFuzz.h"
#include "support/ScratchFolder.h"

using namespace tavrin;

namespace {

namespace fs = std::filesystem;

const fs::path kCorpusRoot = fs::path(TAVRIN_TEST_DATA_DIR) / ".." / ".." / "fuzz" / "corpus";

// Every committed input of a target (seeds and past findings) through the target's checks.
template <typename Check>
void ReplayCorpus(const std::string& target, Check check) {
    const fs::path folder = kCorpusRoot / target;
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    int replayed = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::vector<uint8_t> bytes = ReadFileBytes(entry.path().string());
        EXPECT_EQ(check(bytes.data(), bytes.size()), "") << entry.path().filename();
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

TEST(FuzzCorpusReplay, ProfileText) { ReplayCorpus("profile_text", CheckProfileText); }

TEST(FuzzCorpusReplay, ConfigFile) { ReplayCorpus("config_file", CheckConfigFile); }

TEST(FuzzCorpusReplay, SettingsLoad) {
    ScratchFolder scratch;
    ReplayCorpus("settings_load", [&](const uint8_t* data, size_t size) {
        return CheckSettingsLoad(data, size, scratch.Path().string());
    });
}

TEST(FuzzCorpusReplay, CardReaders) {
    ScratchFolder scratch;
    const card_fuzz::Files files = card_fuzz::PrepareFiles(scratch.Path().string());
    ReplayCorpus("card_readers", [&](const uint8_t* data, size_t size) { return CheckCardReaders(data, size, files); });
}

// The fuzzer's idea of a valid bank must be Verify's, or its pass check would prove nothing:
// the seed cards pass, and a single changed byte in a record or the data fails.
TEST(CardReadersFuzzCheck, SeedCardsPassVerifyAndOneByteBreaksThem) {
    ScratchFolder scratch;
    const card_fuzz::Files files = card_fuzz::PrepareFiles(scratch.Path().string());
    for (int variant = 0; variant < 3; ++variant) {
        for (int bank : {0, 1}) {
            std::vector<uint8_t> image = card_fuzz::BuildSeedImage(files, variant, bank);
            image.resize(card_fuzz::kImageBytes, 0);
            OperationContext context;
            int writes = 0;
            context.makeDevice = [&] {
                return std::unique_ptr<DiskSectorRW>(std::make_unique<card_fuzz::ImageDevice>(image, writes));
            };
            context.state = card_fuzz::StateFor(variant, files);
            context.claimDrive = card_fuzz::Unclaimed;
            context.card.diskList.entries.push_back({"Card", 0});
            context.card.diskList.selected = 0;
            context.card.bankList.selected = bank;
            card_fuzz::CountingHost host;
            EXPECT_TRUE(VerifyCard(host, context)) << variant << "/" << bank << ": " << host.last;
            EXPECT_EQ(CheckCardReaders(image.data(), image.size(), files), "");

            const uint32_t start = card_fuzz::Le32(image, bank * 512 + 8);
            for (size_t at : {size_t{start - 8} * 512 + 3, size_t{start} * 512 + 100}) {
                std::vector<uint8_t> changed = image;
                changed[at] ^= 0x10;
                card_fuzz::CountingHost failing;
                context.makeDevice = [&] {
                    return std::unique_ptr<DiskSectorRW>(std::make_unique<card_fuzz::ImageDevice>(changed, writes));
                };
                EXPECT_FALSE(VerifyCard(failing, context)) << variant << "/" << bank << " at " << at;
            }
            EXPECT_EQ(writes, 0);
        }
    }
}

}  // namespace
