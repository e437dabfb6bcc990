// SPDX-License-Identifier: Apache-2.0
// Preloaded into the command-line program by a test: the storage call that TAVRIN_FAIL names
// fails with EIO, as on a failing card, so that the program's whole device chain meets it.
//   fsync   every flush (fsync, fdatasync); writes still land in the page cache
//   pread   every positioned read       pwrite  every positioned write
//   open    every open for reading and writing (O_RDWR)
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

bool Fails(const char* call) {
    const char* chosen = std::getenv("TAVRIN_FAIL");
    return chosen && std::strcmp(chosen, call) == 0;
}

template <typename Function>
Function* Next(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

int Refused() {
    errno = EIO;
    return -1;
}

mode_t ModeOf(int flags, va_list args) { return (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0; }

}  // namespace

extern "C" {

int fsync(int fd) { return Fails("fsync") ? Refused() : Next<int(int)>("fsync")(fd); }
int fdatasync(int fd) { return Fails("fsync") ? Refused() : Next<int(int)>("fdatasync")(fd); }

ssize_t pread64(int fd, void* buffer, size_t count, off_t offset) {
    return Fails("pread") ? Refused() : Next<ssize_t(int, void*, size_t, off_t)>("pread64")(fd, buffer, count, offset);
}
ssize_t pread(int fd, void* buffer, size_t count, off_t offset) { return pread64(fd, buffer, count, offset); }

ssize_t pwrite64(int fd, const void* data, size_t count, off_t offset) {
    return Fails("pwrite") ? Refused()
                           : Next<ssize_t(int, const void*, size_t, off_t)>("pwrite64")(fd, data, count, offset);
}
ssize_t pwrite(int fd, const void* data, size_t count, off_t offset) { return pwrite64(fd, data, count, offset); }

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    if ((flags & O_ACCMODE) == O_RDWR && Fails("open")) return Refused();
    return Next<int(const char*, int, ...)>("open64")(path, flags, mode);
}
int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    return open64(path, flags, mode);
}
int openat64(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    if ((flags & O_ACCMODE) == O_RDWR && Fails("open")) return Refused();
    return Next<int(int, const char*, int, ...)>("openat64")(dir, path, flags, mode);
}
int openat(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    return openat64(dir, path, flags, mode);
}

}
