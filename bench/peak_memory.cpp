// kw39peak: runs a program and prints its peak resident memory, so that the
// memory of one run of kw39pcaconv on a crafted input can be stated.
//
//   kw39peak PROGRAM [ARGS...]   prints "peak_rss_kb N exit S" on standard output
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: kw39peak PROGRAM [ARGS...]\n", stderr);
        return 2;
    }
    const pid_t child = ::fork();
    if (child < 0) return 1;
    if (child == 0) {
        ::execvp(argv[1], argv + 1);
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    while (::wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) return 1;
    }
    const int exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("peak_rss_kb %ld exit %d\n", usage.ru_maxrss, exit);
    return 0;
}
