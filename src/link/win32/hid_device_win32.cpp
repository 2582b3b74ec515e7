#include "link/win32/hid_device_win32.h"

#include <array>
#include <limits>

#include "link/win32/hid_report_framing.h"

namespace vornak {
namespace {

ReadResult Failed(DWORD code)
{
    // 0, 0x80 and 0x102 mean success, "not open" and "timed out" to the link.
    if (code == ERROR_SUCCESS || code == 0x80 || code == WAIT_TIMEOUT)
        code = ERROR_GEN_FAILURE;
    return {ReadOutcome::Failed, code};
}

}  // namespace

HidDeviceWin32::HidDeviceWin32(ScopedFileHandle handle, OpenAccess access)
    : handle_(std::move(handle)), access_(access)
{
}

bool HidDeviceWin32::WriteReport(std::span<const uint8_t> report)
{
    // Only the write handle is synchronous; WriteFile without an OVERLAPPED
    // record on an overlapped handle is not allowed.
    if (access_ != OpenAccess::Write || report.size() > std::numeric_limits<DWORD>::max())
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(handle_.Get(), report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    return ok != FALSE && written == report.size();
}

ReadResult HidDeviceWin32::ReadReport(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs)
{
    if (access_ == OpenAccess::Write)
        return Failed(ERROR_INVALID_FUNCTION);
    const ScopedEvent event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event.IsValid())
        return Failed(GetLastError());

    // The buffer and the record must outlive the read, also a cancelled one:
    // every path below waits for the read to complete before they go away.
    std::array<uint8_t, kInputReportSize> buffer{};
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.Get();
    if (!ReadFile(handle_.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, &overlapped)) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING)
            return Failed(error);  // refused at once, e.g. the device is gone
    }

    const DWORD wait = WaitForSingleObject(event.Get(), timeoutMs);
    const DWORD waitError = wait == WAIT_FAILED ? GetLastError() : ERROR_SUCCESS;
    if (wait != WAIT_OBJECT_0)
        CancelIo(handle_.Get());
    DWORD received = 0;
    if (!GetOverlappedResult(handle_.Get(), &overlapped, &received, TRUE)) {
        const DWORD error = GetLastError();
        if (wait == WAIT_TIMEOUT && error == ERROR_OPERATION_ABORTED)
            return {ReadOutcome::TimedOut, 0};
        return Failed(wait == WAIT_FAILED ? waitError : error);
    }
    // Also after a time-out the read may have completed just before CancelIo;
    // its report is delivered rather than lost.
    if (!PayloadFromInputReport(std::span<const uint8_t>(buffer.data(), received), payload))
        return Failed(ERROR_INVALID_DATA);
    return {ReadOutcome::Report, 0};
}

}  // namespace vornak
