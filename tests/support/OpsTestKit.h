// SPDX-License-Identifier: Apache-2.0
#pragma once
// Card images, configuration files and bookkeeping devices and files for the operation tests.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "disk/DiskSectorRW.h"
#include "ops/Operations.h"
#include "ops/PosixInputFile.h"
#include "support/FaultInjectingDevice.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedHost.h"

namespace tavrin {

namespace opstest {

using Bytes = std::vector<uint8_t>;

class TempDir : public ScratchFolder {
public:
    std::string File(const std::string& name) const { return (Path() / name).string(); }
};

Bytes RandomBytes(size_t count, uint32_t seed);
void WriteFileBytes(const std::string& path, const Bytes& bytes);
Bytes ReadSectors(const std::string& image, uint64_t first, uint64_t count);
void WriteSectors(const std::string& image, uint64_t first, const Bytes& bytes);

// An all-zero card image of `sectors` sectors; with a partition, an MBR whose first entry is a
// FAT partition from `partitionStart` on, whose first sector holds a boot sector pattern.
void MakeCardImage(const std::string& path, uint64_t sectors, uint64_t partitionStart = 0);

// A .bit file: a vendor-style header, dummy words, the sync word and then `payload`.
// `reversed` writes the AA 99 55 66 order, whose bytes go to the card bit-reversed.
// Returns the configuration data (from the first FF on) as loading finds it.
Bytes WriteBitFile(const std::string& path, const Bytes& payload, bool reversed);

// Sets a file's modification time (local time).
void SetModified(const std::string& path, int year, int month, int day, int hour, int minute, int second);

uint8_t Mirror(uint8_t b);
// The four-lane and eight-lane interleave of whole lanes, written out the slow way.
Bytes FourLaneImage(const std::vector<Bytes>& lanes);
Bytes EightLaneImage(const std::vector<Bytes>& lanes);

// Counts the configuration files still open, so that tests see every way out closing them.
struct OpenCounts {
    int files = 0;
};
FileOpener CountingOpener(std::shared_ptr<OpenCounts> counts, FileOpener inner = OpenInputFile);

// An input file whose reads fail (or whose file ends early) after `goodBytes` bytes.
FileOpener FailingReadOpener(const std::string& path, uint64_t goodBytes, bool endEarly, FileOpener inner = OpenInputFile);

// A card image registered as a drive, with the context the frame would hold for it. Its
// devices go through a fault plan (nothing fails until a test says so), its files are counted.
struct CardUnderTest {
    std::string image;
    int drive = -1;
    std::shared_ptr<FaultPlan> plan = std::make_shared<FaultPlan>();
    std::shared_ptr<OpenCounts> counts = std::make_shared<OpenCounts>();
    OperationContext context;
    // A fresh plan for the devices from now on.
    void NewPlan() {
        plan = std::make_shared<FaultPlan>();
        context.makeDevice = MakeFaultInjectingFactory(CreateSectorDevice, plan);
    }
    // Nothing left open: no file, no device.
    bool AllClosed() const { return counts->files == 0 && plan->openDevices == 0 && plan->devicesAlive == 0; }
};
CardUnderTest MakeCard(const std::string& image, uint64_t sectors, uint64_t partitionStart = 0);

// A scripted host for image cards, which drive discovery does not list: rebuilding the disk
// list keeps the image selected.
ScriptedHost ImageHost();

}  // namespace opstest

}  // namespace tavrin
