#pragma once

#include <cstdint>
#include <string>

#include "link/hid_backend.h"
#include "link/win32/scoped_win32.h"

namespace vornak {

// Opens a device interface path in one of the three ways the link uses;
// an invalid handle with the reason in error on failure.
ScopedFileHandle OpenHidPath(const std::wstring& path, OpenAccess access, OpenError& error);

// The link's reading of a CreateFileW failure.
OpenFailure OpenFailureForError(uint32_t code);

}  // namespace vornak
