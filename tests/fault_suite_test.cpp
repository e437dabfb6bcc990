// SPDX-License-Identifier: Apache-2.0
// Every transfer of every operation fails in turn, and configuration files give out before
// their loaded length: each run ends with its one message, names the right address, releases
// every file and the device, and writes nothing after the failure.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <unistd.h>

#include "card/CardLayout.h"
#include "card/ConfigFile.h"
#include "ops/CheckInfo.h"
#include "ops/Operations.h"
#include "support/FaultInjectingDevice.h"
#include "support/OpsTestKit.h"
#include "support/ScriptedHost.h"
#include "support/ServiceAccessRig.h"
#include "text/LocalText.h"
#include "text/Texts.h"

using namespace tavrin;

using namespace opstest;

namespace {

constexpr uint64_t kCardSectors = 8192;
constexpr uint64_t kPartitionStart = 4096;

enum class Op { Program, Verify, CheckInfo, QuickErase, FullErase };

const char* OpName(Op op) {
    switch (op) {
    case Op::Program: return "Program";
    case Op::Verify: return "Verify";
    case Op::CheckInfo: return "Check Info";
    case Op::QuickErase: return "Quick Erase";
    case Op::FullErase: return "Erase";
    }
    return "";
}

struct Outcome {
    bool ok = false;
    ScriptedHost host;
    std::shared_ptr<FaultPlan> plan;
    BankInfoData info;

    std::vector<std::string> Failures() const {
        std::vector<std::string> texts;
        for (const auto& m : host.messages)
            if (m.icon == MsgIcon::Error || m.icon == MsgIcon::Warning) texts.push_back(m.text);
        return texts;
    }
};

std::string WriteError(int64_t offset) { return FormatText(texts::kWriteSectorError.english, static_cast<unsigned>(offset)); }
std::string ReadError(int64_t offset) { return FormatText(texts::kReadSectorError.english, static_cast<unsigned>(offset)); }
std::string BitFileError(const std::string& name) { return FormatText(texts::kBitFileError.english, name.c_str()); }

// The one detail shown carries the system's words for the injected error.
bool GivesInjectedReason(const Outcome& out) {
    const auto& details = out.host.details;
    return details.size() == 1 && details[0].find(std::strerror(out.plan->injectedError)) != std::string::npos;
}

// A .bin file: dummy word and sync word in the order that is taken as it is, then the data.
void WriteBinFile(const std::string& path, const Bytes& payload) {
    static constexpr uint8_t kHead[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x55, 0x99, 0xAA, 0x66};
    Bytes bytes(sizeof kHead + payload.size());
    std::copy(std::begin(kHead), std::end(kHead), bytes.begin());
    std::copy(payload.begin(), payload.end(), bytes.begin() + sizeof kHead);
    WriteFileBytes(path, bytes);
}

// Each case runs twice: on a card opened directly, and on one that the system refuses to open
// for this user, opened by the desktop's disk service instead.
class FaultSuiteTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam()) rig_ = std::make_unique<ServiceAccessRig>(kCardSectors, kPartitionStart);
        card_ = MakeCard(rig_ ? rig_->Node() : dir_.File("card.img"), kCardSectors, kPartitionStart);
        // Bank 1 in eight lanes, bank 2 behind it; then the names switch to a larger set whose
        // bank 1 overruns bank 2, so Program also zeroes the later bank sectors.
        WriteBitFile(dir_.File("a.bit"), RandomBytes(6000, 1), true);
        WriteFileBytes(dir_.File("c.rbf"), RandomBytes(5000, 2));
        WriteBinFile(dir_.File("f.bin"), RandomBytes(4000, 3));
        names_ = {dir_.File("a.bit"), "", dir_.File("c.rbf"), "", "", dir_.File("f.bin"), "", ""};
        ASSERT_TRUE(Run(Op::Program, [](FaultPlan&) {}).ok);
        card_.context.card.bankList.selected = 1;
        WriteFileBytes(dir_.File("p.rbf"), RandomBytes(3000, 4));
        names_ = {dir_.File("p.rbf"), "", "", "", "", "", "", ""};
        parallel_ = 1;
        ASSERT_TRUE(Run(Op::Program, [](FaultPlan&) {}).ok);
        card_.context.card.bankList.selected = 0;
        parallel_ = 0;
        WriteBitFile(dir_.File("a2.bit"), RandomBytes(9000, 5), true);
        names_ = {dir_.File("a2.bit"), "", dir_.File("c.rbf"), "", "", dir_.File("f.bin"), "", ""};
        beforeProgram_ = ReadFileBytes(card_.image);
        Outcome programmed = Run(Op::Program, [](FaultPlan&) {});
        ASSERT_TRUE(programmed.ok) << programmed.host.LastMessage();
        ASSERT_EQ(programmed.plan->writes.size(), 4u + 1u + 1u) << "zeroing, records with data, bank sector";
        programPercents_ = programmed.host.PercentTextsOf(OpButton::Program);
        programmed_ = ReadFileBytes(card_.image);
    }

    // One run from the card as it is, with the bank table scanned beforehand by a device
    // outside the plan, so that the plan counts the operation's own transfers only.
    Outcome Run(Op op, const std::function<void(FaultPlan&)>& arm) {
        Outcome out;
        card_.context.makeDevice = CreateSectorDevice;
        const int bank = card_.context.card.bankList.selected;
        RescanBanks(card_.context.card, card_.context.makeDevice);
        card_.context.card.bankList.selected = bank;
        card_.NewPlan();
        const HeaderReadScope headerReads(card_.context);
        // A failed transfer stays failed when tried again, so that the run cannot pass over it.
        card_.plan->numberedFailuresStay = true;
        arm(*card_.plan);
        out.plan = card_.plan;
        out.host = ImageHost();
        out.host.initializeDisk = true;
        out.host.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
        card_.context.state.fileName = names_;
        card_.context.state.parallelMode = parallel_;
        out.host.controls = card_.context.state;  // what the frame takes
        card_.context.operation.quickErase = op == Op::QuickErase;
        switch (op) {
        case Op::Program: out.ok = (throughFrame_ ? OnProgram : ProgramCard)(out.host, card_.context); break;
        case Op::Verify: out.ok = (throughFrame_ ? OnVerify : VerifyCard)(out.host, card_.context); break;
        case Op::CheckInfo: out.ok = CheckInfoCard(out.host, card_.context, out.info); break;
        case Op::QuickErase:
        case Op::FullErase:
            out.ok = throughFrame_ ? OnErase(out.host, card_.context) : EraseCard(out.host, card_.context) == 1;
            break;
        }
        return out;
    }

    // What every failed run owes: one message, everything released, nothing written after.
    void ExpectCleanFailure(const Outcome& out, const std::string& message, const std::string& label) {
        EXPECT_FALSE(out.ok) << label;
        EXPECT_EQ(out.Failures(), std::vector<std::string>{message}) << label;
        EXPECT_TRUE(card_.AllClosed()) << label;
        EXPECT_TRUE(out.plan->WritesAfterFirstFailure().empty()) << label;
    }

    // Runs the operation once without faults, then once for every read, write and flush of
    // that run failing; `expected` gives the message for the transfer that failed.
    void ForEveryTransfer(Op op, const Bytes& start,
                          const std::function<std::string(const char* kind, int n, const TransferRecord*)>& expected) {
        StoreImage(start);
        const Outcome clean = Run(op, [](FaultPlan&) {});
        ASSERT_TRUE(clean.ok) << OpName(op) << ": " << clean.host.LastMessage();
        struct Kind {
            const char* name;
            size_t count;
            std::function<void(FaultPlan&, int)> arm;
        };
        const Kind kinds[] = {
            {"read", clean.plan->reads.size(), [](FaultPlan& p, int n) { p.failReadNumber = n; }},
            {"write", clean.plan->writes.size(), [](FaultPlan& p, int n) { p.failWriteNumber = n; }},
            {"flush", static_cast<size_t>(clean.plan->flushes), [](FaultPlan& p, int n) { p.failFlushNumber = n; }},
        };
        for (const Kind& kind : kinds) {
            for (size_t n = 1; n <= kind.count; ++n) {
                StoreImage(start);
                const Outcome out = Run(op, [&](FaultPlan& p) { kind.arm(p, static_cast<int>(n)); });
                const std::string label = std::string(OpName(op)) + ", " + kind.name + " " + std::to_string(n);
                const auto& log = kind.name[0] == 'r' ? out.plan->reads : out.plan->writes;
                const TransferRecord* failed = kind.name[0] == 'f' || n > log.size() ? nullptr : &log[n - 1];
                if (failed) {
                    EXPECT_TRUE(failed->injected) << label;
                }
                ExpectCleanFailure(out, expected(kind.name, static_cast<int>(n), failed), label);
                EXPECT_TRUE(GivesInjectedReason(out)) << label;
            }
        }
    }

    void StoreImage(const Bytes& image) { WriteFileBytes(card_.image, image); }

    std::unique_ptr<ServiceAccessRig> rig_;
    TempDir dir_;
    CardUnderTest card_;
    std::array<std::string, 8> names_;
    int parallel_ = 0;
    bool throughFrame_ = false;
    Bytes beforeProgram_, programmed_;
    std::vector<std::string> programPercents_;
};

TEST_P(FaultSuiteTest, ProgramAtEveryTransfer) {
    ForEveryTransfer(Op::Program, beforeProgram_, [](const char* kind, int n, const TransferRecord* failed) {
        if (kind[0] == 'r') return std::string(texts::kCannotReadDisk.english);
        // A flush that fails names the bank sector (after it was zeroed, and after it was
        // written) or where the data start (before the bank sector is written).
        if (kind[0] == 'f') return WriteError(n == 2 ? 128 * 512 : 0);
        return WriteError(failed->offset);
    });
}

// A bad spot inside a large request: the run names the record or chunk that holds it, with the
// progress of the chunks before it, as when each went on its own.
TEST_P(FaultSuiteTest, BadSpotInsideARequestIsNamed) {
    constexpr int64_t kRecords = 120 * 512, kData = 128 * 512, kEnd = kData + 5 * 16384;
    for (Op op : {Op::Program, Op::Verify}) {
        for (int64_t unit = kRecords; unit < kEnd; unit += unit < kData ? 512 : 16384) {
            StoreImage(op == Op::Program ? beforeProgram_ : programmed_);
            const Outcome out = Run(op, [&](FaultPlan& p) { p.failAtByte = unit + 100; });
            const std::string label = std::string(OpName(op)) + " at " + std::to_string(unit);
            ExpectCleanFailure(out, op == Op::Program ? WriteError(unit) : ReadError(unit), label);
            if (op != Op::Program) continue;
            const auto chunksBefore = unit < kData ? 0 : static_cast<size_t>(unit - kData) / 16384;
            const std::vector<std::string> percents(programPercents_.begin(), programPercents_.begin() + chunksBefore);
            EXPECT_EQ(out.host.PercentTextsOf(OpButton::Program), percents) << label;
        }
    }
}

TEST_P(FaultSuiteTest, VerifyAtEveryRead) {
    ForEveryTransfer(Op::Verify, programmed_, [](const char*, int, const TransferRecord* failed) -> std::string {
        return failed->offset == 0 && failed->sequence == 1 ? texts::kCannotReadDisk.english
                                                            : ReadError(failed->offset);
    });
}

// The frame (the window's and the command line's way in) looks at the card first and answers
// the run's own look from that. Every transfer of such a run failing in turn ends in one message
// with nothing written after it, or, where the run did without what failed (the frame's look),
// in what a clean run leaves.
TEST_P(FaultSuiteTest, ThroughTheFrameEveryTransferFailsCleanly) {
    throughFrame_ = true;
    card_.context.operation.autoVerify = 1;
    for (Op op : {Op::Program, Op::Verify, Op::QuickErase, Op::FullErase}) {
        const Bytes& start = op == Op::Program ? beforeProgram_ : programmed_;
        StoreImage(start);
        const Outcome clean = Run(op, [](FaultPlan&) {});
        ASSERT_TRUE(clean.ok) << OpName(op) << ": " << clean.host.LastMessage();
        const Bytes after = ReadFileBytes(card_.image);
        const std::pair<const char*, std::function<void(FaultPlan&, int)>> kinds[] = {
            {"open", [](FaultPlan& p, int n) { p.failOpenNumber = n; }},
            {"read", [](FaultPlan& p, int n) { p.failReadNumber = n; }},
            {"write", [](FaultPlan& p, int n) { p.failWriteNumber = n; }},
            {"flush", [](FaultPlan& p, int n) { p.failFlushNumber = n; }},
        };
        const size_t counts[] = {static_cast<size_t>(clean.plan->opens), clean.plan->reads.size(),
                                 clean.plan->writes.size(), static_cast<size_t>(clean.plan->flushes)};
        for (size_t k = 0; k < 4; ++k) {
            for (size_t n = 1; n <= counts[k]; ++n) {
                StoreImage(start);
                const Outcome out = Run(op, [&](FaultPlan& p) { kinds[k].second(p, static_cast<int>(n)); });
                const std::string label = std::string(OpName(op)) + ", " + kinds[k].first + " " + std::to_string(n);
                EXPECT_TRUE(card_.AllClosed()) << label;
                if (out.ok) {
                    EXPECT_EQ(ReadFileBytes(card_.image), after) << label;
                    continue;
                }
                EXPECT_EQ(out.Failures().size(), 1u) << label;
                EXPECT_TRUE(out.plan->WritesAfterFirstFailure().empty()) << label;
            }
        }
    }
}

TEST_P(FaultSuiteTest, EraseAtEveryTransfer) {
    for (Op op : {Op::QuickErase, Op::FullErase}) {
        const std::string failed = op == Op::QuickErase ? texts::kQuickEraseFailed : texts::kEraseFailed;
        ForEveryTransfer(op, programmed_, [&](const char* kind, int, const TransferRecord*) -> std::string {
            return kind[0] == 'r' ? texts::kCannotReadDisk.english : failed;
        });
    }
}

// Check Info stops when the bank sectors cannot be read; a record that cannot be read is an
// empty row, and only that record's.
TEST_P(FaultSuiteTest, CheckInfoAtEveryRead) {
    StoreImage(programmed_);
    const Outcome clean = Run(Op::CheckInfo, [](FaultPlan&) {});
    ASSERT_TRUE(clean.ok);
    ASSERT_EQ(clean.plan->reads.size(), 2u) << "the bank sectors in one request, the records in another";
    const Outcome noBanks = Run(Op::CheckInfo, [](FaultPlan& p) { p.failReadNumber = 1; });
    EXPECT_FALSE(noBanks.ok);
    EXPECT_EQ(noBanks.Failures(), std::vector<std::string>{texts::kCannotViewInformation.english});
    for (int row = 0; row < 8; ++row) {
        const Outcome out = Run(Op::CheckInfo, [row](FaultPlan& p) { p.failAtByte = (120 + row) * 512 + 100; });
        const std::string label = "Check Info, record " + std::to_string(row);
        EXPECT_TRUE(card_.AllClosed()) << label;
        EXPECT_TRUE(out.ok) << label;
        EXPECT_TRUE(out.Failures().empty()) << label;
        BankInfoData expected = clean.info;
        expected.cardFileName[row] = expected.cardSize[row] = expected.cardDate[row] = expected.cardTime[row] = "";
        EXPECT_EQ(out.info.cardFileName, expected.cardFileName) << label;
        EXPECT_EQ(out.info.cardSize, expected.cardSize) << label;
    }
}

TEST_P(FaultSuiteTest, EveryOpenFailing) {
    struct Case {
        Op op;
        Bytes image;
        std::vector<std::string> messages;  // by the number of the open that fails
    };
    const Case cases[] = {
        {Op::Program, beforeProgram_, {texts::kCannotOpenDisk.english, texts::kCannotOpenDisk.english}},
        {Op::Verify, programmed_, {texts::kCannotOpenDisk.english}},
        {Op::CheckInfo, programmed_, {texts::kCannotViewInformation.english}},
        {Op::QuickErase, programmed_, {texts::kCannotOpenDisk.english}},
        {Op::FullErase, programmed_, {texts::kCannotOpenDisk.english}},
    };
    for (const Case& c : cases) {
        for (size_t n = 1; n <= c.messages.size(); ++n) {
            StoreImage(c.image);
            const Outcome out = Run(c.op, [n](FaultPlan& p) { p.failOpenNumber = static_cast<int>(n); });
            const std::string label = std::string(OpName(c.op)) + ", open " + std::to_string(n);
            ExpectCleanFailure(out, c.messages[n - 1], label);
            EXPECT_TRUE(GivesInjectedReason(out)) << label;
            Bytes expected = c.image;
            // Program cleared the card's first volume before it opened the card again.
            if (c.op == Op::Program && n == 2) std::fill_n(expected.begin() + kPartitionStart * 512, 512, 0);
            EXPECT_EQ(ReadFileBytes(card_.image), expected) << label << ": the card changed";
        }
    }
}

// A card that another run holds: no operation that writes or verifies opens it.
TEST_P(FaultSuiteTest, EveryClaimRefused) {
    card_.context.claimDrive = [](int) { return ClaimAttempt{nullptr, "held"}; };
    for (Op op : {Op::Program, Op::Verify, Op::QuickErase, Op::FullErase}) {
        const Bytes& start = op == Op::Program ? beforeProgram_ : programmed_;
        StoreImage(start);
        const Outcome out = Run(op, [](FaultPlan&) {});
        ExpectCleanFailure(out, texts::kCannotOpenDisk.english, OpName(op));
        EXPECT_EQ(out.plan->opens, 0) << OpName(op);
        EXPECT_EQ(ReadFileBytes(card_.image), start) << OpName(op);
    }
}

// Loading reads the head of a .bit or .bin file (up to 1024 bytes) and positions the file at
// its data; the data are then read to the loaded length.
struct FileReads {
    uint64_t head = 0;
    uint64_t total = 0;
};

FileReads ReadsOf(const std::string& path) {
    auto file = OpenInputFile(path);
    LoadedFile loaded;
    EXPECT_TRUE(file && LoadConfigurationFile(*file, path, loaded));
    const bool rbf = path.size() >= 4 && path.substr(path.size() - 4) == ".rbf";
    FileReads reads;
    reads.head = rbf ? 0 : std::min<uint64_t>(1024, loaded.fileLength);
    reads.total = reads.head + loaded.dataLength;
    return reads;
}

// Every budget of readable bytes short of what a run needs from one file ends the run with
// that file's name; Program has then not written its bank sector. Reads that fail and reads
// that find the file ended early (as when it was truncated) alike.
TEST_P(FaultSuiteTest, ConfigurationFileGivesOutBeforeItsLoadedLength) {
    const FileOpener counting = card_.context.openFile;
    for (Op op : {Op::Program, Op::Verify}) {
        const Bytes& start = op == Op::Program ? beforeProgram_ : programmed_;
        for (const std::string& name : names_) {
            if (name.empty()) continue;
            const FileReads reads = ReadsOf(name);
            const uint64_t data = reads.total - reads.head;
            std::set<uint64_t> budgets{0, 1, reads.head + 1, reads.head + data / 2, reads.total - 1};
            if (reads.head > 0) budgets.insert({reads.head - 1, reads.head});
            for (uint64_t budget : budgets) {
                for (bool endsEarly : {false, true}) {
                    StoreImage(start);
                    card_.context.openFile = CountingOpener(card_.counts, FailingReadOpener(name, budget, endsEarly));
                    const Outcome out = Run(op, [](FaultPlan&) {});
                    card_.context.openFile = counting;
                    const std::string label = std::string(OpName(op)) + ", " + name + " gives out after " +
                                              std::to_string(budget) + (endsEarly ? " (ends)" : " (fails)");
                    ExpectCleanFailure(out, BitFileError(name), label);
                    const Bytes bankSector = ReadSectors(card_.image, 0, 1);
                    EXPECT_TRUE(bankSector == Bytes(start.begin(), start.begin() + 512) || bankSector == Bytes(512, 0))
                        << label << ": the bank sector was written";
                }
            }
            StoreImage(start);
            card_.context.openFile = CountingOpener(card_.counts, FailingReadOpener(name, reads.total, false));
            const Outcome enough = Run(op, [](FaultPlan&) {});
            card_.context.openFile = counting;
            EXPECT_TRUE(enough.ok) << OpName(op) << ", " << name << ": " << enough.host.LastMessage();
        }
    }
}

// A file really cut short on disk once it has been loaded.
class TruncatedAfterLoading : public InputFile {
public:
    TruncatedAfterLoading(std::unique_ptr<InputFile> inner, std::string path, uint64_t keep)
        : inner_(std::move(inner)), path_(std::move(path)), keep_(keep) {}
    bool Length(uint64_t& length) override { return inner_->Length(length); }
    long Read(void* buffer, size_t count) override { return inner_->Read(buffer, count); }
    bool Seek(uint64_t offset) override {
        EXPECT_EQ(::truncate(path_.c_str(), static_cast<off_t>(keep_)), 0);
        SetModified(path_, 2022, 2, 3, 4, 5, 6);  // the record still matches
        return inner_->Seek(offset);
    }
    bool ModifiedTime(FileTime& time) override { return inner_->ModifiedTime(time); }

private:
    std::unique_ptr<InputFile> inner_;
    std::string path_;
    uint64_t keep_;
};

TEST_P(FaultSuiteTest, FileTruncatedWhileTheRunGoesOn) {
    const std::string path = dir_.File("t.bit");
    const Bytes content = ReadFileBytes(dir_.File("a2.bit"));
    names_[0] = path;
    const FileOpener counting = card_.context.openFile;
    const FileOpener truncating = CountingOpener(card_.counts, [&](const std::string& name) -> std::unique_ptr<InputFile> {
        auto file = OpenInputFile(name);
        if (!file || name != path) return file;
        return std::make_unique<TruncatedAfterLoading>(std::move(file), path, content.size() / 2);
    });
    auto restore = [&] {
        WriteFileBytes(path, content);
        SetModified(path, 2022, 2, 3, 4, 5, 6);
    };
    for (Op op : {Op::Program, Op::Verify}) {
        restore();
        if (op == Op::Verify) {
            StoreImage(beforeProgram_);
            ASSERT_TRUE(Run(Op::Program, [](FaultPlan&) {}).ok);
            restore();
        }
        const Bytes start = ReadFileBytes(card_.image);
        card_.context.openFile = truncating;
        const Outcome out = Run(op, [](FaultPlan&) {});
        card_.context.openFile = counting;
        ExpectCleanFailure(out, BitFileError(path), OpName(op));
        if (op == Op::Program) {
            EXPECT_EQ(ReadSectors(card_.image, 0, 1), Bytes(512, 0)) << "the bank programmed again is absent";
        }
        if (op == Op::Verify) {
            EXPECT_EQ(ReadFileBytes(card_.image), start);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Access, FaultSuiteTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ThroughDiskService" : "Direct"; });

}  // namespace
