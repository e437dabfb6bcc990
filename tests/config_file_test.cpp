// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sys/stat.h>

#include "card/ConfigFile.h"
#include "ops/PosixInputFile.h"
#include "support/ScratchFolder.h"

using namespace tavrin;

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kDummyWord{0xFF, 0xFF, 0xFF, 0xFF};
const Bytes kSyncMsbFirst{0xAA, 0x99, 0x55, 0x66};
const Bytes kSyncLsbFirst{0x55, 0x99, 0xAA, 0x66};

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes Field(char key, const std::string& text) {
    Bytes out{static_cast<uint8_t>(key), 0, static_cast<uint8_t>(text.size() + 1)};
    for (char ch : text) out.push_back(static_cast<uint8_t>(ch));
    out.push_back(0);
    return out;
}

// A header as the vendor's bitstream generator writes it, ahead of `data`.
Bytes VendorBitFile(const Bytes& data) {
    Bytes header{0x00, 0x09, 0x0F, 0xF0, 0x0F, 0xF0, 0x0F, 0xF0, 0x0F, 0xF0, 0x00, 0x00, 0x01};
    uint32_t n = static_cast<uint32_t>(data.size());
    return Join({header, Field('a', "top.ncd;UserID=0xFFFFFFFF"), Field('b', "3s500evq100"),
                 Field('c', "2008/03/05"), Field('d', "14:07:09"),
                 Bytes{'e', static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8),
                       static_cast<uint8_t>(n)},
                 data});
}

struct Loaded {
    bool ok = false;
    LoadedFile file;
    Bytes next;  // what the file reads from where loading left it
};

Loaded LoadPath(const std::string& path) {
    Loaded result;
    std::unique_ptr<InputFile> file = OpenInputFile(path);
    if (!file) return result;
    result.ok = LoadConfigurationFile(*file, path, result.file);
    result.next.resize(8);
    long got = file->Read(result.next.data(), result.next.size());
    result.next.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return result;
}

// Reads come from memory; every other answer is set by the test.
class FakeInputFile : public InputFile {
public:
    explicit FakeInputFile(Bytes bytes) : bytes_(std::move(bytes)), length(bytes_.size()) {}
    bool Length(uint64_t& out) override {
        out = length;
        return true;
    }
    long Read(void* buffer, size_t count) override {
        if (failRead) return -1;
        size_t n = std::min(count, bytes_.size() - position_);
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return static_cast<long>(n);
    }
    bool Seek(uint64_t offset) override {
        if (failSeek || offset > bytes_.size()) return false;
        position_ = offset;
        return true;
    }
    bool ModifiedTime(FileTime& time) override {
        time = FileTime{1999, 12, 31, 23, 59, 58};
        return !failTime;
    }

private:
    Bytes bytes_;
    size_t position_ = 0;

public:
    uint64_t length;
    bool failRead = false;
    bool failSeek = false;
    bool failTime = false;
};

// Loaded from offset 0 as it stands, and left positioned there.
void ExpectTakenWhole(const Loaded& loaded, const Bytes& bytes) {
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.file.dataStart, 0u);
    EXPECT_EQ(loaded.file.dataLength, bytes.size());
    EXPECT_EQ(loaded.file.bitOrder, 0);
    EXPECT_EQ(loaded.next, Bytes(bytes.begin(), bytes.begin() + 8));
}

const Bytes kBinHead = Join({kDummyWord, kSyncLsbFirst, Bytes{0x30, 0x01}});

}  // namespace

TEST(ConfigFile, VendorBitFileSkipsItsHeader) {
    ScratchFolder folder;
    Bytes data = Join({Bytes(32, 0xFF), Bytes{0x00, 0x00, 0x00, 0xBB}, kDummyWord, kSyncMsbFirst, Bytes(200, 0x5A)});
    Bytes image = VendorBitFile(data);
    Loaded loaded = LoadPath(folder.Write("Top.BIT", image));
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.file.fileLength, image.size());
    EXPECT_EQ(loaded.file.dataStart, image.size() - data.size());
    EXPECT_EQ(loaded.file.dataLength, data.size());
    EXPECT_EQ(loaded.file.bitOrder, 1);
    EXPECT_EQ(loaded.next, Bytes(8, 0xFF));
}

TEST(ConfigFile, BinInEitherSyncOrder) {
    ScratchFolder folder;
    Bytes lsb = Join({kBinHead, Bytes(30, 1)});
    Loaded loaded = LoadPath(folder.Write("a.bin", lsb));
    ExpectTakenWhole(loaded, lsb);

    Bytes msb = Join({Bytes{1, 2, 3}, kDummyWord, kDummyWord, kSyncMsbFirst, Bytes{0x30}});
    loaded = LoadPath(folder.Write("b.BIN", msb));
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.file.dataStart, 3u);
    EXPECT_EQ(loaded.file.dataLength, msb.size() - 3);
    EXPECT_EQ(loaded.file.bitOrder, 1);
}

TEST(ConfigFile, DataStartIsTheFirstDummyWordEvenFarAheadOfTheSync) {
    Bytes bytes = Join({Bytes(10, 0), kDummyWord, Bytes(50, 0x12), kDummyWord, kSyncMsbFirst, Bytes{0}});
    FakeInputFile file(bytes);
    LoadedFile loaded;
    ASSERT_TRUE(LoadConfigurationFile(file, "x.bit", loaded));
    EXPECT_EQ(loaded.dataStart, 10u);
    EXPECT_EQ(loaded.bitOrder, 1);
}

TEST(ConfigFile, ShortFilesFail) {
    ScratchFolder folder;
    EXPECT_FALSE(LoadPath(folder.Write("seven.bin", Bytes(7, 0xFF))).ok);
    // Eight bytes hold a whole sync, but the last byte read never takes part in a match.
    EXPECT_FALSE(LoadPath(folder.Write("eight.bin", Join({kDummyWord, kSyncLsbFirst}))).ok);
    EXPECT_TRUE(LoadPath(folder.Write("nine.bin", Join({kDummyWord, kSyncLsbFirst, Bytes{0}}))).ok);
}

TEST(ConfigFile, SyncMustEndBeforeTheLastOfTheFirst1024Bytes) {
    auto fileWithSyncEndingAt = [](size_t lastByte) {
        Bytes bytes(1100, 0);
        Bytes tail = Join({kDummyWord, kSyncLsbFirst});
        std::copy(tail.begin(), tail.end(), bytes.begin() + static_cast<long>(lastByte - 7));
        return bytes;
    };
    FakeInputFile atEnd(fileWithSyncEndingAt(1023));
    FakeInputFile justBefore(fileWithSyncEndingAt(1022));
    FakeInputFile beyond(fileWithSyncEndingAt(1090));
    LoadedFile loaded;
    EXPECT_FALSE(LoadConfigurationFile(atEnd, "x.bit", loaded));
    EXPECT_FALSE(LoadConfigurationFile(beyond, "x.bit", loaded));
    ASSERT_TRUE(LoadConfigurationFile(justBefore, "x.bit", loaded));
    EXPECT_EQ(loaded.dataStart, 1015u);
    EXPECT_EQ(loaded.dataLength, 1100u - 1015u);
}

TEST(ConfigFile, DummyWordsWithoutSyncFail) {
    FakeInputFile file(Join({Bytes(64, 0xFF), Bytes(64, 0x00)}));
    LoadedFile loaded;
    EXPECT_FALSE(LoadConfigurationFile(file, "x.bit", loaded));
}

TEST(ConfigFile, RbfIsTakenWholeWithoutLookingInside) {
    ScratchFolder folder;
    Loaded empty = LoadPath(folder.Write("empty.rbf", {}));
    ASSERT_TRUE(empty.ok);
    EXPECT_EQ(empty.file.fileLength, 0u);
    EXPECT_EQ(empty.file.dataLength, 0u);

    Bytes bytes = Join({Bytes{9, 9}, kDummyWord, kSyncMsbFirst, Bytes{7}});
    ExpectTakenWhole(LoadPath(folder.Write("d.RBF", bytes)), bytes);
}

TEST(ConfigFile, ModificationTimeInLocalTime) {
    ScratchFolder folder;
    std::string path = folder.Write("t.rbf", Bytes(3, 0));
    std::tm local{};
    local.tm_year = 108;
    local.tm_mon = 2;
    local.tm_mday = 5;
    local.tm_hour = 14;
    local.tm_min = 7;
    local.tm_sec = 9;
    local.tm_isdst = -1;
    std::time_t when = std::mktime(&local);
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::from_sys(
                                               std::chrono::system_clock::from_time_t(when)));
    Loaded loaded = LoadPath(path);
    ASSERT_TRUE(loaded.ok);
    const FileTime& t = loaded.file.modified;
    EXPECT_EQ((std::array<int, 6>{t.year, t.month, t.day, t.hour, t.minute, t.second}),
              (std::array<int, 6>{2008, 3, 5, 14, 7, 9}));
}

TEST(ConfigFile, UnconvertibleTimeGivesTheUnknownTime) {
    FakeInputFile file(Bytes(4, 0));
    file.failTime = true;
    LoadedFile loaded;
    ASSERT_TRUE(LoadConfigurationFile(file, "x.rbf", loaded));
    EXPECT_EQ(loaded.modified.year, 0);
    EXPECT_EQ(loaded.modified.day, 0);
    EXPECT_EQ(loaded.modified.hour, -1);
    EXPECT_EQ(loaded.modified.second, -1);
}

TEST(ConfigFile, FailuresOfTheFileItself) {
    LoadedFile loaded;
    FakeInputFile unreadable(kBinHead);
    unreadable.failRead = true;
    EXPECT_FALSE(LoadConfigurationFile(unreadable, "x.bin", loaded));

    FakeInputFile unseekable(kBinHead);
    unseekable.failSeek = true;
    EXPECT_FALSE(LoadConfigurationFile(unseekable, "x.bin", loaded));

    // A length the file record cannot hold in 32 bits.
    FakeInputFile huge(Bytes(16, 0));
    huge.length = 0x100000000ull;
    EXPECT_FALSE(LoadConfigurationFile(huge, "x.rbf", loaded));
    FakeInputFile largest(Bytes(16, 0));
    largest.length = 0xFFFFFFFFull;
    ASSERT_TRUE(LoadConfigurationFile(largest, "x.rbf", loaded));
    EXPECT_EQ(loaded.dataLength, 0xFFFFFFFFu);
}

TEST(ConfigFile, FileThatShrankBelowItsDataStartFails) {
    FakeInputFile file(Join({Bytes(20, 0), kDummyWord, kSyncMsbFirst, Bytes{0}}));
    file.length = 10;
    LoadedFile loaded;
    EXPECT_FALSE(LoadConfigurationFile(file, "x.bit", loaded));
}

TEST(InputFileOpen, RefusesWhatIsNotARegularFile) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.Path() / "dir.bit");
    EXPECT_EQ(OpenInputFile((folder.Path() / "dir.bit").string()), nullptr);
    EXPECT_EQ(OpenInputFile((folder.Path() / "missing.bit").string()), nullptr);
    std::string fifo = (folder.Path() / "pipe.bit").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(OpenInputFile(fifo), nullptr);
}

namespace {

std::filesystem::path SampleDir() {
    const char* fromEnvironment = std::getenv("TAVRIN_SAMPLE_DIR");
    return fromEnvironment ? fromEnvironment : TAVRIN_SAMPLE_DIR;
}

std::vector<std::filesystem::path> Samples(const std::string& extension) {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(SampleDir(), error))
        if (entry.path().extension() == extension) found.push_back(entry.path());
    return found;
}

// Where the vendor header says the bitstream begins, and how long it says it is.
bool BitHeaderEnd(const Bytes& bytes, size_t& dataStart, uint32_t& dataLength) {
    size_t p = 13;  // length-prefixed magic, then the two-byte field count
    while (p < bytes.size()) {
        uint8_t key = bytes[p++];
        if (key == 'e') {
            if (p + 4 > bytes.size()) return false;
            dataLength = uint32_t{bytes[p]} << 24 | uint32_t{bytes[p + 1]} << 16 | uint32_t{bytes[p + 2]} << 8 | bytes[p + 3];
            dataStart = p + 4;
            return true;
        }
        if (p + 2 > bytes.size()) return false;
        p += 2 + (size_t{bytes[p]} << 8 | bytes[p + 1]);
    }
    return false;
}

}  // namespace

TEST(ConfigFileSamples, VendorBitFilesStartBehindTheirHeader) {
    std::vector<std::filesystem::path> samples = Samples(".bit");
    if (samples.empty()) GTEST_SKIP() << "no vendor samples in " << SampleDir();
    for (const auto& path : samples) {
        SCOPED_TRACE(path.string());
        Bytes bytes = ReadFileBytes(path.string());
        size_t headerEnd = 0;
        uint32_t bitstreamLength = 0;
        ASSERT_TRUE(BitHeaderEnd(bytes, headerEnd, bitstreamLength));
        Loaded loaded = LoadPath(path.string());
        ASSERT_TRUE(loaded.ok);
        EXPECT_EQ(loaded.file.fileLength, bytes.size());
        EXPECT_EQ(loaded.file.dataStart, headerEnd);
        EXPECT_EQ(loaded.file.dataLength, bitstreamLength);
        EXPECT_EQ(loaded.file.bitOrder, 1);
        EXPECT_EQ(loaded.next, Bytes(bytes.begin() + static_cast<long>(headerEnd),
                                     bytes.begin() + static_cast<long>(headerEnd) + 8));
    }
}

TEST(ConfigFileSamples, VendorRbfFilesAreTakenWhole) {
    std::vector<std::filesystem::path> samples = Samples(".rbf");
    if (samples.empty()) GTEST_SKIP() << "no vendor samples in " << SampleDir();
    for (const auto& path : samples) {
        SCOPED_TRACE(path.string());
        Loaded loaded = LoadPath(path.string());
        ASSERT_TRUE(loaded.ok);
        EXPECT_EQ(loaded.file.dataStart, 0u);
        EXPECT_EQ(loaded.file.dataLength, std::filesystem::file_size(path));
        EXPECT_EQ(loaded.file.bitOrder, 0);
    }
}
