// SPDX-License-Identifier: Apache-2.0
#include "settings/AtomicFile.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/PosixCalls.h"

namespace {

FileFailureHook& FailureHook() {
    static FileFailureHook hook;
    return hook;
}

bool Injected(FileWriteStep step) {
    return FailureHook() && FailureHook()(step);
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = RetryInterrupted([&] { return ::write(fd, data, size); });
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Writing through a link would otherwise replace the link by a plain file.
std::string ResolveLink(const std::string& path) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

struct TempFile {
    std::string path;
    int fd = -1;
};

bool CreateTemp(const std::string& folder, const std::string& base, TempFile& temp) {
    if (Injected(FileWriteStep::CreateTemporary)) return false;
    static unsigned counter = 0;
    // Keeps the temporary name within the 255-byte name limit of the folder.
    std::string prefix = folder + "." + base.substr(0, 200) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned long long stamp = static_cast<unsigned long long>(
            std::chrono::steady_clock::now().time_since_epoch().count());
        char suffix[40];
        std::snprintf(suffix, sizeof suffix, "%x%x%llx", static_cast<unsigned>(::getpid()), ++counter,
                      stamp & 0xFFFFFu);
        temp.path = prefix + suffix;
        temp.fd = ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (temp.fd >= 0) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

// The replacement keeps the old file's permissions and, where allowed, its owner.
void CopyOwnership(int fd, const std::string& target) {
    struct stat st{};
    if (::stat(target.c_str(), &st) != 0) return;
    ::fchmod(fd, st.st_mode & 07777);
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
        // Not permitted for an ordinary user: the file then belongs to the writer.
    }
}

bool FillTemp(const TempFile& temp, const std::string& bytes) {
    if (Injected(FileWriteStep::WriteTemporary)) {
        WriteAll(temp.fd, bytes.data(), bytes.size() / 2);
        return false;
    }
    return WriteAll(temp.fd, bytes.data(), bytes.size()) && ::fsync(temp.fd) == 0;
}

void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

void SetFileFailureHook(FileFailureHook hook) {
    FailureHook() = std::move(hook);
}

FileReadResult ReadFileBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Non-blocking so that a FIFO at the path cannot hang the tool.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? FileReadResult::Missing : FileReadResult::Failed;
    struct stat st{};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    char buffer[8192];
    while (ok) {
        const ssize_t n = RetryInterrupted([&] { return ::read(fd, buffer, sizeof buffer); });
        if (n < 0) ok = false;
        if (n <= 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (!ok) bytes.clear();
    return ok ? FileReadResult::Read : FileReadResult::Failed;
}

bool ReplaceFileBytes(const std::string& path, const std::string& bytes) {
    if (path.empty()) return false;
    std::string target = ResolveLink(path);
    size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) return false;

    TempFile temp;
    if (!CreateTemp(folder, base, temp)) return false;
    CopyOwnership(temp.fd, target);
    bool filled = FillTemp(temp, bytes);
    bool closed = ::close(temp.fd) == 0;
    bool renamed = filled && closed && !Injected(FileWriteStep::Rename) &&
                   ::rename(temp.path.c_str(), target.c_str()) == 0;
    if (!renamed) {
        ::unlink(temp.path.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}
