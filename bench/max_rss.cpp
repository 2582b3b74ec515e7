// max_rss COMMAND [ARGS...]: runs the command and prints its peak resident
// set in KiB on stderr as "max_rss_kib N"; exits with the command's status.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: max_rss COMMAND [ARGS...]\n");
        return 2;
    }
    const pid_t child = fork();
    if (child < 0) {
        std::fprintf(stderr, "fork: %s\n", std::strerror(errno));
        return 2;
    }
    if (child == 0) {
        execvp(argv[1], argv + 1);
        std::fprintf(stderr, "exec %s: %s\n", argv[1], std::strerror(errno));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) < 0) {
        std::fprintf(stderr, "wait4: %s\n", std::strerror(errno));
        return 2;
    }
    std::fprintf(stderr, "max_rss_kib %ld\n", usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
