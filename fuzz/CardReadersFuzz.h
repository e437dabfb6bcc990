// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <vector>

#include "card/CardLayout.h"
#include "card/ConfigFile.h"
#include "fuzz/FuzzFinding.h"
#include "ops/CheckInfo.h"
#include "ops/Operations.h"
#include "ops/ScanBanks.h"
#include "support/QuietHost.h"

namespace tavrin {

// Any bytes as the first megabyte of a card: the bank scan, Check Info and Verify survive it,
// never write, show one message when they fail, and Verify passes only when the card really
// holds the bank that the named files make. Byte 0 of sector 4 (unused by the layout) picks the
// bank (bits 0-1) and the names in the window (bits 2-3: parallel, four lanes, eight lanes, none).
namespace card_fuzz {

constexpr size_t kImageBytes = 1 << 20;
constexpr size_t kOptionsByte = 4 * 512;

// The card: reads and writes inside the image only; every write is counted.
class ImageDevice : public DiskSectorRW {
public:
    ImageDevice(std::vector<uint8_t>& image, int& writes) : image_(image), writes_(writes) {}
    bool Open(int) override { return open_ = true; }
    bool OpenForWriting(int) override { return false; }  // a card that is only ever read
    bool OpenToLook(int target) override { return Open(target); }
    void Close() override { open_ = false; }
    bool Read(int32_t offset, void* buffer, uint32_t count) override {
        if (!Inside(offset, count)) return Failed(open_ ? EINVAL : EBADF);
        std::memcpy(buffer, image_.data() + offset, count);
        return true;
    }
    bool Write(int32_t, const void*, uint32_t) override {
        ++writes_;
        return Failed(EROFS);
    }
    bool Flush() override { return open_ || Failed(EBADF); }  // nothing was ever written
    int LastError() const override { return error_; }

private:
    bool Failed(int error) {
        error_ = error;
        return false;
    }
    bool Inside(int32_t offset, uint32_t count) const {
        return open_ && offset >= 0 && uint64_t(offset) + count <= image_.size();
    }
    std::vector<uint8_t>& image_;
    int& writes_;
    bool open_ = false;
    int error_ = 0;
};

// The card is a buffer of this process: nobody else can hold it.
inline ClaimAttempt Unclaimed(int) { return {std::make_unique<DriveClaim>(), ""}; }

class CountingHost : public QuietHost {
public:
    MsgAnswer ShowMessage(const std::string& text, MsgButtons, MsgIcon icon) override {
        if (icon == MsgIcon::Error || icon == MsgIcon::Warning) ++failures;
        last = text;
        return MsgAnswer::No;
    }
    bool InitializeDiskTicked() override { return false; }
    int failures = 0;
    std::string last;
};

// The configuration files the window names, written once into a scratch folder.
struct Files {
    std::string parallel, bit, rbf, bin;
};

inline bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    const timespec fixed[2] = {{1230000000, 0}, {1230000000, 0}};
    return ok && ::utimensat(AT_FDCWD, path.c_str(), fixed, 0) == 0;
}

inline std::vector<uint8_t> Pattern(size_t count, uint8_t seed) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 37 + (i >> 3));
    return bytes;
}

inline Files PrepareFiles(const std::string& folder) {
    Files f{folder + "/p.rbf", folder + "/a.bit", folder + "/c.rbf", folder + "/f.bin"};
    std::vector<uint8_t> bit{0x00, 0x09, 0x0F, 0xF0, 'a', 0x00, 0x02, 'x', 0x00};
    for (uint8_t b : {0xFF, 0xFF, 0xFF, 0xFF, 0xAA, 0x99, 0x55, 0x66}) bit.push_back(b);
    for (uint8_t b : Pattern(200, 3)) bit.push_back(b);
    std::vector<uint8_t> bin{0xFF, 0xFF, 0xFF, 0xFF, 0x55, 0x99, 0xAA, 0x66};
    for (uint8_t b : Pattern(150, 5)) bin.push_back(b);
    if (!WriteFile(f.parallel, Pattern(300, 1)) || !WriteFile(f.bit, bit) || !WriteFile(f.rbf, Pattern(100, 4)) ||
        !WriteFile(f.bin, bin)) {
        f = Files{};
    }
    return f;
}

inline WindowState StateFor(int variant, const Files& f) {
    WindowState state;
    switch (variant) {
    case 0:
        state.fileName[0] = f.parallel;
        state.parallelMode = 1;
        break;
    case 1:
        state.fileName[0] = f.bit;
        state.fileName[2] = f.rbf;
        break;
    case 2:
        state.fileName[0] = f.bit;
        state.fileName[2] = f.rbf;
        state.fileName[5] = f.bin;
        break;
    default: break;
    }
    return state;
}

// The bank the named files make: its records and its data area, by the layout's builders.
struct ExpectedBank {
    std::array<SectorBytes, 8> records{};
    std::vector<uint8_t> data;
};

inline bool BuildExpected(const WindowState& state, ExpectedBank& bank) {
    struct Lane {
        std::vector<uint8_t> bytes;
    };
    std::array<Lane, 8> lanes;
    unsigned mask = 0;
    uint64_t longest = 0;
    for (int slot = 0; slot < (state.parallelMode ? 1 : 8); ++slot) {
        const std::string& name = state.fileName[slot];
        if (name.empty()) continue;
        auto file = OpenInputFile(name);
        LoadedFile loaded;
        if (!file || !LoadConfigurationFile(*file, name, loaded)) return false;
        lanes[slot].bytes.resize(loaded.dataLength);
        if (file->Read(lanes[slot].bytes.data(), loaded.dataLength) != long(loaded.dataLength)) return false;
        if (loaded.bitOrder) ReverseBitsInPlace(lanes[slot].bytes.data(), loaded.dataLength);
        bank.records[slot] = BuildFileRecord(name, loaded.fileLength, loaded.modified);
        mask |= 1u << slot;
        longest = std::max<uint64_t>(longest, loaded.dataLength);
    }
    const Encoding encoding = EncodingFor(state.parallelMode, mask);
    const uint32_t laneBytes = LaneBytesPerChunk(encoding);
    const uint64_t image = encoding == Encoding::Parallel ? longest : longest * (encoding == Encoding::FourLane ? 4 : 8);
    const uint32_t sectors = DataSectorCount(static_cast<uint32_t>(image));
    bank.data.assign(size_t{sectors} * 512, 0);
    for (uint32_t chunk = 0; chunk < sectors / kChunkSectors; ++chunk) {
        std::array<std::vector<uint8_t>, 8> part;
        const uint8_t* pointers[8];
        for (int n = 0; n < 8; ++n) {
            part[n].assign(laneBytes, 0);
            const std::vector<uint8_t>& source = lanes[n].bytes;
            const size_t from = size_t{chunk} * laneBytes;
            if (from < source.size())
                std::copy_n(source.begin() + from, std::min<size_t>(laneBytes, source.size() - from), part[n].begin());
            pointers[n] = part[n].data();
        }
        EncodeChunk(encoding, pointers, bank.data.data() + size_t{chunk} * kChunkSize);
    }
    return true;
}

inline uint32_t Le32(const std::vector<uint8_t>& image, size_t at) {
    return image[at] | image[at + 1] << 8 | image[at + 2] << 16 | uint32_t{image[at + 3]} << 24;
}

inline FuzzFinding CheckScan(const BankTable& table, const std::vector<uint8_t>& image) {
    for (int k = 0; k < kBankCount; ++k) {
        const bool present = HasTavrinSignature(image.data() + k * 512);
        if (table.bankPresent[k] != int(present)) return "scan got bank " + std::to_string(k + 1) + " wrong";
        if (!present) continue;
        if (table.bankStart[k] != Le32(image, k * 512 + 8) || table.bankLength[k] != Le32(image, k * 512 + 12))
            return "scan misread bank " + std::to_string(k + 1);
    }
    return {};
}

inline FuzzFinding CheckRows(const BankInfoData& info, const std::vector<uint8_t>& image, uint32_t start) {
    for (int j = 0; j < 8; ++j) {
        const int64_t sector = int64_t{start} - 8 + j;
        std::string name;
        if (sector >= 0 && uint64_t(sector + 1) * 512 <= image.size()) {
            const char* field = reinterpret_cast<const char*>(image.data() + sector * 512);
            name.assign(field, strnlen(field, 260));
        }
        if (info.cardFileName[j] != name) return "row " + std::to_string(j + 1) + " does not show its record";
        if (name.empty()) {
            if (!(info.cardSize[j] + info.cardDate[j] + info.cardTime[j]).empty()) return "empty row with texts";
            continue;
        }
        const std::string& size = info.cardSize[j];
        if (size.empty() || size.size() > 10 || !std::all_of(size.begin(), size.end(), ::isdigit))
            return "size not an unsigned number: " + size;
        if (std::stoull(size) != Le32(image, sector * 512 + 260)) return "size is not the record's";
        if (info.cardDate[j].size() > 16 || info.cardTime[j].size() > 8) return "date or time past its field";
    }
    return {};
}

// A pass must rest on the image itself.
inline FuzzFinding CheckVerifyPass(const std::vector<uint8_t>& image, int bank, const WindowState& state) {
    ExpectedBank expected;
    if (!BuildExpected(state, expected)) return "the named files cannot be loaded, yet Verify passed";
    if (!HasTavrinSignature(image.data())) return "passed a card without the signature";
    const uint64_t start = Le32(image, bank * 512 + 8), sectors = Le32(image, bank * 512 + 12);
    if (sectors * 512 != expected.data.size()) return "passed a bank of another size";
    if (start < 8 || (start + sectors) * 512 > image.size()) return "passed a bank outside the card";
    for (int j = 0; j < 8; ++j) {
        if (std::memcmp(image.data() + (start - 8 + j) * 512, expected.records[j].data(), 284) != 0)
            return "passed with record " + std::to_string(j + 1) + " different";
    }
    if (std::memcmp(image.data() + start * 512, expected.data.data(), expected.data.size()) != 0)
        return "passed with different data";
    return {};
}

// A card whose banks 1 to bank + 1 all hold what the window names, as Program writes them;
// trailing zeros are left off.
inline std::vector<uint8_t> BuildSeedImage(const Files& files, int variant, int bank) {
    const WindowState state = StateFor(variant, files);
    ExpectedBank expected;
    if (!BuildExpected(state, expected)) return {};
    std::vector<uint8_t> image(kImageBytes, 0);
    const auto sectors = static_cast<uint32_t>(expected.data.size() / 512);
    unsigned mask = 0;
    for (int slot = 0; slot < 8; ++slot)
        if (!state.fileName[slot].empty()) mask |= 1u << slot;
    BankTable table;
    for (int k = 0; k <= bank; ++k) {
        const auto start = static_cast<uint32_t>(BankDataStart(table, k));
        const SectorBytes sector = BuildBankSector(sectors, start, 2, 4, 0, state.parallelMode, mask);
        std::copy(sector.begin(), sector.end(), image.begin() + k * 512);
        for (int j = 0; j < 8; ++j)
            std::copy(expected.records[j].begin(), expected.records[j].end(), image.begin() + (start - 8 + j) * 512);
        std::copy(expected.data.begin(), expected.data.end(), image.begin() + size_t{start} * 512);
        table.bankPresent[k] = 1;
        table.bankStart[k] = start;
        table.bankLength[k] = sectors;
    }
    image[kOptionsByte] = static_cast<uint8_t>(bank | variant << 2);
    while (image.size() > kOptionsByte + 1 && image.back() == 0) image.pop_back();
    return image;
}

}  // namespace card_fuzz

inline FuzzFinding CheckCardReaders(const uint8_t* data, size_t size, const card_fuzz::Files& files) {
    using namespace card_fuzz;
    if (files.parallel.empty()) return "the configuration files could not be written";
    std::vector<uint8_t> image(kImageBytes, 0);
    std::memcpy(image.data(), data, std::min(size, kImageBytes));
    const std::vector<uint8_t> original = image;
    const int bank = image[kOptionsByte] & 3;
    const WindowState state = StateFor((image[kOptionsByte] >> 2) & 3, files);

    int writes = 0;
    OperationContext context;
    context.makeDevice = [&] { return std::unique_ptr<DiskSectorRW>(std::make_unique<ImageDevice>(image, writes)); };
    context.state = state;
    context.claimDrive = Unclaimed;
    context.card.diskList.entries.push_back({"Card", 0});
    context.card.diskList.selected = 0;
    context.card.bankList.selected = bank;

    ImageDevice scanDevice(image, writes);
    if (!ScanBanks(scanDevice, 0, context.card.banks)) return "scan could not open the card";
    if (FuzzFinding f = CheckScan(context.card.banks, image); !f.empty()) return f;

    CountingHost infoHost;
    BankInfoData info;
    const BankTable scanned = context.card.banks;
    if (CheckInfoCard(infoHost, context, info)) {
        if (infoHost.failures != 0) return "Check Info showed its dialog after a failure";
        if (FuzzFinding f = CheckRows(info, image, scanned.bankStart[bank]); !f.empty()) return f;
    } else if (infoHost.failures != 1) {
        return "Check Info failed with " + std::to_string(infoHost.failures) + " messages";
    }

    context.card.banks = scanned;
    CountingHost verifyHost;
    if (VerifyCard(verifyHost, context)) {
        if (verifyHost.failures != 0) return "Verify passed after a failure";
        if (FuzzFinding f = CheckVerifyPass(image, bank, state); !f.empty()) return f;
    } else if (verifyHost.failures != 1) {
        return "Verify failed with " + std::to_string(verifyHost.failures) + " messages";
    }
    if (writes != 0 || image != original) return "a reader wrote to the card";
    return {};
}

}  // namespace tavrin
