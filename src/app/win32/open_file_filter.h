#pragma once

#include <string>

namespace vornak {

// The dialog logic writes filters the MFC way, "label(*.dat)|*.dat||";
// GetOpenFileNameW wants the same pairs separated by NUL characters.
std::wstring OpenFileFilter(const std::string& filter);

}  // namespace vornak
