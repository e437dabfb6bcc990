// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <string>
#include <utility>

#include "settings/SettingsRecords.h"

class MessageBoxHost;

// The default settings file in the start-up directory; empty when the path would not fit in
// 259 bytes (the tool then runs without one).
std::string DefaultSettingsPath(const std::string& startupDirectory);

// Reads a settings file into the state and the records, replaces bad values and, when any
// was replaced, shows one "Load Settings Error!!" in the language in force before the load.
// Returns false when the load was bad. A missing file loads every read default; an empty path
// (no default settings file) loads nothing.
bool LoadSettings(const std::string& path, WindowState& state, OperationSettings& operation,
                  HardwareSettings& hardware, MessageBoxHost& host);

// Writes the sixteen settings keys; the recent keys are left as they are. False when the file
// could not be written (the user is not told; the old file stays as it was).
bool SaveSettings(const std::string& path, const WindowState& state, const OperationSettings& operation,
                  const HardwareSettings& hardware);

// The settings keys in file order with the values as the records hold them.
std::array<std::pair<std::string, std::string>, 16> SettingsKeyValues(const WindowState& state,
                                                                       const OperationSettings& operation,
                                                                       const HardwareSettings& hardware);

// True when the path can be opened for reading and is not a folder (the "TVS File not found."
// test).
bool SettingsFileReadable(const std::string& path);
