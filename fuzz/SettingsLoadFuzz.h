// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/FuzzFinding.h"
#include "settings/ProfileText.h"
#include "settings/SettingsFile.h"
#include "text/MessageBoxHost.h"

namespace tavrin {

// Any bytes as a .tvs file: the load never crashes, every value it leaves is in range, it
// reports a bad load with exactly one message, and what it loaded saves and loads back
// unchanged.
namespace settings_fuzz {

class CountingHost : public MessageBoxHost {
public:
    MsgAnswer ShowMessage(const std::string& text, MsgButtons, MsgIcon) override {
        ++count;
        last = text;
        return MsgAnswer::Ok;
    }
    int count = 0;
    std::string last;
};

struct Loaded {
    WindowState state;
    OperationSettings operation;
    HardwareSettings hardware;
    bool good = false;
    CountingHost host;

    bool operator==(const Loaded& o) const {
        return state.fileName == o.state.fileName && state.parallelMode == o.state.parallelMode &&
               operation.language == o.operation.language && operation.autoVerify == o.operation.autoVerify &&
               operation.quickErase == o.operation.quickErase && hardware.frequency == o.hardware.frequency &&
               hardware.hiSpeed == o.hardware.hiSpeed && hardware.retry == o.hardware.retry &&
               hardware.delay == o.hardware.delay;
    }
};

inline void Load(const std::string& path, Loaded& loaded) {
    loaded.good = LoadSettings(path, loaded.state, loaded.operation, loaded.hardware, loaded.host);
}

inline bool Within(int value, int low, int high) { return value >= low && value <= high; }

inline FuzzFinding CheckRanges(const Loaded& l) {
    if (!Within(l.state.parallelMode, 0, 1)) return "Parallel Mode out of range";
    if (!Within(l.operation.language, 0, 1)) return "Language out of range";
    if (!Within(l.operation.autoVerify, 0, 1)) return "Auto Verify out of range";
    if (!Within(l.operation.quickErase, 0, 1)) return "Quick Erase out of range";
    if (!Within(l.hardware.hiSpeed, 0, 1)) return "Hi-speed out of range";
    if (!Within(l.hardware.frequency, 0, l.hardware.hiSpeed ? 3 : 2)) return "Frequency out of range";
    if (!Within(l.hardware.retry, 0, 15)) return "Retry out of range";
    if (!Within(l.hardware.delay, 0, 255)) return "Delay out of range";
    for (const std::string& name : l.state.fileName)
        if (name.size() > 259) return "a file name longer than 259 bytes";
    return {};
}

inline FuzzFinding CheckReport(const Loaded& l) {
    if (l.good && l.host.count != 0) return "a good load showed a message";
    if (!l.good && l.host.count != 1) return "a bad load showed " + std::to_string(l.host.count) + " messages";
    if (!l.good && l.host.last != "Load Settings Error!!") return "unexpected message: " + l.host.last;
    return {};
}

// Names with surrounding blanks or quotes, or with bytes a line cannot hold, do not survive a
// save as they are; the round trip is checked only without them.
inline bool NamesSurviveSave(const WindowState& state) {
    for (const std::string& name : state.fileName)
        if (!ProfileTextWritable(name) || CleanProfileValue(name) != name) return false;
    return true;
}

inline bool WriteBytes(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;  // an empty input may come as null
    return std::fclose(f) == 0 && ok;
}

}  // namespace settings_fuzz

// `folder` is a scratch folder the check may fill.
inline FuzzFinding CheckSettingsLoad(const uint8_t* data, size_t size, const std::string& folder) {
    using namespace settings_fuzz;
    const std::string input = folder + "/input.tvs";
    const std::string saved = folder + "/saved.tvs";
    if (!WriteBytes(input, data, size)) return "cannot write the scratch file " + input;

    Loaded first;
    Load(input, first);
    if (FuzzFinding f = CheckRanges(first); !f.empty()) return f;
    if (FuzzFinding f = CheckReport(first); !f.empty()) return f;
    if (!NamesSurviveSave(first.state)) return {};

    std::remove(saved.c_str());
    if (!SaveSettings(saved, first.state, first.operation, first.hardware)) return "saving the loaded values failed";
    Loaded again;
    Load(saved, again);
    if (!again.good) return "the saved values load as bad";
    if (!(again == first)) return "the saved values load differently";
    return {};
}

}  // namespace tavrin
