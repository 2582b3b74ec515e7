#pragma once

#include <string>

namespace vornak::cli {

// "" when path can be opened for reading; otherwise why not, with the OS error text.
std::string WhyUnreadable(const std::string& path);

}  // namespace vornak::cli
