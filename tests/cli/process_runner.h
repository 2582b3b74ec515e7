#pragma once

#include <string>
#include <vector>

namespace vornak::cli::testing {

struct ProcessResult {
    int code = -1;  // the exit status; 128 + the signal for a process killed by one
    std::string out;
    std::string err;

    std::string LastLine() const;
    bool ErrHas(const std::string& part) const { return err.find(part) != std::string::npos; }
};

// Runs argv[0] with the rest as arguments, standard input from /dev/null and
// its output caught in files under folder; waits for it to end.
ProcessResult RunProgram(const std::vector<std::string>& argv, const std::string& folder);

}  // namespace vornak::cli::testing
