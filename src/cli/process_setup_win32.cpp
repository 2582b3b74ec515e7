#include <io.h>
#include <windows.h>

#include <cstdio>

#include "cli/process_setup.h"

namespace vornak::cli {

// Windows has no SIGPIPE; its console needs to be told that the texts are UTF-8.
void PrepareProcess() { SetConsoleOutputCP(CP_UTF8); }

bool StdinIsTerminal() { return _isatty(_fileno(stdin)) != 0; }
bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace vornak::cli
