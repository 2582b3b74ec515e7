#include "process_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace vornak::cli::testing {
namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The spawn's file actions, released with the object.
class FileActions {
public:
    FileActions() { posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    void Open(int fd, const std::string& path, int flags)
    {
        posix_spawn_file_actions_addopen(&actions_, fd, path.c_str(), flags, 0644);
    }
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

}  // namespace

std::string ProcessResult::LastLine() const
{
    std::string text = out;
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    const size_t start = text.rfind('\n');
    return start == std::string::npos ? text : text.substr(start + 1);
}

ProcessResult RunProgram(const std::vector<std::string>& argv, const std::string& folder)
{
    static int runs = 0;
    const std::string stem = folder + "/run" + std::to_string(++runs);
    FileActions actions;
    actions.Open(0, "/dev/null", O_RDONLY);
    actions.Open(1, stem + ".out", O_WRONLY | O_CREAT | O_TRUNC);
    actions.Open(2, stem + ".err", O_WRONLY | O_CREAT | O_TRUNC);

    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, args[0], actions.get(), nullptr, args.data(), environ);
    if (spawned != 0)
        throw std::runtime_error("posix_spawn " + argv[0] + ": " + std::strerror(spawned));
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ProcessResult result;
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadAll(stem + ".out");
    result.err = ReadAll(stem + ".err");
    return result;
}

}  // namespace vornak::cli::testing
