#pragma once

namespace vornak::cli {

// Once at start: a device process that goes away must not kill the flasher
// with SIGPIPE; the console shows UTF-8 where the platform needs telling.
void PrepareProcess();

bool StdinIsTerminal();
bool StderrIsTerminal();

}  // namespace vornak::cli
