// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <string>

namespace tavrin {

// The live operation settings; values before any settings file is read.
struct OperationSettings {
    int language = 0;  // 0 English, 1 Japanese
    int autoVerify = 0;
    int quickErase = 1;
};

// The live hardware settings; values before any settings file is read.
struct HardwareSettings {
    int frequency = 3;  // speed code 0..3; 3 only with hiSpeed
    int hiSpeed = 0;
    int retry = 0;      // 0..15
    int delay = 0;      // 0..255, units of 10 ms
};

// What the main window holds of the user's choices: the eight names and Parallel Mode.
struct WindowState {
    std::array<std::string, 8> fileName;
    int parallelMode = 0;
};

}  // namespace tavrin
