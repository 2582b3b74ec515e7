#include "link/win32/hid_open_win32.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "link/win32/hid_backend_win32.h"
#include "link/win32/wide_text.h"

namespace vornak {
namespace {

TEST(OpenFailureForError, ReadsTheSystemErrors)
{
    const struct {
        DWORD code;
        OpenFailure kind;
    } cases[] = {
        {ERROR_ACCESS_DENIED, OpenFailure::AccessDenied},   {ERROR_FILE_NOT_FOUND, OpenFailure::NotFound},
        {ERROR_PATH_NOT_FOUND, OpenFailure::NotFound},      {ERROR_DEVICE_NOT_CONNECTED, OpenFailure::NotFound},
        {ERROR_SHARING_VIOLATION, OpenFailure::Other},      {ERROR_GEN_FAILURE, OpenFailure::Other},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OpenFailureForError(c.code), c.kind) << "error " << c.code;
}

TEST(HidBackendWin32Open, AMissingPathIsNotFoundAndNamesTheCall)
{
    HidBackendWin32 backend;
    const std::string path = "\\\\.\\pipe\\vornak-no-such-device";
    for (const OpenAccess access : {OpenAccess::Probe, OpenAccess::Write, OpenAccess::Read}) {
        OpenError error;
        EXPECT_FALSE(backend.OpenInterface(path, access, error));
        EXPECT_EQ(error.kind, OpenFailure::NotFound);
        EXPECT_NE(error.message.find("CreateFileW(" + path + ")"), std::string::npos) << error.message;
    }
}

// A folder cannot be opened as a file: the system answers "access denied",
// as it does for a device node the user may not open.
TEST(HidBackendWin32Open, ARefusedOpenIsAccessDenied)
{
    HidBackendWin32 backend;
    OpenError error;
    const std::string folder = Utf8FromWide(std::filesystem::temp_directory_path().wstring());
    EXPECT_FALSE(backend.OpenInterface(folder, OpenAccess::Probe, error));
    EXPECT_EQ(error.kind, OpenFailure::AccessDenied) << error.message;
}

}  // namespace
}  // namespace vornak
