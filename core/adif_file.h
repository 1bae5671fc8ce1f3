#pragma once

#include "adif_reader.h"

#include <string>

namespace skybrant {

struct AdifFileRead {
    bool ok = false;
    std::string error;  // why the file could not be read, naming it
    AdifResume resume;  // where the next reading of the file carries on
    // The file is shorter than where the last reading ended (a new log in
    // its place): it was read from its start.
    bool restarted = false;
};

// Reads the log at path from where an earlier reading ended (from the start
// with {}), a block at a time, handing each QSO and each fault to sink.
// complete: the file is read to its end as it stands, and a record left
// open there is named; otherwise (a log still being written) the open
// record is left for the next reading.
AdifFileRead readAdifFile(const std::string& path, AdifResume from, AdifSink& sink, bool complete = true);

}  // namespace skybrant
