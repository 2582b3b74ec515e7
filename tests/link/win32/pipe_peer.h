#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "link/win32/scoped_win32.h"
#include "link/win32/wide_text.h"

namespace vornak::testing {

// The far end of a device handle: a message-mode named pipe that the backend
// opens by path like a HID interface. Reads and writes on it are the reports.
class PipePeer {
public:
    PipePeer()
    {
        static std::atomic<int> counter{0};
        path_ = "\\\\.\\pipe\\vornak-link-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        server_ = ScopedFileHandle(CreateNamedPipeW(WideFromUtf8(path_).c_str(), PIPE_ACCESS_DUPLEX,
                                                    PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1,
                                                    kBufferBytes, kBufferBytes, 0, nullptr));
    }

    const std::string& path() const { return path_; }
    bool IsValid() const { return server_.IsValid(); }

    // After the backend has opened path(): completes the connection.
    bool Accept()
    {
        return ConnectNamedPipe(server_.Get(), nullptr) != FALSE || GetLastError() == ERROR_PIPE_CONNECTED;
    }
    bool Send(const std::vector<uint8_t>& bytes)
    {
        DWORD written = 0;
        return WriteFile(server_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    }
    std::vector<uint8_t> Receive()
    {
        std::vector<uint8_t> bytes(kBufferBytes);
        DWORD read = 0;
        if (!ReadFile(server_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
            read = 0;
        bytes.resize(read);
        return bytes;
    }
    void Close() { server_.Reset(); }

private:
    static constexpr DWORD kBufferBytes = 4096;
    std::string path_;
    ScopedFileHandle server_;
};

}  // namespace vornak::testing
