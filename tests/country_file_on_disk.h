#pragma once

// A country file in a private temporary folder, there for as long as the
// object lives.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

namespace skybrant::testing {

class CountryFileOnDisk {
public:
    // name tells the folders of different tests apart.
    CountryFileOnDisk(std::string_view name, std::string_view contents)
        : folder_(std::filesystem::temp_directory_path() / (std::string(name) + "_" + std::to_string(getpid()))),
          path_((folder_ / "cty.dat").string())
    {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::ofstream(path_) << contents;
    }
    ~CountryFileOnDisk()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    CountryFileOnDisk(const CountryFileOnDisk&) = delete;
    CountryFileOnDisk& operator=(const CountryFileOnDisk&) = delete;

    const std::string& path() const { return path_; }

private:
    std::filesystem::path folder_;
    std::string path_;
};

}  // namespace skybrant::testing
