// skybrant-cli: the commonest run, --batch with the options that shape its
// lines, starts here at once; every other run goes on in skybrant-cli-full,
// which takes Qt and several times longer to start.

#include "batch.h"
#include "callsign_stations.h"
#include "own_files.h"
#include "quick_batch.h"

#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

int main(int argc, char* argv[])
{
    using namespace skybrant::cli;
    const std::span<char* const> arguments(
        argv + (argc > 0 ? 1 : 0), static_cast<std::size_t>(argc > 0 ? argc - 1 : 0));
    if (auto quick = readQuickBatch(arguments)) {
        // The user's language for the system's words in messages, as Qt
        // sets it for every other run; no figure depends on it.
        std::setlocale(LC_ALL, "");
        Callsigns callsigns(quick->cty);
        quick->options.callsigns = &callsigns;
        return runBatchMode(quick->options);
    }
    const std::filesystem::path full = ownFile(kFullProgramFile, argc > 0 ? argv[0] : nullptr);
    if (full.empty()) {
        const std::string name(kFullProgramFile);
        std::fprintf(stderr,
            "skybrant-cli: ERROR: cannot find %s, which runs everything but the simplest --batch: it is installed "
            "beside skybrant-cli or in %s beside the folder skybrant-cli is in\n",
            name.c_str(), SKYBRANT_CLI_LIBRARY_DIR);
        return 1;
    }
    execv(full.c_str(), argv);
    const int error = errno;
    std::fprintf(stderr, "skybrant-cli: ERROR: cannot start %s: %s\n", full.c_str(), std::strerror(error));
    return 1;
}
