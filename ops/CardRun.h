// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <functional>

#include "card/CardLayout.h"
#include "ops/DeviceSession.h"
#include "ops/LoadedFiles.h"
#include "ops/Operations.h"
#include "settings/SettingsRecords.h"

// The name check and the "Please specify" messages that Program and Verify start with. Gives
// the slots in use (slot 1 only in parallel mode), or false after one message.
bool CheckUsedSlots(MessageBoxHost& host, const WindowState& state, int language, unsigned& slotMask);

// Opens the card and reads sector 0, or shows "Cannot open disk." / "Cannot read disk.".
bool OpenCardHeader(DeviceSession& device, int drive, MessageBoxHost& host, int language, SectorBytes& header);

// What Program and Verify share: the host, the inputs, the device and the loaded files of one
// run, and the walk through the data image.
class CardRun {
public:
    CardRun(OperationHost& host, OperationContext& context)
        : host_(host), context_(context), language_(context.operation.language), device_(context.makeDevice) {}

protected:
    const WindowState& State() const { return context_.state; }
    bool CheckSlots() { return CheckUsedSlots(host_, State(), language_, slotMask_); }
    bool LoadFiles() { return files_.Load(State().fileName, slotMask_, context_.openFile, language_, host_); }

    // Builds the image chunk by chunk and hands each to `use` with its card offset, showing the
    // progress of `button`. False after one message when a file fails or `use` does.
    using ChunkUse = std::function<bool(int64_t offset, const uint8_t* chunk)>;
    bool ForEachChunk(uint64_t start, uint64_t sectors, OpButton button, const ChunkUse& use);

    OperationHost& host_;
    OperationContext& context_;
    const int language_;
    DeviceSession device_;
    LoadedFiles files_;
    unsigned slotMask_ = 0;
};
