#pragma once
#include <optional>

#include "ops/OperationHost.h"
#include "settings/SettingsRecords.h"

// The name check and the "Please specify" messages that Program and Verify start with.
// Returns the slots in use (slot 1 only in parallel mode), or nothing after one message.
std::optional<unsigned> CheckUsedSlots(MessageBoxHost& host, const WindowState& state, int language);
