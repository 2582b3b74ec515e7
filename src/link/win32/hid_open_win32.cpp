#include "link/win32/hid_open_win32.h"

#include "link/win32/wide_text.h"
#include "link/win32/win32_error.h"

namespace vornak {
namespace {

struct OpenMode {
    DWORD access;
    DWORD flags;
};

// Probe: discovery's check that the interface can be used at all. Write:
// synchronous writes. Read: overlapped, so a read can wait with a time-out.
OpenMode ModeFor(OpenAccess access)
{
    switch (access) {
    case OpenAccess::Probe:
        return {GENERIC_READ | GENERIC_WRITE, FILE_FLAG_OVERLAPPED};
    case OpenAccess::Write:
        return {GENERIC_WRITE, 0};
    case OpenAccess::Read:
        break;
    }
    return {GENERIC_READ, FILE_FLAG_OVERLAPPED};
}

}  // namespace

OpenFailure OpenFailureForError(uint32_t code)
{
    switch (code) {
    case ERROR_ACCESS_DENIED:
        return OpenFailure::AccessDenied;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEVICE_NOT_CONNECTED:
        return OpenFailure::NotFound;
    default:
        return OpenFailure::Other;
    }
}

ScopedFileHandle OpenHidPath(const std::wstring& path, OpenAccess access, OpenError& error)
{
    const OpenMode mode = ModeFor(access);
    ScopedFileHandle handle(CreateFileW(path.c_str(), mode.access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, mode.flags, nullptr));
    if (!handle.IsValid()) {
        const DWORD code = GetLastError();
        error.kind = OpenFailureForError(code);
        error.message = Win32CallFailure("CreateFileW(" + Utf8FromWide(path) + ")", code);
    }
    return handle;
}

}  // namespace vornak
