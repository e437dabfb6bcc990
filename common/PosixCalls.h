// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cerrno>
#include <cstddef>
#include <optional>
#include <string>

namespace tavrin {

// Repeats a system call that a signal interrupted before it did anything.
template <typename Call>
auto RetryInterrupted(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

enum class FileReadResult { Read, Missing, Failed };

// Reads a regular file of at most `limit` bytes completely, without waiting on a FIFO put at
// the path; Missing when nothing exists there, Failed (and no bytes) for anything else that is
// not such a file (a FIFO, a device, a folder, a larger file) or when a read fails.
FileReadResult ReadFileBytes(const std::string& path, std::string& bytes, size_t limit);

// The whole of a small text file (sysfs attributes, the mount table); nothing when it cannot
// be read whole.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace tavrin
