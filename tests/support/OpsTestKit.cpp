// SPDX-License-Identifier: Apache-2.0
#include "support/OpsTestKit.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <stdexcept>

#include "disk/Drives.h"
#include "support/FaultInjectingDevice.h"

namespace tavrin {

namespace opstest {

Bytes RandomBytes(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(count);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadSectors(const std::string& image, uint64_t first, uint64_t count) {
    Bytes bytes(count * 512);
    int fd = ::open(image.c_str(), O_RDONLY);
    ssize_t n = ::pread(fd, bytes.data(), bytes.size(), static_cast<off_t>(first * 512));
    ::close(fd);
    if (n != static_cast<ssize_t>(bytes.size())) throw std::runtime_error("short read of " + image);
    return bytes;
}

void WriteSectors(const std::string& image, uint64_t first, const Bytes& bytes) {
    int fd = ::open(image.c_str(), O_WRONLY);
    ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(first * 512));
    ::close(fd);
    if (n != static_cast<ssize_t>(bytes.size())) throw std::runtime_error("short write of " + image);
}

void MakeCardImage(const std::string& path, uint64_t sectors, uint64_t partitionStart) {
    int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(sectors * 512)) != 0) throw std::runtime_error("image");
    ::close(fd);
    if (partitionStart == 0) return;
    Bytes mbr(512, 0);
    const auto put32 = [](uint8_t* at, uint32_t v) {
        for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
    };
    uint8_t* entry = mbr.data() + 446;
    entry[4] = 0x0C;  // FAT32 LBA
    put32(entry + 8, static_cast<uint32_t>(partitionStart));
    put32(entry + 12, static_cast<uint32_t>(sectors - partitionStart));
    mbr[510] = 0x55;
    mbr[511] = 0xAA;
    WriteSectors(path, 0, mbr);
    Bytes boot(512, 0x5A);
    boot[0] = 0xEB;
    boot[510] = 0x55;
    boot[511] = 0xAA;
    WriteSectors(path, partitionStart, boot);
}

Bytes WriteBitFile(const std::string& path, const Bytes& payload, bool reversed) {
    Bytes file{0x00, 0x09, 0x0F, 0xF0, 0x0F, 0xF0, 0x0F, 0xF0, 0x0F, 0xF0, 0x00, 0x00, 0x01, 'a', 0x00, 0x05,
               't',  'e',  's',  't',  0x00, 'e',  0x00, 0x00, 0x10, 0x00};
    Bytes data{0xFF, 0xFF, 0xFF, 0xFF};
    const Bytes sync = reversed ? Bytes{0xAA, 0x99, 0x55, 0x66} : Bytes{0x55, 0x99, 0xAA, 0x66};
    data.insert(data.end(), sync.begin(), sync.end());
    data.insert(data.end(), payload.begin(), payload.end());
    file.insert(file.end(), data.begin(), data.end());
    WriteFileBytes(path, file);
    return data;
}

void SetModified(const std::string& path, int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    timespec times[2];
    times[0].tv_sec = times[1].tv_sec = std::mktime(&local);
    times[0].tv_nsec = times[1].tv_nsec = 0;
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

uint8_t Mirror(uint8_t b) {
    uint8_t r = 0;
    for (int i = 0; i < 8; ++i) r |= static_cast<uint8_t>(((b >> i) & 1) << (7 - i));
    return r;
}

namespace {

uint8_t LaneByte(const std::vector<Bytes>& lanes, size_t lane, size_t index) {
    return lane < lanes.size() && index < lanes[lane].size() ? lanes[lane][index] : 0;
}

size_t LongestLane(const std::vector<Bytes>& lanes) {
    size_t longest = 0;
    for (const auto& lane : lanes) longest = std::max(longest, lane.size());
    return longest;
}

}  // namespace

Bytes FourLaneImage(const std::vector<Bytes>& lanes) {
    const size_t length = LongestLane(lanes);
    Bytes image(length * 4);
    for (size_t l = 0; l < length; ++l) {
        for (int m = 0; m < 4; ++m) {
            uint8_t out = 0;
            for (int n = 0; n < 4; ++n) {
                const uint8_t b = LaneByte(lanes, n, l);
                out |= static_cast<uint8_t>(((b >> (2 * m)) & 1) << (4 + n));
                out |= static_cast<uint8_t>(((b >> (2 * m + 1)) & 1) << n);
            }
            image[4 * l + m] = out;
        }
    }
    return image;
}

Bytes EightLaneImage(const std::vector<Bytes>& lanes) {
    const size_t length = LongestLane(lanes);
    Bytes image(length * 8);
    for (size_t p = 0; p < length; ++p) {
        for (int k = 0; k < 8; ++k) {
            uint8_t out = 0;
            for (int n = 0; n < 8; ++n) out |= static_cast<uint8_t>(((LaneByte(lanes, n, p) >> k) & 1) << n);
            image[8 * p + k] = out;
        }
    }
    return image;
}

namespace {

class ForwardingFile : public InputFile {
public:
    explicit ForwardingFile(std::unique_ptr<InputFile> inner) : inner_(std::move(inner)) {}
    bool Length(uint64_t& length) override { return inner_->Length(length); }
    long Read(void* buffer, size_t count) override { return inner_->Read(buffer, count); }
    bool Seek(uint64_t offset) override { return inner_->Seek(offset); }
    bool ModifiedTime(FileTime& time) override { return inner_->ModifiedTime(time); }

protected:
    std::unique_ptr<InputFile> inner_;
};

class CountedFile : public ForwardingFile {
public:
    CountedFile(std::unique_ptr<InputFile> inner, std::shared_ptr<OpenCounts> counts)
        : ForwardingFile(std::move(inner)), counts_(std::move(counts)) {
        ++counts_->files;
    }
    ~CountedFile() override { --counts_->files; }

private:
    std::shared_ptr<OpenCounts> counts_;
};

class FailingFile : public ForwardingFile {
public:
    FailingFile(std::unique_ptr<InputFile> inner, uint64_t goodBytes, bool endEarly)
        : ForwardingFile(std::move(inner)), left_(goodBytes), endEarly_(endEarly) {}
    long Read(void* buffer, size_t count) override {
        // Loading reads the head of the file too; the budget covers every read.
        if (left_ == 0) return endEarly_ ? 0 : -1;
        const size_t allowed = std::min<uint64_t>(count, left_);
        const long n = inner_->Read(buffer, allowed);
        if (n > 0) left_ -= static_cast<uint64_t>(n);
        return n;
    }

private:
    uint64_t left_;
    bool endEarly_;
};

}  // namespace

FileOpener CountingOpener(std::shared_ptr<OpenCounts> counts, FileOpener inner) {
    return [counts, inner](const std::string& path) -> std::unique_ptr<InputFile> {
        auto file = inner(path);
        if (!file) return nullptr;
        return std::make_unique<CountedFile>(std::move(file), counts);
    };
}

FileOpener FailingReadOpener(const std::string& path, uint64_t goodBytes, bool endEarly, FileOpener inner) {
    return [=](const std::string& name) -> std::unique_ptr<InputFile> {
        auto file = inner(name);
        if (!file || name != path) return file;
        return std::make_unique<FailingFile>(std::move(file), goodBytes, endEarly);
    };
}

CardUnderTest MakeCard(const std::string& image, uint64_t sectors, uint64_t partitionStart) {
    MakeCardImage(image, sectors, partitionStart);
    CardUnderTest card;
    card.image = image;
    card.drive = RegisterDrivePath(image);
    card.context.makeDevice = MakeFaultInjectingFactory(CreateSectorDevice, card.plan);
    card.context.openFile = CountingOpener(card.counts);
    card.context.operation = {0, 0, 1};
    card.context.hardware = {2, 0, 4, 0};
    card.context.card.diskList.entries.push_back({"Disk", card.drive});
    card.context.card.diskList.selected = 0;
    return card;
}

ScriptedHost ImageHost() {
    ScriptedHost host;
    host.keepDiskList = true;
    return host;
}

}  // namespace opstest

}  // namespace tavrin
