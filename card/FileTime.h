// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace tavrin {

// A file's last modification in local time. An unknown time is 0/0/0 -1:-1:-1.
struct FileTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = -1;
    int minute = -1;
    int second = -1;
};

}  // namespace tavrin
