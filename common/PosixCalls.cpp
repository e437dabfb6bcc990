// SPDX-License-Identifier: Apache-2.0
#include "common/PosixCalls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

namespace tavrin {

namespace {

// Far above any mount table or sysfs attribute, far below what could fill memory.
constexpr size_t kSystemTextLimit = size_t{16} << 20;

}  // namespace

FileReadResult ReadFileBytes(const std::string& path, std::string& bytes, size_t limit) {
    bytes.clear();
    const int fd = RetryInterrupted([&] { return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); });
    if (fd < 0) return errno == ENOENT ? FileReadResult::Missing : FileReadResult::Failed;
    struct stat st{};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) <= limit;
    char buffer[8192];
    while (ok) {
        const ssize_t n = RetryInterrupted([&] { return ::read(fd, buffer, sizeof buffer); });
        if (n < 0) ok = false;
        if (n <= 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
        ok = bytes.size() <= limit;  // grown while being read
    }
    ::close(fd);
    if (!ok) bytes.clear();
    return ok ? FileReadResult::Read : FileReadResult::Failed;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::string text;
    if (ReadFileBytes(path, text, kSystemTextLimit) != FileReadResult::Read) return std::nullopt;
    return text;
}

}  // namespace tavrin
