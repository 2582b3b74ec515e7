#include "image/firmware_file.h"

#include <algorithm>
#include <filesystem>

namespace vornak {

bool FirmwareFile::Open(const std::string& path)
{
    Close();
    const std::filesystem::path fsPath(std::u8string(path.begin(), path.end()));
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fsPath, ec))
        return false;
    stream_.open(fsPath, std::ios::binary | std::ios::in);
    if (!stream_.is_open())
        return false;
    stream_.seekg(0, std::ios::end);
    const auto end = stream_.tellg();
    if (end < 0) {
        Close();
        return false;
    }
    size_ = static_cast<uint64_t>(end);
    return true;
}

void FirmwareFile::Close()
{
    if (stream_.is_open())
        stream_.close();
    stream_.clear();
    size_ = 0;
}

size_t FirmwareFile::ReadAt(uint64_t offset, std::span<uint8_t> dst)
{
    if (!stream_.is_open() || offset >= size_ || dst.empty())
        return 0;
    const uint64_t available = std::min<uint64_t>(dst.size(), size_ - offset);
    stream_.clear();
    stream_.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
    stream_.read(reinterpret_cast<char*>(dst.data()), static_cast<std::streamsize>(available));
    const auto got = stream_.gcount();
    stream_.clear();
    return got > 0 ? static_cast<size_t>(got) : 0;
}

bool FirmwareFile::ReadFilled(uint64_t offset, std::span<uint8_t> dst)
{
    const uint64_t inFile = offset >= size_ ? 0 : std::min<uint64_t>(dst.size(), size_ - offset);
    const size_t got = ReadAt(offset, dst);
    if (got != inFile)
        return false;
    std::fill(dst.begin() + static_cast<std::ptrdiff_t>(got), dst.end(), uint8_t{0xFF});
    return true;
}

}  // namespace vornak
