#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/flasher_app.h"
#include "sim/virtual_clock.h"
#include "texts/texts.h"

namespace vornak::cli::testing {

// One run of the flasher in process, on string streams and a virtual clock,
// so an update with its 2000 ms pause costs no real time.
struct FlasherRun {
    int code = -1;
    std::string out;
    std::string err;

    // The last line of standard output, without its line feed.
    std::string LastLine() const
    {
        std::string text = out;
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        const size_t start = text.rfind('\n');
        return start == std::string::npos ? text : text.substr(start + 1);
    }
    bool ErrHas(const std::string& part) const { return err.find(part) != std::string::npos; }
};

inline FlasherRun RunInProcess(std::vector<std::string> args, const std::string& input = {},
                               bool inIsTerminal = false)
{
    args.insert(args.begin(), "vornak-flash");
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    std::istringstream in(input);
    std::ostringstream out, err;
    sim::VirtualClock clock;
    const FlasherEnvironment environment{Terminal{in, out, err, inIsTerminal, false}, clock,
                                         [] { return kLanguageEnglishUs; }};
    FlasherRun run;
    run.code = RunFlasher(static_cast<int>(argv.size()), argv.data(), environment);
    run.out = out.str();
    run.err = err.str();
    return run;
}

}  // namespace vornak::cli::testing
