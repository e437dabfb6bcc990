// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <ostream>
#include <string>

#include "settings/SettingsFile.h"
#include "settings_test_support.h"
#include "text/Texts.h"

using namespace tavrin;

namespace {

struct Loaded {
    WindowState state;
    OperationSettings operation;
    HardwareSettings hardware;
    RecordingHost host;
    bool good = false;

    void From(const std::string& path) { good = LoadSettings(path, state, operation, hardware, host); }
    // Parallel Mode, Language, Auto Verify, Quick Erase, Frequency, Hi-speed, Retry, Delay.
    std::array<int, 8> Numbers() const {
        return {state.parallelMode,  operation.language, operation.autoVerify, operation.quickErase,
                hardware.frequency, hardware.hiSpeed,   hardware.retry,       hardware.delay};
    }
};

class SettingsLoadTest : public ::testing::Test {
protected:
    Loaded& LoadText(const std::string& text) {
        std::string path = folder.File("load.tvs");
        WriteBytes(path, text);
        loaded.From(path);
        return loaded;
    }
    TempFolder folder;
    Loaded loaded;
};

struct ValueCase {
    const char* lines;  // the Settings section's body
    int (*field)(const Loaded&);
    int expected;
    bool message;
};

int Frequency(const Loaded& l) { return l.hardware.frequency; }
int Retry(const Loaded& l) { return l.hardware.retry; }
int Delay(const Loaded& l) { return l.hardware.delay; }
int HiSpeed(const Loaded& l) { return l.hardware.hiSpeed; }
int Parallel(const Loaded& l) { return l.state.parallelMode; }
int QuickErase(const Loaded& l) { return l.operation.quickErase; }
int Language(const Loaded& l) { return l.operation.language; }
int AutoVerify(const Loaded& l) { return l.operation.autoVerify; }

class SettingsLoadValueTest : public SettingsLoadTest, public ::testing::WithParamInterface<ValueCase> {};

// "Frequency=3\nHi-speed=1" shows as Frequency_3_Hi_speed_1 (and runs as 7_Frequency_3_Hi_speed_1),
// the same on every build.
std::string Readable(const ValueCase& c) {
    std::string name;
    for (const char* p = c.lines; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

void PrintTo(const ValueCase& c, std::ostream* out) { *out << Readable(c); }

std::string CaseName(const ::testing::TestParamInfo<ValueCase>& info) {
    return std::to_string(info.index) + "_" + Readable(info.param);
}

}  // namespace

TEST_P(SettingsLoadValueTest, ConvertsChecksAndReportsOnce) {
    const ValueCase& c = GetParam();
    LoadText(std::string("[Settings]\n") + c.lines + "\n");
    EXPECT_EQ(c.field(loaded), c.expected);
    EXPECT_EQ(loaded.host.shown.size(), c.message ? 1u : 0u);
    EXPECT_EQ(loaded.good, !c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsLoadValueTest,
    ::testing::Values(ValueCase{"Frequency=", Frequency, 2, true}, ValueCase{"Retry=1", Frequency, 2, false},
                      ValueCase{"Frequency=0", Frequency, 0, false}, ValueCase{"Frequency=1", Frequency, 1, false},
                      ValueCase{"Frequency=4", Frequency, 2, true}, ValueCase{"Frequency=zero", Frequency, 2, true},
                      ValueCase{"Frequency=3\nHi-speed=0", Frequency, 2, true},
                      ValueCase{"Frequency=3\nHi-speed=1", Frequency, 3, false},
                      ValueCase{"Frequency=3\nHi-speed=2", Frequency, 2, true},
                      ValueCase{"Hi-speed=2", HiSpeed, 0, true}, ValueCase{"Retry=00", Retry, 4, true},
                      ValueCase{"Retry=0", Retry, 0, false}, ValueCase{"Retry= \"0\" ", Retry, 0, false},
                      ValueCase{"Retry=-0", Retry, 4, true}, ValueCase{"Retry=16", Retry, 4, true},
                      ValueCase{"Retry=15", Retry, 15, false}, ValueCase{"Retry=7a", Retry, 7, false},
                      ValueCase{"Retry=+5", Retry, 5, false}, ValueCase{"Retry=abc", Retry, 4, true},
                      ValueCase{"Delay=abc", Delay, 0, false}, ValueCase{"Delay=256", Delay, 0, true},
                      ValueCase{"Delay=-1", Delay, 0, true}, ValueCase{"Delay=255", Delay, 255, false},
                      ValueCase{"Delay=99999999999999999999", Delay, 0, true},
                      // Only 29 bytes are read: the zeros, not the 255 behind them.
                      ValueCase{"Delay=000000000000000000000000000000255", Delay, 0, false},
                      ValueCase{"Parallel Mode=abc", Parallel, 0, false}, ValueCase{"Parallel Mode=2", Parallel, 0, true},
                      ValueCase{"Parallel Mode=1", Parallel, 1, false}, ValueCase{"Retry=1", QuickErase, 1, false},
                      ValueCase{"Quick Erase=0", QuickErase, 0, false}, ValueCase{"Quick Erase=yes", QuickErase, 1, true},
                      ValueCase{"Quick Erase=2", QuickErase, 1, true}, ValueCase{"Language=2", Language, 0, true},
                      ValueCase{"Language=word", Language, 0, false}, ValueCase{"Auto Verify=-1", AutoVerify, 0, true}),
    CaseName);

TEST_F(SettingsLoadTest, MissingFileLoadsEveryReadDefaultSilently) {
    loaded.state.fileName[3] = "/stale.bit";
    loaded.state.parallelMode = 1;
    loaded.operation = {1, 1, 0};
    loaded.hardware = {3, 1, 9, 99};
    loaded.From(folder.File("absent.tvs"));
    EXPECT_TRUE(loaded.good);
    EXPECT_TRUE(loaded.host.shown.empty());
    for (const std::string& name : loaded.state.fileName) EXPECT_EQ(name, "");
    EXPECT_EQ(loaded.Numbers(), (std::array<int, 8>{0, 0, 0, 1, 2, 0, 4, 0}));
}

TEST_F(SettingsLoadTest, NoDefaultFileLoadsTheReadDefaultsNotTheStartingValues) {
    loaded.From("");
    EXPECT_TRUE(loaded.good);
    EXPECT_EQ(loaded.Numbers(), (std::array<int, 8>{0, 0, 0, 1, 2, 0, 4, 0}));
}

TEST_F(SettingsLoadTest, ValidFileLoadsEveryKey) {
    loaded.From(Fixture("valid.tvs"));
    EXPECT_TRUE(loaded.good);
    EXPECT_TRUE(loaded.host.shown.empty());
    EXPECT_EQ(loaded.state.fileName[0], "/home/user/fpga/top.bit");
    EXPECT_EQ(loaded.state.fileName[1], "/home/user/fpga/second design.rbf");
    EXPECT_EQ(loaded.state.fileName[2], "");
    EXPECT_EQ(loaded.state.fileName[7], "/home/user/fpga/last.bin");
    EXPECT_EQ(loaded.Numbers(), (std::array<int, 8>{1, 1, 1, 0, 3, 1, 0, 255}));
}

TEST_F(SettingsLoadTest, OtherLetterCaseAndQuotedNamesAreRead) {
    loaded.From(Fixture("other_case_quoted.tvs"));
    EXPECT_TRUE(loaded.host.shown.empty());
    EXPECT_EQ(loaded.state.fileName[0], "/home/user/with spaces/a.bit");
    EXPECT_EQ(loaded.state.fileName[1], "/home/user/single/b.rbf");
    EXPECT_EQ(loaded.state.fileName[2], "\"/home/user/unbalanced.bit'");
    EXPECT_EQ(loaded.operation.language, 1);
    EXPECT_EQ(loaded.hardware.retry, 7);
    EXPECT_EQ(loaded.hardware.frequency, 3);
}

TEST_F(SettingsLoadTest, SeveralBadValuesGiveOneWarningAndKeepWhatWasAccepted) {
    loaded.From(Fixture("bad_values.tvs"));
    EXPECT_FALSE(loaded.good);
    ASSERT_EQ(loaded.host.shown.size(), 1u);
    EXPECT_EQ(loaded.host.shown[0].text, "Load Settings Error!!");
    EXPECT_EQ(loaded.host.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(loaded.host.shown[0].icon, MsgIcon::Warning);
    EXPECT_EQ(loaded.state.fileName[0], "/kept/despite/errors.bit");
    EXPECT_EQ(loaded.Numbers(), (std::array<int, 8>{0, 0, 0, 1, 2, 0, 4, 0}));
}

TEST_F(SettingsLoadTest, TheWarningSpeaksTheLanguageInForceBeforeTheLoad) {
    LoadText("[Settings]\nLanguage=1\nRetry=16\n");
    ASSERT_EQ(loaded.host.shown.size(), 1u);
    EXPECT_EQ(loaded.host.shown[0].text, texts::kLoadSettingsError.english);
    EXPECT_EQ(loaded.operation.language, 1);

    loaded.host.shown.clear();
    LoadText("[Settings]\nLanguage=0\nDelay=-1\n");
    ASSERT_EQ(loaded.host.shown.size(), 1u);
    EXPECT_EQ(loaded.host.shown[0].text, texts::kLoadSettingsError.japanese);
    EXPECT_EQ(loaded.operation.language, 0);
}

TEST_F(SettingsLoadTest, NamesAreCutAt259Bytes) {
    std::string name = "/" + std::string(270, 'a') + ".bit";
    LoadText("[Settings]\nFile Name5=" + name + "\n");
    EXPECT_EQ(loaded.state.fileName[4], name.substr(0, 259));
}
