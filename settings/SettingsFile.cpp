// SPDX-License-Identifier: Apache-2.0
#include "settings/SettingsFile.h"

#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/ProfileStore.h"
#include "text/MessageBoxHost.h"
#include "text/Texts.h"

namespace tavrin {

namespace {

constexpr const char* kSection = "Settings";
constexpr const char* kDefaultFileName = "TAVRINDEFAULT.tvs";
constexpr size_t kMaxPath = kSettingsPathLimit;

constexpr const char* kFileNameKeys[8] = {"File Name1", "File Name2", "File Name3", "File Name4",
                                          "File Name5", "File Name6", "File Name7", "File Name8"};

// The numeric keys in file order with their read defaults.
enum NumberIndex { kParallelMode, kLanguage, kAutoVerify, kQuickErase, kFrequency, kHiSpeed, kRetry, kDelay };
struct NumberKey {
    const char* key;
    const char* defaultText;
};
constexpr NumberKey kNumberKeys[8] = {{"Parallel Mode", "0"}, {"Language", "0"}, {"Auto Verify", "0"},
                                      {"Quick Erase", "1"},   {"Frequency", "2"}, {"Hi-speed", "0"},
                                      {"Retry", "4"},         {"Delay", "0"}};

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Like the C library's strtol with a 32-bit long: leading space, optional sign, decimal
// digits up to the first other character, clamped on overflow; no number gives 0.
int ConvertNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) magnitude = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) return static_cast<int>(-magnitude);
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

bool OutOf(int value, int low, int high) {
    return value < low || value > high;
}

// A 0 counts only when the file really says "0"; empty text or words also convert to 0.
bool FalseZero(int value, const std::string& text) {
    return value == 0 && text != "0";
}

struct LoadedNumbers {
    std::string text[8];
    int value[8] = {};
};

// Replaces bad values in the fixed order; true when any was replaced.
bool ReplaceBadValues(const LoadedNumbers& n, WindowState& state, OperationSettings& operation,
                      HardwareSettings& hardware) {
    bool bad = false;
    auto set = [&bad](int& field, int replacement) {
        field = replacement;
        bad = true;
    };
    if (OutOf(state.parallelMode, 0, 1)) set(state.parallelMode, 0);
    if (OutOf(operation.language, 0, 1)) set(operation.language, 0);
    if (OutOf(operation.autoVerify, 0, 1)) set(operation.autoVerify, 0);
    if (FalseZero(operation.quickErase, n.text[kQuickErase]) || OutOf(operation.quickErase, 0, 1))
        set(operation.quickErase, 1);
    if (OutOf(hardware.hiSpeed, 0, 1)) set(hardware.hiSpeed, 0);
    if (FalseZero(hardware.frequency, n.text[kFrequency]) || OutOf(hardware.frequency, 0, 3))
        set(hardware.frequency, 2);
    if (hardware.hiSpeed == 0 && hardware.frequency == 3) set(hardware.frequency, 2);
    if (FalseZero(hardware.retry, n.text[kRetry]) || OutOf(hardware.retry, 0, 15)) set(hardware.retry, 4);
    if (OutOf(hardware.delay, 0, 255)) set(hardware.delay, 0);
    return bad;
}

}  // namespace

std::string DefaultSettingsPath(const std::string& startupDirectory) {
    if (startupDirectory.empty()) return {};
    std::string path = startupDirectory;
    if (path.back() != '/') path += '/';
    path += kDefaultFileName;
    return path.size() > kMaxPath ? std::string() : path;
}

bool SettingsPathFits(const std::string& path) {
    return path.size() <= kMaxPath;
}

bool ReadSettings(const std::string& path, WindowState& state, OperationSettings& operation,
                  HardwareSettings& hardware) {
    // Without a default file the values are those of a missing one, never the values the
    // records start with (which no file could give).
    ProfileSnapshot file = path.empty() ? ProfileSnapshot() : ProfileSnapshot::Read(path);
    // Too large, or no regular file: not settings, and nothing is taken from it.
    if (file.Unreadable()) return false;

    for (int i = 0; i < 8; ++i) {
        state.fileName[i] = file.GetString(kSection, kFileNameKeys[i], "", kProfileNameCapacity);
    }
    LoadedNumbers n;
    for (int i = 0; i < 8; ++i) {
        n.text[i] = file.GetString(kSection, kNumberKeys[i].key, kNumberKeys[i].defaultText, kProfileNumberCapacity);
        n.value[i] = ConvertNumber(n.text[i]);
    }
    state.parallelMode = n.value[kParallelMode];
    operation.language = n.value[kLanguage];
    operation.autoVerify = n.value[kAutoVerify];
    operation.quickErase = n.value[kQuickErase];
    hardware.frequency = n.value[kFrequency];
    hardware.hiSpeed = n.value[kHiSpeed];
    hardware.retry = n.value[kRetry];
    hardware.delay = n.value[kDelay];

    return !ReplaceBadValues(n, state, operation, hardware);
}

void ShowLoadSettingsError(MessageBoxHost& host, int loadLanguage) {
    host.ShowMessage(LocalText(loadLanguage, texts::kLoadSettingsError), MsgButtons::Ok, MsgIcon::Warning);
}

bool LoadSettings(const std::string& path, WindowState& state, OperationSettings& operation,
                  HardwareSettings& hardware, MessageBoxHost& host) {
    const int loadLanguage = operation.language;
    if (ReadSettings(path, state, operation, hardware)) return true;
    ShowLoadSettingsError(host, loadLanguage);
    return false;
}

std::array<std::pair<std::string, std::string>, 16> SettingsKeyValues(const WindowState& state,
                                                                       const OperationSettings& operation,
                                                                       const HardwareSettings& hardware) {
    std::array<std::pair<std::string, std::string>, 16> pairs;
    for (int i = 0; i < 8; ++i) pairs[i] = {kFileNameKeys[i], state.fileName[i]};
    const int numbers[8] = {state.parallelMode, operation.language, operation.autoVerify, operation.quickErase,
                            hardware.frequency, hardware.hiSpeed,   hardware.retry,       hardware.delay};
    for (int i = 0; i < 8; ++i) pairs[8 + i] = {kNumberKeys[i].key, std::to_string(numbers[i])};
    return pairs;
}

bool SaveSettings(const std::string& path, const WindowState& state, const OperationSettings& operation,
                  const HardwareSettings& hardware) {
    auto pairs = SettingsKeyValues(state, operation, hardware);
    return WriteProfileStrings(path, kSection, ProfileKeyValues(pairs.begin(), pairs.end()));
}

bool SettingsFileReadable(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st{};
    bool file = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
    ::close(fd);
    return file;
}

}  // namespace tavrin
