// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "TavrinVersion.h"
#include "card/CardLayout.h"
#include "support/CliRunner.h"
#include "support/FakeDriveTree.h"
#include "support/OpsTestKit.h"
#include "text/Texts.h"

using namespace tavrin;

using namespace opstest;

namespace {

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        image_ = dir_.File("card.img");
        MakeCardImage(image_, 8192, 2048);
        a_ = dir_.File("a.rbf");
        b_ = dir_.File("b.bit");
        WriteFileBytes(a_, RandomBytes(20000, 1));
        WriteBitFile(b_, RandomBytes(5000, 2), true);
    }

    CliResult Run(std::vector<std::string> arguments) { return RunCli(arguments); }

    Bytes Sector(uint64_t n) { return ReadSectors(image_, n, 1); }

    TempDir dir_;
    std::string image_, a_, b_;
};

TEST_F(CliTest, UsageErrorsExitWith2AndTouchNothing) {
    const Bytes before = ReadFileBytes(image_);
    const std::vector<std::vector<std::string>> wrong{
        {},
        {"frobnicate"},
        {"program", a_},
        {"program", "--disk", image_, "--bank", "5", a_},
        {"program", "--disk", image_, "--retry", "16", a_},
        {"program", "--disk", image_, "--delay", "-1", a_},
        {"program", "--disk", image_, "--frequency", "3", a_},
        {"program", "--disk", image_, "--lang", "fr", a_},
        {"program", "--disk", image_, "--colour", a_},
        {"program", "--disk", image_, a_, a_, a_, a_, a_, a_, a_, a_, a_},
        {"erase", "--disk", image_, a_},
        {"erase", "--disk", image_, "--bank", "1"},
        {"settings"},
        {"list", "--disk", image_},
    };
    for (const auto& arguments : wrong) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 2) << testing::PrintToString(arguments);
        EXPECT_NE(result.err.find("usage: tavrin-cli"), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(ReadFileBytes(image_), before);

    const CliResult help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--frequency N"), std::string::npos);
}

TEST_F(CliTest, ShortOptionsAndVersion) {
    const std::string version = std::string("tavrin-cli ") + kTavrinVersion + "\n";
    EXPECT_EQ(Run({"--version"}).out, version);
    EXPECT_EQ(Run({"-V"}).out, version);
    EXPECT_EQ(Run({"info", "-V"}).out, version);
    EXPECT_NE(Run({"-h"}).out.find("  3  a question was answered No"), std::string::npos);
    EXPECT_EQ(Run({"program", "--init", "-y", "-b", "1", "-d", image_, a_}).exitCode, 0);
    EXPECT_EQ(Run({"verify", "-b1", "-d" + image_, a_}).out, "Verify completed.\n");
    EXPECT_EQ(Run({"verify", "-yx", "-d", image_, a_}).exitCode, 2);
}

TEST_F(CliTest, ProgramNeedsInitAndAYesOnABlankCard) {
    const Bytes before = ReadFileBytes(image_);
    CliResult result = Run({"program", "--disk", image_, a_});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Please initialize disk first.\ntavrin-cli: --init allows a card that is not in Tavrin format\n");

    result = Run({"program", "--init", "--disk", image_, a_});
    EXPECT_EQ(result.exitCode, 3) << "answered No";
    EXPECT_NE(result.err.find(texts::kInitializationQuestion.english), std::string::npos);
    EXPECT_EQ(ReadFileBytes(image_), before);

    result = Run({"program", "--init", "--yes", "--disk", image_, a_});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Program configuration completed.\n");
    // Defaults: retry 4, frequency 2; serial File#1 only: width code 0.
    const Bytes bank = Sector(0);
    EXPECT_EQ(Bytes(bank.begin(), bank.begin() + 5), (Bytes{'T', 'V', 1, 0x48, 0}));
    EXPECT_EQ(bank[12] | bank[13] << 8, int(DataSectorCount(4 * 20000)));
    EXPECT_EQ(Sector(2048), Bytes(512, 0)) << "the card's volume was cleared";
}

TEST_F(CliTest, ProgramThenVerifyInfoAndEraseThroughTheCommandLine) {
    ASSERT_EQ(Run({"program", "--init", "--yes", "--parallel", "--retry", "15", "--frequency", "3", "--hi-speed",
                   "--delay", "7", "--verify", "--disk", image_, b_})
                  .out,
              "Program and verify configuration completed.\n");
    EXPECT_EQ(Sector(0)[3], 0xFF);
    EXPECT_EQ(Sector(0)[4], 7);

    CliResult verify = Run({"verify", "--parallel", "--disk", image_, b_});
    EXPECT_EQ(verify.exitCode, 0);
    EXPECT_EQ(verify.out, "Verify completed.\n");
    verify = Run({"verify", "--disk", image_, b_});  // serial: another image
    EXPECT_EQ(verify.exitCode, 1);
    EXPECT_EQ(verify.err, std::string(texts::kVerifyFailed.english) + "\n");

    const CliResult tsv = Run({"info", "--tsv", "--disk", image_, "", a_});
    EXPECT_EQ(tsv.exitCode, 0) << tsv.err;
    std::istringstream lines(tsv.out);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) all.push_back(line);
    ASSERT_EQ(all.size(), 18u) << tsv.out;
    EXPECT_EQ(all[0], "mode\tcard\tParallel Mode");
    EXPECT_EQ(all[1], "mode\tcurrent\tSerial Mode");
    EXPECT_EQ(all[2].rfind("card\t1\tb.bit\t" + std::to_string(std::filesystem::file_size(b_)) + "\t", 0), 0u)
        << all[2];
    EXPECT_EQ(all[3], "card\t2\t\t\t\t");
    EXPECT_EQ(all[10], "current\t1\t\t\t\t");
    EXPECT_EQ(all[11].rfind("current\t2\ta.rbf\t20000\t", 0), 0u) << all[11];

    const CliResult columns = Run({"info", "--lang", "ja", "--disk", image_, b_});
    EXPECT_EQ(columns.exitCode, 0);
    EXPECT_NE(columns.out.find("Bank 1"), std::string::npos);
    EXPECT_NE(columns.out.find(texts::kColumnModifiedDate.japanese), std::string::npos);
    EXPECT_NE(columns.out.find("1.  b.bit"), std::string::npos) << columns.out;

    CliResult erase = Run({"erase", "--disk", image_});
    EXPECT_EQ(erase.exitCode, 3) << "the question is answered No without a terminal";
    erase = Run({"erase", "--yes", "--disk", image_});
    EXPECT_EQ(erase.exitCode, 0);
    EXPECT_EQ(erase.out, "Quick Erase Completed.\n");
    EXPECT_EQ(ReadSectors(image_, 0, 4), Bytes(4 * 512, 0));
    EXPECT_NE(ReadSectors(image_, 128, 1), Bytes(512, 0));

    const CliResult info = Run({"info", "--disk", image_});
    EXPECT_EQ(info.exitCode, 1);
    EXPECT_EQ(info.err, std::string(texts::kNotTavrinFormat.english) + "\n");

    erase = Run({"erase", "--full", "--init", "--yes", "--disk", image_});
    EXPECT_EQ(erase.out, "Erase Completed.\n");
    EXPECT_EQ(ReadFileBytes(image_), Bytes(8192 * 512, 0));
}

// The command line's own device chain passes every flush on: a card whose flushes fail is
// never reported as programmed or erased, and Program leaves the bank absent. The system's
// reason follows the message.
TEST_F(CliTest, AFailingFlushIsAFailureOnTheCommandLine) {
    const std::string blank = dir_.File("blank.img");  // no volume: nothing is cleared before the data
    MakeCardImage(blank, 8192);
    const std::string reason = std::string("tavrin-cli: ") + std::strerror(EIO) + "\n";
    const CliResult program = RunCli({"program", "--init", "--yes", "--disk", blank, a_}, FailingCallEnvironment("fsync"));
    EXPECT_EQ(program.exitCode, 1);
    EXPECT_EQ(program.out, "");
    EXPECT_EQ(program.err.substr(program.err.rfind("Write")), "Write sector error at Addr [00010000].\n" + reason);
    EXPECT_EQ(ReadSectors(blank, 0, 4), Bytes(4 * 512, 0));

    ASSERT_EQ(Run({"program", "--init", "--yes", "--disk", image_, a_}).exitCode, 0);
    for (const auto& [mode, failed] : {std::pair<const char*, std::string>{"--quick", "Quick Erase failed.\n"},
                                       {"--full", "Erase failed.\n"}}) {
        const CliResult erase = RunCli({"erase", mode, "--init", "--yes", "--disk", image_}, FailingCallEnvironment("fsync"));
        EXPECT_EQ(erase.exitCode, 1) << mode;
        EXPECT_EQ(erase.out, "") << mode;
        EXPECT_EQ(erase.err.substr(erase.err.rfind(failed)), failed + reason) << mode;
    }
}

// A failing read, write or open anywhere in the program's device chain: one message with the
// system's reason, exit status 1, and the card as it was.
TEST_F(CliTest, FailingReadsWritesAndOpensChangeNothing) {
    ASSERT_EQ(Run({"program", "--init", "--yes", "--disk", image_, a_}).exitCode, 0);
    const Bytes before = ReadFileBytes(image_);
    const std::string reason = std::string("tavrin-cli: ") + std::strerror(EIO) + "\n";
    struct Case {
        const char* call;
        std::vector<std::string> command;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"pread", {"program", "--yes", "--disk", image_, a_}, "Cannot read disk.\n"},
        {"pread", {"verify", "--disk", image_, a_}, "Cannot read disk.\n"},
        {"pread", {"info", "--disk", image_, a_}, "Cannot view information.\n"},
        {"pread", {"erase", "--quick", "--yes", "--disk", image_}, "Cannot read disk.\n"},
        {"pwrite", {"program", "--yes", "--disk", image_, a_}, "Write sector error at Addr [00000000].\n"},
        {"pwrite", {"erase", "--full", "--yes", "--disk", image_}, "Erase failed.\n"},
        {"open", {"program", "--yes", "--disk", image_, a_}, "Cannot open disk.\n"},
        {"open", {"verify", "--disk", image_, a_}, "Cannot open disk.\n"},
        {"open", {"info", "--disk", image_, a_}, "Cannot view information.\n"},
    };
    for (const Case& c : cases) {
        const CliResult run = RunCli(c.command, FailingCallEnvironment(c.call));
        const std::string label = std::string(c.call) + " " + c.command[0];
        EXPECT_EQ(run.exitCode, 1) << label;
        const size_t at = run.err.rfind(c.message);
        ASSERT_NE(at, std::string::npos) << label << ": " << run.err;
        EXPECT_EQ(run.err.substr(at), c.message + reason) << label;
        EXPECT_EQ(ReadFileBytes(image_), before) << label;
    }
}

// Another run holds the card (here: the test): a second run says so at once, writes nothing.
TEST_F(CliTest, ACardAnotherRunHoldsIsLeftAlone) {
    const int held = ::open(image_.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const Bytes before = ReadFileBytes(image_);
    for (const auto& command : {"program", "erase"}) {
        const CliResult result = Run({command, "--init", "--yes", "--disk", image_, command[0] == 'p' ? a_ : "--full"});
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_EQ(result.err, "Cannot open disk.\ntavrin-cli: another run is using this card\n") << command;
    }
    EXPECT_EQ(ReadFileBytes(image_), before);
    ::close(held);
}

TEST_F(CliTest, OnlyBanksTheBankListOffersCanBeChosen) {
    ASSERT_EQ(Run({"program", "--init", "--yes", "--disk", image_, a_}).exitCode, 0);
    const Bytes before = ReadFileBytes(image_);
    const CliResult result = Run({"program", "--bank", "3", "--disk", image_, a_});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Bank 3 cannot be selected on this card: the bank list holds 1, 2 (New).\n");
    EXPECT_EQ(ReadFileBytes(image_), before);
    const CliResult absent = Run({"verify", "--bank", "2", "--disk", image_, a_});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_EQ(absent.err, "Bank 2 is not on this card\n");
    EXPECT_EQ(Run({"program", "--bank", "2", "--disk", image_, "", a_}).exitCode, 0);
    EXPECT_TRUE(HasTavrinSignature(Sector(1).data()));
}

TEST_F(CliTest, TargetMustExistAndIsNeverCreated) {
    const std::string missing = dir_.File("missing.img");
    const CliResult result = Run({"erase", "--yes", "--disk", missing});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("does not exist"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(Run({"erase", "--yes", "--disk", dir_.File("")}).exitCode, 1);
}

TEST_F(CliTest, SettingsFileGivesTheStartingValues) {
    const std::string tvs = dir_.File("job.tvs");
    std::ofstream(tvs) << "[Settings]\nFile Name1=" << a_ << "\nFile Name2=" << b_
                       << "\nRetry=9\nFrequency=1\nDelay=3\nAuto Verify=1\n";
    CliResult result = Run({"program", "--init", "--yes", "--settings", tvs, "--retry", "2", "--disk", image_});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Program and verify configuration completed.\n");
    EXPECT_EQ(Sector(0)[3], 2 << 4 | 1 << 2 | 1);  // retry from the command line, slot 2: width 1
    EXPECT_EQ(Sector(0)[4], 3);

    const std::string bad = dir_.File("bad.tvs");
    std::ofstream(bad) << "[Settings]\nRetry=99\n";
    const Bytes before = ReadFileBytes(image_);
    result = Run({"program", "--settings", bad, "--disk", image_, a_});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Load Settings Error!!\n");
    EXPECT_EQ(ReadFileBytes(image_), before);
    EXPECT_EQ(Run({"program", "--settings", dir_.File("none.tvs"), "--disk", image_, a_}).err,
              "TVS File not found.\n");

    // Only a small regular file is read as settings.
    const std::string fifo = dir_.File("fifo.tvs"), huge = dir_.File("huge.tvs");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(huge) << "[Settings]\nRetry=2\n" << std::string((1 << 20) + 1, ';');
    for (const std::string& notSettings : {fifo, huge, std::string("/dev/zero")}) {
        result = Run({"program", "--settings", notSettings, "--disk", image_, a_});
        EXPECT_EQ(result.exitCode, 1) << notSettings;
        EXPECT_EQ(result.err, "Load Settings Error!!\n") << notSettings;
    }
    EXPECT_EQ(ReadFileBytes(image_), before);
}

TEST_F(CliTest, SettingsCommandPrintsEveryKeyInFileOrder) {
    const std::string tvs = dir_.File("show.tvs");
    std::ofstream(tvs) << "[Settings]\nFile Name3=/x/y.bit\nFrequency=3\nHi-speed=1\n";
    CliResult result = Run({"settings", tvs});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "File Name1=\nFile Name2=\nFile Name3=/x/y.bit\nFile Name4=\nFile Name5=\nFile Name6=\n"
              "File Name7=\nFile Name8=\nParallel Mode=0\nLanguage=0\nAuto Verify=0\nQuick Erase=1\n"
              "Frequency=3\nHi-speed=1\nRetry=4\nDelay=0\n");

    std::ofstream(tvs) << "[Settings]\nFrequency=3\n";
    result = Run({"settings", tvs});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Load Settings Error!!\n");
    EXPECT_NE(result.out.find("Frequency=2\n"), std::string::npos);
}

TEST_F(CliTest, ListShowsRemovableDrivesAndTheirNumbersNameThem) {
    FakeDriveTree tree;
    const std::string node = tree.AddDisk("sdb", 8192, true);
    tree.AddDisk("sda", 8192, false);
    CliResult list = Run({"list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    const std::string number = list.out.substr(0, list.out.find('\t'));
    EXPECT_EQ(list.out, number + "\tDisk" + number + "\t" + node + "\t4.0 MiB\n");

    EXPECT_EQ(Run({"list", "--tsv"}).out, number + "\tDisk" + number + "\t" + node + "\t4194304\n");

    ASSERT_EQ(Run({"program", "--init", "--yes", "--disk", number, a_}).exitCode, 0);
    EXPECT_TRUE(HasTavrinSignature(ReadSectors(node, 0, 1).data()));
    list = Run({"list"});
    EXPECT_NE(list.out.find("Disk" + number + " [Tavrin]"), std::string::npos);
    EXPECT_EQ(Run({"info", "--disk", "7", a_}).exitCode, 1);
}

}  // namespace
