// A file descriptor closed when its scope ends: the work-file module's own, for its line
// files and its replacements.
#pragma once

#include <unistd.h>

namespace wf {

// closes a descriptor when the scope ends
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    int release() {
        const int f = fd;
        fd = -1;
        return f;
    }
};

}  // namespace wf
