// Writes skybrant-cli's man page at build time, from the texts --help shows.
//   skybrant-cli-man OUTPUT VERSION

#include "usage.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: skybrant-cli-man OUTPUT VERSION\n");
        return 2;
    }
    const std::string page = skybrant::cli::manPage(argv[2]);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << page;
    out.close();
    if (!out) {
        std::fprintf(stderr, "skybrant-cli-man: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
