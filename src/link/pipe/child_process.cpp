#include "link/pipe/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

extern char** environ;

namespace vornak::pipe {
namespace {

std::string OsError(const std::string& call, int code)
{
    return call + ": " + std::system_category().message(code);
}

// posix_spawn's attribute and file-action objects, released on every path.
struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    SpawnSetup()
    {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

bool MakePipe(UniqueFd& readEnd, UniqueFd& writeEnd, std::string& error)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        error = OsError("pipe2", errno);
        return false;
    }
    readEnd = UniqueFd(fds[0]);
    writeEnd = UniqueFd(fds[1]);
    return true;
}

bool SetNonBlocking(int fd, std::string& error)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        error = OsError("fcntl(O_NONBLOCK)", errno);
        return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::string& command, uint32_t exitWaitMs,
                                                  std::string& error)
{
    UniqueFd childIn, toChild, fromChild, childOut;
    if (!MakePipe(childIn, toChild, error) || !MakePipe(fromChild, childOut, error))
        return nullptr;

    SpawnSetup setup;
    posix_spawn_file_actions_adddup2(&setup.actions, childIn.get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, childOut.get(), STDOUT_FILENO);
    // The flasher may ignore or block SIGPIPE; the child starts with the defaults.
    sigset_t defaults, mask;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigemptyset(&mask);
    posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
    posix_spawnattr_setsigmask(&setup.attributes, &mask);
    posix_spawnattr_setpgroup(&setup.attributes, 0);
    posix_spawnattr_setflags(&setup.attributes,
                             POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);

    std::string shell = "/bin/sh", dashC = "-c", line = command;
    char* argv[] = {shell.data(), dashC.data(), line.data(), nullptr};
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, "/bin/sh", &setup.actions, &setup.attributes, argv, environ);
    if (rc != 0) {
        error = OsError("posix_spawn /bin/sh", rc);
        return nullptr;
    }
    auto child = std::unique_ptr<ChildProcess>(
        new ChildProcess(pid, std::move(toChild), std::move(fromChild), exitWaitMs));
    if (!SetNonBlocking(child->stdinFd(), error) || !SetNonBlocking(child->stdoutFd(), error))
        return nullptr;
    return child;
}

ChildProcess::ChildProcess(pid_t pid, UniqueFd toChild, UniqueFd fromChild, uint32_t exitWaitMs)
    : pid_(pid), stdin_(std::move(toChild)), stdout_(std::move(fromChild)), exitWaitMs_(exitWaitMs)
{
}

ChildProcess::~ChildProcess()
{
    stdin_.Reset();
    if (WaitForExit(exitWaitMs_))
        return;
    // The group is still ours while its leader is unreaped.
    ::kill(-pid_, SIGKILL);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
}

bool ChildProcess::Exited()
{
    if (!reaped_ && ::waitpid(pid_, nullptr, WNOHANG) == pid_)
        reaped_ = true;
    return reaped_;
}

bool ChildProcess::WaitForExit(uint32_t ms)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!Exited()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace vornak::pipe
