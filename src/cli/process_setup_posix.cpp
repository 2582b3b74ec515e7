#include <csignal>

#include <unistd.h>

#include "cli/process_setup.h"

namespace vornak::cli {

// A write to a vanished device must fail with EPIPE, not end the process.
void PrepareProcess() { std::signal(SIGPIPE, SIG_IGN); }

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }
bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace vornak::cli
