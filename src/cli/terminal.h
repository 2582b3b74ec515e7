#pragma once

#include <iosfwd>

namespace vornak::cli {

// The process's standard streams, and whether the two that matter are terminals.
struct Terminal {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool inIsTerminal = false;
    bool errIsTerminal = false;
};

}  // namespace vornak::cli
