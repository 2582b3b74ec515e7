#include "cli/file_access.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace vornak::cli {

std::string WhyUnreadable(const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return "cannot open " + path + ": Is a directory";
    errno = 0;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return "cannot open " + path + ": " + std::strerror(errno);
    return {};
}

}  // namespace vornak::cli
