#pragma once

#include <cstdint>
#include <fstream>
#include <span>
#include <string>

namespace vornak {

// The chosen firmware file, opened read-only; every read is positioned.
class FirmwareFile {
public:
    bool Open(const std::string& path);  // closes an earlier file first
    void Close();
    bool IsOpen() const { return stream_.is_open(); }
    uint64_t Size() const { return size_; }

    // Reads up to dst.size() bytes at offset; returns how many arrived (fewer at
    // the end of the file, 0 on a read error).
    size_t ReadAt(uint64_t offset, std::span<uint8_t> dst);

    // Reads dst.size() bytes at offset; bytes past the end of the file read as
    // 0xFF, like erased flash. False only on a read error inside the file.
    bool ReadFilled(uint64_t offset, std::span<uint8_t> dst);

private:
    std::ifstream stream_;
    uint64_t size_ = 0;
};

}  // namespace vornak
