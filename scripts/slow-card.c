// SPDX-License-Identifier: Apache-2.0
// Preloaded by scripts/bench.sh to make a block device behave like a card behind a reader: every
// read, write and flush of the device costs SLOW_CARD_COMMAND_US microseconds plus its bytes at
// SLOW_CARD_BYTES_PER_S. Only file descriptors opened on SLOW_CARD_DEVICE are slowed, so the tool
// and dd pay alike and nothing else does.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#define MAX_FDS 1024

static char slowed[MAX_FDS];
static dev_t device;
static long commandUs;
static double bytesPerS;

__attribute__((constructor)) static void Setup(void) {
    struct stat info;
    const char* path = getenv("SLOW_CARD_DEVICE");
    if (path && stat(path, &info) == 0 && S_ISBLK(info.st_mode)) device = info.st_rdev;
    commandUs = atol(getenv("SLOW_CARD_COMMAND_US") ? getenv("SLOW_CARD_COMMAND_US") : "1000");
    bytesPerS = atof(getenv("SLOW_CARD_BYTES_PER_S") ? getenv("SLOW_CARD_BYTES_PER_S") : "20e6");
}

static void Mark(int fd) {
    struct stat info;
    if (fd >= 0 && fd < MAX_FDS) slowed[fd] = device && fstat(fd, &info) == 0 && S_ISBLK(info.st_mode) && info.st_rdev == device;
}

static void Pay(int fd, long bytes) {
    if (fd < 0 || fd >= MAX_FDS || !slowed[fd]) return;
    double us = (double)commandUs + (bytes > 0 ? bytes * 1e6 / bytesPerS : 0);
    struct timespec wait = {(time_t)(us / 1e6), (long)((us - (time_t)(us / 1e6) * 1e6) * 1000)};
    while (nanosleep(&wait, &wait) != 0) {}
}

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

#define OPEN_WRAPPER(name, ...)                                   \
    {                                                             \
        mode_t mode = 0;                                          \
        if (flags & (O_CREAT | O_TMPFILE)) {                      \
            va_list args;                                         \
            va_start(args, flags);                                \
            mode = va_arg(args, mode_t);                          \
            va_end(args);                                         \
        }                                                         \
        int fd = NEXT(name)(__VA_ARGS__, mode);                   \
        Mark(fd);                                                 \
        return fd;                                                \
    }

int open(const char* path, int flags, ...) OPEN_WRAPPER(open, path, flags)
int open64(const char* path, int flags, ...) OPEN_WRAPPER(open64, path, flags)
int openat(int dir, const char* path, int flags, ...) OPEN_WRAPPER(openat, dir, path, flags)
int openat64(int dir, const char* path, int flags, ...) OPEN_WRAPPER(openat64, dir, path, flags)

// dd opens its files and moves them to descriptors 0 and 1.
static int Copied(int from, int to) {
    if (to >= 0 && to < MAX_FDS) slowed[to] = from >= 0 && from < MAX_FDS && slowed[from];
    return to;
}

int dup(int fd) { return Copied(fd, NEXT(dup)(fd)); }
int dup2(int fd, int to) { return Copied(fd, NEXT(dup2)(fd, to)); }
int dup3(int fd, int to, int flags) { return Copied(fd, NEXT(dup3)(fd, to, flags)); }

int close(int fd) {
    if (fd >= 0 && fd < MAX_FDS) slowed[fd] = 0;
    return NEXT(close)(fd);
}

ssize_t read(int fd, void* buffer, size_t count) {
    ssize_t done = NEXT(read)(fd, buffer, count);
    Pay(fd, done);
    return done;
}

ssize_t write(int fd, const void* data, size_t count) {
    ssize_t done = NEXT(write)(fd, data, count);
    Pay(fd, done);
    return done;
}

ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    ssize_t done = NEXT(pread)(fd, buffer, count, offset);
    Pay(fd, done);
    return done;
}

ssize_t pwrite(int fd, const void* data, size_t count, off_t offset) {
    ssize_t done = NEXT(pwrite)(fd, data, count, offset);
    Pay(fd, done);
    return done;
}

ssize_t pread64(int fd, void* buffer, size_t count, off_t offset) {
    ssize_t done = NEXT(pread64)(fd, buffer, count, offset);
    Pay(fd, done);
    return done;
}

ssize_t pwrite64(int fd, const void* data, size_t count, off_t offset) {
    ssize_t done = NEXT(pwrite64)(fd, data, count, offset);
    Pay(fd, done);
    return done;
}

int fsync(int fd) {
    int result = NEXT(fsync)(fd);
    Pay(fd, 0);
    return result;
}

int fdatasync(int fd) {
    int result = NEXT(fdatasync)(fd);
    Pay(fd, 0);
    return result;
}
