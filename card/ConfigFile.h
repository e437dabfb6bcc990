// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <string>

#include "card/FileTime.h"
#include "card/InputFile.h"

namespace tavrin {

struct LoadedFile {
    uint32_t fileLength = 0;
    uint32_t dataStart = 0;
    uint32_t dataLength = 0;
    int bitOrder = 0;  // 1: every byte is bit-reversed on its way to the card
    FileTime modified;
};

// Finds where the configuration data begin and leaves the file positioned there.
bool LoadConfigurationFile(InputFile& file, const std::string& name, LoadedFile& loaded);

}  // namespace tavrin
