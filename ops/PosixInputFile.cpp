// SPDX-License-Identifier: Apache-2.0
#include "ops/PosixInputFile.h"

#include <cerrno>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/PosixCalls.h"

namespace tavrin {

namespace {

class PosixInputFile final : public InputFile {
public:
    explicit PosixInputFile(int fd) : fd_(fd) {}
    ~PosixInputFile() override { ::close(fd_); }
    PosixInputFile(const PosixInputFile&) = delete;
    PosixInputFile& operator=(const PosixInputFile&) = delete;

    bool Length(uint64_t& length) override {
        struct stat info {};
        if (::fstat(fd_, &info) != 0 || info.st_size < 0) return false;
        length = static_cast<uint64_t>(info.st_size);
        return true;
    }

    long Read(void* buffer, size_t count) override {
        if (count > static_cast<size_t>(LONG_MAX)) count = static_cast<size_t>(LONG_MAX);
        auto* out = static_cast<char*>(buffer);
        size_t done = 0;
        while (done < count) {
            const ssize_t got = RetryInterrupted([&] { return ::read(fd_, out + done, count - done); });
            if (got < 0) return -1;
            if (got == 0) break;
            done += static_cast<size_t>(got);
        }
        return static_cast<long>(done);
    }

    bool Seek(uint64_t offset) override {
        if (offset > static_cast<uint64_t>(LLONG_MAX)) return false;
        return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
    }

    bool ModifiedTime(FileTime& time) override {
        time = FileTime{};
        struct stat info {};
        if (::fstat(fd_, &info) != 0) return false;
        std::tm local{};
        time_t seconds = info.st_mtime;
        if (::localtime_r(&seconds, &local) == nullptr) return false;
        time.year = local.tm_year + 1900;
        time.month = local.tm_mon + 1;
        time.day = local.tm_mday;
        time.hour = local.tm_hour;
        time.minute = local.tm_min;
        time.second = local.tm_sec;
        return true;
    }

private:
    int fd_;
};

}  // namespace

std::unique_ptr<InputFile> OpenInputFile(const std::string& path) {
    // O_NONBLOCK keeps a FIFO from stalling the open; only regular files are configuration files.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return std::make_unique<PosixInputFile>(fd);
}

}  // namespace tavrin
