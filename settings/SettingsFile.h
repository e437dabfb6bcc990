// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <string>
#include <utility>

#include "settings/SettingsRecords.h"

namespace tavrin {

class MessageBoxHost;

// The default settings file in the start-up directory; empty when the path would not fit in
// 259 bytes (the tool then runs without one).
std::string DefaultSettingsPath(const std::string& startupDirectory);

// The longest settings path, in bytes.
inline constexpr int kSettingsPathLimit = 259;

// Whether a settings path fits the 259 bytes that a recent entry or the default path holds.
bool SettingsPathFits(const std::string& path);

// Reads a settings file into the state and the records and replaces bad values; false when
// any was replaced, or when the path holds no regular file of at most 1 MiB (then nothing is
// changed). A missing file, or an empty path (no default settings file), loads every read
// default.
bool ReadSettings(const std::string& path, WindowState& state, OperationSettings& operation,
                  HardwareSettings& hardware);

// The one "Load Settings Error!!" of a bad load, in the language in force before it.
void ShowLoadSettingsError(MessageBoxHost& host, int loadLanguage);

// ReadSettings, then the message when the load was bad. Returns false when the load was bad.
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

}  // namespace tavrin
