#pragma once
// The end of a long run of skybrant-cli asked for from the terminal.

namespace skybrant::cli {

// SIGINT and SIGTERM made readable on a descriptor, so that a wait for
// datagrams ends at once when the run is to end; the earlier handlers come
// back when this ends.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    // Readable once a stop signal came.
    static int fd();
};

}  // namespace skybrant::cli
