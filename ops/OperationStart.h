#pragma once
#include "card/CardLayout.h"
#include "ops/DeviceSession.h"
#include "ops/OperationHost.h"
#include "settings/SettingsRecords.h"

// The name check and the "Please specify" messages that Program and Verify start with. Gives
// the slots in use (slot 1 only in parallel mode), or false after one message.
bool CheckUsedSlots(MessageBoxHost& host, const WindowState& state, int language, unsigned& slotMask);

// Opens the card and reads sector 0, or shows "Cannot open disk." / "Cannot read disk.".
bool OpenCardHeader(DeviceSession& device, int drive, MessageBoxHost& host, int language, SectorBytes& header);
