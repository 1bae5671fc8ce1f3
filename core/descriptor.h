#pragma once

#include <unistd.h>

namespace skybrant {

// An open file descriptor, closed however the scope it belongs to ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) { }
    ~Descriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor(Descriptor&&) = delete;
    Descriptor& operator=(Descriptor&&) = delete;

    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace skybrant
