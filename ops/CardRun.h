// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <functional>

#include "card/CardLayout.h"
#include "ops/ChunkSource.h"
#include "ops/DeviceSession.h"
#include "ops/LoadedFiles.h"
#include "ops/Operations.h"
#include "settings/SettingsRecords.h"

namespace tavrin {

// The name check and the "Please specify" messages that Program and Verify start with. Gives
// the slots in use (slot 1 only in parallel mode), or false after one message.
bool CheckUsedSlots(MessageBoxHost& host, const WindowState& state, int language, unsigned& slotMask);

// Opens the card (for writing when asked) and reads sector 0, or shows "Cannot open disk." /
// "Cannot read disk.".
bool OpenCardHeader(DeviceSession& device, int drive, OperationHost& host, int language, SectorBytes& header,
                    bool forWriting = false);

extern const char* const kNotWritable;

// The exclusive hold on the card for one run (the frame's when it holds one), or nothing after
// "Cannot open disk." with the reason as a detail.
std::shared_ptr<DriveClaim> ClaimCard(OperationHost& host, OperationContext& context, int drive, int language);
// Takes the card's hold for the whole operation without a word, when it can be had, unless
// `context` tried for `drive` already: what is read of the card from then on is read under it.
// When it cannot be had, the run's ClaimCard tries again and says why.
void HoldCardQuietly(OperationContext& context, int drive);
// "Cannot open disk." and why.
bool CannotOpenDisk(OperationHost& host, int language, const std::string& reason);
// "Cannot open disk." when the device refused: `what` went wrong, with the system's reason.
bool CannotOpenDisk(OperationHost& host, int language, const DeviceSession& device, const std::string& what = {});

// What Program and Verify share: the host, the inputs, the device and the loaded files of one
// run, and the walk through the data image.
class CardRun {
public:
    CardRun(OperationHost& host, OperationContext& context)
        : host_(host), context_(context), language_(context.operation.language), device_(context.makeDevice) {}
    CardRun(const CardRun&) = delete;
    CardRun& operator=(const CardRun&) = delete;

protected:
    const WindowState& State() const { return context_.state; }
    bool CheckSlots() { return CheckUsedSlots(host_, State(), language_, slotMask_); }
    bool Claim() {
        claim_ = ClaimCard(host_, context_, context_.card.Drive(), language_);
        return claim_ != nullptr;
    }
    bool LoadFiles() { return files_.Load(State().fileName, slotMask_, context_.openFile, language_, host_); }

    // The image goes to and comes from the device in batches of whole chunks, as large as the
    // drive takes best (TransferBytes).
    // One stretch of the image: its card offset, the index of its first chunk, its chunks.
    struct Batch {
        int64_t offset;
        uint64_t firstChunk;
        uint32_t chunks;
    };
    // Builds (Program) or checks (Verify) one batch in `buffer`, taking its chunks from
    // `source` in order and calling ChunkDone for each that got through.
    using BatchUse = std::function<bool(const Batch& batch, ChunkSource& source, uint8_t* buffer)>;
    // Walks the image of `sectors` sectors from `start` with the progress of `button`. False
    // after one message when a file fails or `use` does. The buffer keeps `leadBytes` free in
    // front of it, for what goes to the card just before the image.
    bool ForEachBatch(uint64_t start, uint64_t sectors, OpButton button, const BatchUse& use,
                      uint32_t leadBytes = 0);
    void ChunkDone(const Batch& batch, uint32_t index);
    // The next chunk, or false after the file's message.
    bool NextChunk(ChunkSource& source, uint8_t* chunk);
    bool FileFailed(const ChunkSource& source);

    OperationHost& host_;
    OperationContext& context_;
    const int language_;
    std::shared_ptr<DriveClaim> claim_;  // before the device: released after it closed
    DeviceSession device_;
    LoadedFiles files_;
    unsigned slotMask_ = 0;

private:
    OpButton walkButton_ = OpButton::Program;
    uint64_t walkSectors_ = 0;
};

}  // namespace tavrin
