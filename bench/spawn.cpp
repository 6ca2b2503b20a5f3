#include "spawn.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "clock.h"

namespace kw39::bench {

namespace {

[[noreturn]] void ExecSelf(const std::vector<std::string>& args, int outputFd) {
    dup2(outputFd, STDOUT_FILENO);
    close(outputFd);
    std::vector<char*> argv;
    static char self[] = "kw39bench";
    argv.push_back(self);
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv("/proc/self/exe", argv.data());
    _exit(127);
}

}  // namespace

ChildOutcome RunSelf(const std::vector<std::string>& args, double timeoutSeconds) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("cannot create a pipe");
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("cannot start a child process");
    if (pid == 0) {
        close(fds[0]);
        ExecSelf(args, fds[1]);
    }
    close(fds[1]);

    ChildOutcome outcome;
    const double deadline = Now() + timeoutSeconds;
    char buffer[4096];
    for (;;) {
        const double left = deadline - Now();
        if (left <= 0) {
            outcome.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        pollfd watch{fds[0], POLLIN, 0};
        const int ready = poll(&watch, 1, static_cast<int>(std::min(left, 1.0) * 1000) + 1);
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        outcome.output.append(buffer, static_cast<std::size_t>(got));
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!outcome.timedOut && WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
    return outcome;
}

}  // namespace kw39::bench
