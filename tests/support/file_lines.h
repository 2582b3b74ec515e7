#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace vornak::testing {

// The lines of a text file, without their line ends.
inline std::vector<std::string> FileLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace vornak::testing
