// SPDX-License-Identifier: Apache-2.0
// Preloaded into the command-line program by a test: every flush to storage fails as it does
// on a full or failing disk, while writes still land in the page cache.
#include <cerrno>

extern "C" {

int fsync(int) {
    errno = EIO;
    return -1;
}

int fdatasync(int) {
    errno = EIO;
    return -1;
}

}
