#pragma once

// Standard input and output of --batch as the system gives them: reads that
// return what has arrived, writes of whole blocks, and words for what went
// wrong.

#include <cstddef>
#include <string>

namespace skybrant::cli {

// Whether descriptor 0 or 1 was closed when the program started (`<&-`,
// `>&-`). Later the number may belong to a file the libraries opened.
bool closedAtStart(int fd);

// "standard input is closed" and the like, for an error number met on fd.
std::string streamErrorText(int fd, int error);

class BatchInput {
public:
    explicit BatchInput(int fd) : fd_(fd) { }

    int fd() const { return fd_; }

    // Whether a read would return at once (data, end of input or an error).
    bool ready() const;

    // Whether a read would return within the time given, in milliseconds.
    bool readyWithin(int milliseconds) const;

    // A pipe's buffer made to hold up to a megabyte where the system allows,
    // so a fast producer is not held up between our reads. Anything else
    // is left as it is.
    void enlargePipe() const;

    // Reads what has arrived, at most size bytes, waiting until something
    // has. Returns the count, 0 at the end of input, or -1 with error() set.
    long read(char* to, std::size_t size);

    int error() const { return error_; }

private:
    int fd_;
    int error_ = 0;
};

class BatchOutput {
public:
    explicit BatchOutput(int fd) : fd_(fd) { }

    int fd() const { return fd_; }

    // Writes all of it, waiting while the reader is behind; false once any
    // write has failed, and nothing more is written after that.
    bool write(const char* data, std::size_t size);

    bool failed() const { return error_ != 0; }
    int error() const { return error_; }
    void setError(int error) { error_ = error; }

private:
    int fd_;
    int error_ = 0;
};

}  // namespace skybrant::cli
