#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

#include "link/pipe/unique_fd.h"

namespace vornak::pipe {

// A command started through /bin/sh -c with its standard input and output on
// pipes; standard error is inherited. The child runs in a process group of
// its own so that ending it also ends whatever the shell started.
class ChildProcess {
public:
    // Null with the failing call and its OS error text in error.
    static std::unique_ptr<ChildProcess> Start(const std::string& command, uint32_t exitWaitMs,
                                               std::string& error);
    // Closes the child's standard input, waits at most exitWaitMs for it to
    // exit, then kills it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    int stdinFd() const { return stdin_.get(); }
    int stdoutFd() const { return stdout_.get(); }
    // True once the child has exited; reaps it.
    bool Exited();

private:
    ChildProcess(pid_t pid, UniqueFd toChild, UniqueFd fromChild, uint32_t exitWaitMs);
    bool WaitForExit(uint32_t ms);

    pid_t pid_;
    UniqueFd stdin_;
    UniqueFd stdout_;
    uint32_t exitWaitMs_;
    bool reaped_ = false;
};

}  // namespace vornak::pipe
