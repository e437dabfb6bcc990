// SPDX-License-Identifier: Apache-2.0
// Cards whose bank sectors and file records have been damaged: Program of any bank writes only
// what that bank owns, and Verify and Check Info survive and report only what they compared.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <random>
#include <set>

#include "card/CardLayout.h"
#include "card/ConfigFile.h"
#include "ops/CheckInfo.h"
#include "ops/Operations.h"
#include "support/OpsTestKit.h"
#include "support/ScriptedHost.h"
#include "support/ServiceAccessRig.h"
#include "text/Texts.h"

using namespace tavrin;

using namespace opstest;

namespace {

constexpr uint64_t kCardSectors = 8192;
constexpr uint64_t kPartitionStart = 4096;
constexpr uint64_t kReachEnd = uint64_t{1} << 22;  // first sector past 2 GiB
// Base card: banks 1 to 3 of one chunk each (a 1000-byte file), bank 4 absent.
constexpr uint32_t kBaseStarts[3] = {128, 260, 392};
// What Program writes in the tests: a file of 20000 bytes, two chunks.
constexpr uint64_t kNewBankSectors = 64;

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }

void PutLe32(Bytes& image, uint64_t byte, uint32_t value) {
    for (int i = 0; i < 4; ++i) image[byte + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The bank table as ScanBanks reads it from an image.
BankTable TableOf(const Bytes& image) {
    BankTable table;
    for (int k = 0; k < kBankCount; ++k) {
        const uint8_t* sector = image.data() + k * 512;
        if (!HasTavrinSignature(sector)) continue;
        table.bankPresent[k] = 1;
        table.bankStart[k] = Le32(sector + 8);
        table.bankLength[k] = Le32(sector + 12);
    }
    return table;
}

std::set<uint64_t> ChangedSectors(const Bytes& before, const Bytes& after) {
    std::set<uint64_t> changed;
    for (size_t i = 0; i < before.size(); i += 512) {
        if (!std::equal(before.begin() + i, before.begin() + i + 512, after.begin() + i)) changed.insert(i / 512);
    }
    return changed;
}

bool AllDigits(const std::string& text) {
    return !text.empty() && text.size() <= 10 &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// The whole image in one transfer each way: the suite reads and restores it thousands of times.
Bytes LoadImage(const std::string& path) {
    Bytes bytes(kCardSectors * 512);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    const size_t n = f ? std::fread(bytes.data(), 1, bytes.size(), f) : 0;
    if (f) std::fclose(f);
    bytes.resize(n);
    return bytes;
}

void StoreImage(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "r+b");
    ASSERT_TRUE(f);
    EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
}

struct Damage {
    std::string label;
    Bytes image;
};

// Each case runs twice: on a card opened directly, and on one that the system refuses to open
// for this user, opened by the desktop's disk service instead.
class DamagedCardTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam()) rig_ = std::make_unique<ServiceAccessRig>(kCardSectors, kPartitionStart);
        card_ = MakeCard(rig_ ? rig_->Node() : dir_.File("card.img"), kCardSectors, kPartitionStart);
        small_ = dir_.File("small.rbf");
        large_ = dir_.File("large.rbf");
        smallBytes_ = RandomBytes(1000, 5);
        largeBytes_ = RandomBytes(20000, 6);
        WriteFileBytes(small_, smallBytes_);
        WriteFileBytes(large_, largeBytes_);
        for (int k = 0; k < 3; ++k) ASSERT_TRUE(Program(k, small_)) << Host().LastMessage();
        base_ = LoadImage(card_.image);
        ASSERT_EQ(TableOf(base_).bankStart[2], kBaseStarts[2]);
    }

    ScriptedHost& Host() { return host_; }

    // Runs with a fresh host that ticks "Initialize Disk" and answers Yes to everything.
    void FreshHost(const std::string& file) {
        host_ = ImageHost();
        host_.initializeDisk = true;
        host_.answers = {MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::Yes};
        card_.context.state = {};
        card_.context.state.fileName[0] = file;
        card_.context.state.parallelMode = 1;
    }

    void Select(int k) {
        RescanBanks(card_.context.card, card_.context.makeDevice);
        card_.context.card.bankList.selected = k;  // any bank, not only those the list offers
    }

    // Each run reads the first sectors as the frame has it do: once for the scan and the run.
    bool Program(int k, const std::string& file) {
        FreshHost(file);
        const HeaderReadScope reads(card_.context);
        Select(k);
        return ProgramCard(host_, card_.context);
    }

    bool Verify(int k, const std::string& file) {
        FreshHost(file);
        const HeaderReadScope reads(card_.context);
        Select(k);
        return VerifyCard(host_, card_.context);
    }

    bool AskedOverrun() const {
        for (const auto& m : host_.messages)
            if (m.text == texts::kOverrunQuestion) return true;
        return false;
    }

    int Failures() const {
        int n = 0;
        for (const auto& m : host_.messages) n += m.icon == MsgIcon::Error || m.icon == MsgIcon::Warning;
        return n;
    }

    void ExpectProgramStaysInItsBank(const Bytes& damaged, int k, const std::string& label);
    bool ExpectVerifyPassesOnlyOnWhatIsThere(const Bytes& image, int k, const std::string& file,
                                             const Bytes& fileBytes, const std::string& label);
    void ExpectCheckInfoShowsTheRecords(const Bytes& image, int k, const std::string& label);

    void RunEverything(const Damage& damage) {
        for (int k = 0; k < kBankCount; ++k) {
            const std::string label = damage.label + ", bank " + std::to_string(k + 1);
            StoreImage(card_.image, damage.image);
            ExpectVerifyPassesOnlyOnWhatIsThere(damage.image, k, small_, smallBytes_, label);
            ExpectCheckInfoShowsTheRecords(damage.image, k, label);
            ExpectProgramStaysInItsBank(damage.image, k, label);
        }
    }

    std::unique_ptr<ServiceAccessRig> rig_;
    TempDir dir_;
    CardUnderTest card_;
    ScriptedHost host_ = ImageHost();
    std::string small_, large_;
    Bytes smallBytes_, largeBytes_;
    Bytes base_;
};

void DamagedCardTest::ExpectProgramStaysInItsBank(const Bytes& damaged, int k, const std::string& label) {
    StoreImage(card_.image, damaged);
    const uint64_t start = BankDataStart(TableOf(damaged), k);
    const bool ok = Program(k, large_);
    const Bytes after = LoadImage(card_.image);
    EXPECT_TRUE(card_.AllClosed()) << label;
    EXPECT_LE(Failures(), 1) << label;

    const bool fits = start >= 128 && start + kNewBankSectors <= kReachEnd &&
                      start + kNewBankSectors + 100 <= kCardSectors;
    if (!fits) {
        EXPECT_FALSE(ok) << label;
        EXPECT_EQ(host_.LastMessage(), texts::kRemainMemory.english) << label;
        EXPECT_EQ(ChangedSectors(damaged, after), std::set<uint64_t>{}) << label;
        return;
    }
    ASSERT_TRUE(ok) << label << ": " << host_.LastMessage();
    std::set<uint64_t> owned{static_cast<uint64_t>(k), kPartitionStart};
    for (uint64_t s = start - 8; s < start + kNewBankSectors; ++s) owned.insert(s);
    if (AskedOverrun()) {
        for (uint64_t s = k; s < kBankCount; ++s) owned.insert(s);
    }
    for (uint64_t sector : ChangedSectors(damaged, after)) {
        EXPECT_TRUE(owned.count(sector)) << label << ": sector " << sector << " changed, bank starts at " << start;
    }
    // A later bank written on a card without the signature (only a forced selection reaches
    // one) is not verifiable: the card is still not in Tavrin format.
    const bool verifiable = HasTavrinSignature(after.data());
    EXPECT_EQ(ExpectVerifyPassesOnlyOnWhatIsThere(after, k, large_, largeBytes_, label + ", reprogrammed"), verifiable)
        << label << ": " << host_.LastMessage();
}

// A pass is only believed when the image really holds that bank: its count is the files'
// count, its records and its whole data area are what Program writes.
bool DamagedCardTest::ExpectVerifyPassesOnlyOnWhatIsThere(const Bytes& image, int k, const std::string& file,
                                                          const Bytes& fileBytes, const std::string& label) {
    StoreImage(card_.image, image);
    const bool passed = Verify(k, file);
    EXPECT_TRUE(card_.AllClosed()) << label;
    EXPECT_EQ(LoadImage(card_.image), image) << label << ": Verify wrote to the card";
    if (!passed) {
        EXPECT_EQ(Failures(), 1) << label;
        return false;
    }
    EXPECT_TRUE(host_.messages.empty()) << label;
    EXPECT_TRUE(HasTavrinSignature(image.data())) << label;
    const uint8_t* bank = image.data() + k * 512;
    const uint64_t start = Le32(bank + 8), sectors = Le32(bank + 12);
    const bool inside = sectors == DataSectorCount(static_cast<uint32_t>(fileBytes.size())) && start >= 8 &&
                        (start + sectors) * 512 <= image.size();
    EXPECT_TRUE(inside) << label << ": passed a bank of " << sectors << " sectors at " << start;
    if (!inside) return true;
    auto info = card_.context.openFile(file);
    LoadedFile loaded;
    EXPECT_TRUE(info && LoadConfigurationFile(*info, file, loaded));
    const SectorBytes record = BuildFileRecord(file, loaded.fileLength, loaded.modified);
    EXPECT_TRUE(std::equal(record.begin(), record.begin() + 284, image.begin() + (start - 8) * 512)) << label;
    for (uint64_t s = start - 7; s < start; ++s) {
        EXPECT_TRUE(std::all_of(image.begin() + s * 512, image.begin() + s * 512 + 284, [](uint8_t b) { return b == 0; }))
            << label;
    }
    Bytes expected = fileBytes;
    expected.resize(sectors * 512, 0);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), image.begin() + start * 512)) << label;
    return true;
}

// Rows show the record bytes up to their zeros, sizes as unsigned numbers; an unreadable
// record is an empty row.
void DamagedCardTest::ExpectCheckInfoShowsTheRecords(const Bytes& image, int k, const std::string& label) {
    StoreImage(card_.image, image);
    FreshHost(small_);
    const HeaderReadScope reads(card_.context);
    Select(k);
    BankInfoData info;
    const bool shown = CheckInfoCard(host_, card_.context, info);
    EXPECT_TRUE(card_.AllClosed()) << label;
    const BankTable table = TableOf(image);
    EXPECT_EQ(shown, table.bankPresent[k] != 0) << label << ": " << host_.LastMessage();
    if (!shown) {
        EXPECT_EQ(Failures(), 1) << label;
        return;
    }
    const int64_t first = int64_t{table.bankStart[k]} - 8;
    for (int j = 0; j < 8; ++j) {
        const int64_t sector = first + j;
        std::string name;
        if (sector >= 0 && (sector + 1) * 512 <= static_cast<int64_t>(image.size())) {
            const char* field = reinterpret_cast<const char*>(image.data() + sector * 512);
            name.assign(field, strnlen(field, 260));
        }
        EXPECT_EQ(info.cardFileName[j], name) << label << ", row " << j + 1;
        if (name.empty()) {
            EXPECT_EQ(info.cardSize[j] + info.cardDate[j] + info.cardTime[j], "") << label;
        } else {
            EXPECT_TRUE(AllDigits(info.cardSize[j])) << label << ": size " << info.cardSize[j];
            EXPECT_LE(info.cardDate[j].size(), 16u) << label;
            EXPECT_LE(info.cardTime[j].size(), 8u) << label;
        }
    }
}

// Start and length values around the places where sector arithmetic breaks: below the first
// data sector, at the 2 GiB reach of the device, at the 32-bit wrap.
const uint32_t kEdgeValues[] = {0,          1,          7,          8,          31,         33,
                                120,        127,        4194176,    4194296,    4194303,    4194304,
                                0x7FFFFFFF, 0x80000000, 0xFFFFFF9C, 0xFFFFFFF8, 0xFFFFFFFF};

TEST_P(DamagedCardTest, StartsAndLengthsAtTheEdges) {
    for (int k = 0; k < 3; ++k) {
        for (uint32_t value : kEdgeValues) {
            for (int field : {8, 12}) {
                Damage d{(field == 8 ? "start " : "length ") + std::to_string(value) + " in bank " +
                             std::to_string(k + 1),
                         base_};
                PutLe32(d.image, k * 512 + field, value);
                RunEverything(d);
            }
        }
    }
}

// Pairs that put the next bank below sector 128, exactly on it, at the end of the reach, or
// there only after a 32-bit wrap.
TEST_P(DamagedCardTest, StartAndLengthPairsThatWrapOrFallShort) {
    struct Pair {
        uint32_t start, length;
    };
    const Pair pairs[] = {{0, 0},          {0, 27},         {1, 1},          {27, 0},       {0, 28},
                          {0xFFFFFFFF, 29}, {0xFFFFFF9C, 0}, {0xFFFFFF00, 0x1C0}, {4194071, 32}, {4194039, 32},
                          {4194203, 0},    {100, 4294967295u}};
    for (int k = 0; k < 3; ++k) {
        for (Pair p : pairs) {
            Damage d{"start " + std::to_string(p.start) + " length " + std::to_string(p.length) + " in bank " +
                         std::to_string(k + 1),
                     base_};
            PutLe32(d.image, k * 512 + 8, p.start);
            PutLe32(d.image, k * 512 + 12, p.length);
            RunEverything(d);
        }
    }
}

TEST_P(DamagedCardTest, BanksOutOfOrderOrWithGaps) {
    std::vector<Damage> damages;
    Damage sameStart{"bank 2 starts where bank 1 does", base_};
    PutLe32(sameStart.image, 512 + 8, 128);
    damages.push_back(sameStart);
    Damage backwards{"bank 3 lies before bank 2", base_};
    PutLe32(backwards.image, 1024 + 8, 200);
    damages.push_back(backwards);
    Damage farAhead{"bank 2 far behind bank 3", base_};
    PutLe32(farAhead.image, 512 + 8, 6000);
    damages.push_back(farAhead);
    Damage gap{"bank 2 without its signature", base_};
    gap.image[512] = 0;
    damages.push_back(gap);
    Damage headless{"sector 0 without the signature", base_};
    headless.image[1] = 'X';
    damages.push_back(headless);
    Damage fourth{"bank 4 present over the card's end", base_};
    fourth.image[1536] = 'T';
    fourth.image[1537] = 'V';
    PutLe32(fourth.image, 1536 + 8, 8000);
    PutLe32(fourth.image, 1536 + 12, 4096);
    damages.push_back(fourth);
    for (const Damage& d : damages) RunEverything(d);
}

// Bank 3 absent and bank 4 present behind it: a bank 2 that reaches bank 4 asks first.
TEST_P(DamagedCardTest, OverrunOfALaterBankBehindAGapIsAsked) {
    Bytes gap = base_;
    std::copy_n(base_.begin() + 2 * 512, 512, gap.begin() + 3 * 512);
    gap[2 * 512] = 0;
    StoreImage(card_.image, gap);
    FreshHost(large_);
    host_.answers = {MsgAnswer::No};
    Select(1);
    EXPECT_FALSE(ProgramCard(host_, card_.context));
    EXPECT_TRUE(AskedOverrun());
    EXPECT_EQ(LoadImage(card_.image), gap);
}

TEST_P(DamagedCardTest, FileRecordsWithoutTerminatorsOrWithWildFields) {
    std::vector<Damage> damages;
    Damage full{"record 1 of bank 1 all 0xFF", base_};
    std::fill(full.image.begin() + 120 * 512, full.image.begin() + 121 * 512, 0xFF);
    damages.push_back(full);
    Damage noZeros{"names and dates without a zero", base_};
    for (uint64_t s = 252; s < 260; ++s) std::fill(noZeros.image.begin() + s * 512, noZeros.image.begin() + s * 512 + 288, 'a');
    damages.push_back(noZeros);
    Damage sizes{"sizes of 2^31 and 2^32 - 1", base_};
    PutLe32(sizes.image, 120 * 512 + 260, 0x80000000);
    sizes.image[121 * 512] = 'x';
    PutLe32(sizes.image, 121 * 512 + 260, 0xFFFFFFFF);
    damages.push_back(sizes);
    for (const Damage& d : damages) RunEverything(d);
}

// Bank sectors and records scribbled over at random, with values drawn from the edges half
// of the time.
TEST_P(DamagedCardTest, RandomDamage) {
    std::mt19937 random(2024);
    const uint64_t recordSectors[] = {120, 252, 384};
    for (int round = 0; round < 40; ++round) {
        Damage d{"random damage " + std::to_string(round), base_};
        auto value = [&] {
            return random() % 2 ? kEdgeValues[random() % std::size(kEdgeValues)] : static_cast<uint32_t>(random() % 9000);
        };
        for (int k = 0; k < kBankCount; ++k) {
            if (random() % 2) continue;
            uint8_t* sector = d.image.data() + k * 512;
            if (random() % 4 == 0) sector[random() % 2] ^= 0x20;
            if (random() % 4 == 0) {
                sector[0] = 'T';
                sector[1] = 'V';
            }
            PutLe32(d.image, k * 512 + 8, value());
            PutLe32(d.image, k * 512 + 12, value());
        }
        if (random() % 2) {
            const uint64_t sector = recordSectors[random() % 3] + random() % 8;
            for (int i = 0; i < 64; ++i) d.image[sector * 512 + random() % 512] = static_cast<uint8_t>(random());
        }
        RunEverything(d);
    }
}

INSTANTIATE_TEST_SUITE_P(Access, DamagedCardTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ThroughDiskService" : "Direct"; });

}  // namespace
