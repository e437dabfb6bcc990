// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "card/FileTime.h"

namespace tavrin {

// A configuration file opened for reading. An interface so that tests can make reads fail.
class InputFile {
public:
    virtual ~InputFile() = default;
    virtual bool Length(uint64_t& length) = 0;
    // Bytes read (fewer at the end of the file), or -1 on a read error.
    virtual long Read(void* buffer, size_t count) = 0;
    virtual bool Seek(uint64_t offset) = 0;
    // False when the modification time cannot be turned into local time.
    virtual bool ModifiedTime(FileTime& time) = 0;
};

using FileOpener = std::function<std::unique_ptr<InputFile>(const std::string& path)>;

}  // namespace tavrin
