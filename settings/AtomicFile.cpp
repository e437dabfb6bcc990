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

namespace tavrin {

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

std::string Folder(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Where a write to the path goes. A symbolic link is followed only when every link on the way
// and the file it reaches belong to the writing user, or all to root; a link planted in a
// shared folder (or one that leads nowhere) is replaced by the file instead, as
// fs.protected_symlinks would have it.
std::string WriteTarget(const std::string& path) {
    const uid_t me = ::geteuid();
    bool allMine = true, allRoot = true;
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st{};
        if (::lstat(current.c_str(), &st) != 0) return path;
        allMine = allMine && st.st_uid == me;
        allRoot = allRoot && st.st_uid == 0;
        if (!S_ISLNK(st.st_mode)) {
            char resolved[PATH_MAX];
            if (current == path || !(allMine || allRoot) || ::realpath(current.c_str(), resolved) == nullptr) {
                return path;
            }
            return resolved;
        }
        char link[PATH_MAX];
        ssize_t n = ::readlink(current.c_str(), link, sizeof link - 1);
        if (n <= 0) return path;
        std::string next(link, static_cast<size_t>(n));
        current = next.front() == '/' ? next : Folder(current) + next;
    }
    return path;
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

// The replacement keeps the old file's permissions and, where allowed, its owner; a link
// being replaced passes on nothing of where it pointed.
void CopyOwnership(int fd, const std::string& target) {
    struct stat st{};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
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

bool ReplacesLink(const std::string& path) {
    struct stat st{};
    return WriteTarget(path) == path && ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool ReplaceFileBytes(const std::string& path, const std::string& bytes) {
    if (path.empty()) return false;
    std::string target = WriteTarget(path);
    std::string folder = Folder(target);
    std::string base = target.substr(folder.size());
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

}  // namespace tavrin
