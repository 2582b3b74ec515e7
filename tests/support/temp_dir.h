#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace vornak::testing {

// A fresh folder under the system's temp folder, removed with its contents.
class TempDir {
public:
    TempDir()
    {
        static int counter = 0;
        static const unsigned run = std::random_device{}();
        path_ = std::filesystem::temp_directory_path() /
                ("vornak-test-" + std::to_string(run) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace vornak::testing
