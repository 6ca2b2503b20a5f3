#include "program_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "support/test_support.h"

extern char** environ;

namespace kw39::test {

namespace {

// posix_spawn file actions with their mandatory destroy.
class FileActions {
  public:
    FileActions() { posix_spawn_file_actions_init(&m_actions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&m_actions); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;

    void Open(int fd, const std::string& path, int flags) {
        posix_spawn_file_actions_addopen(&m_actions, fd, path.c_str(), flags, 0644);
    }
    const posix_spawn_file_actions_t* Get() const { return &m_actions; }

  private:
    posix_spawn_file_actions_t m_actions;
};

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& scratchDir) {
    const std::string outPath = scratchDir + "/program.stdout";
    const std::string errPath = scratchDir + "/program.stderr";

    FileActions actions;
    actions.Open(0, "/dev/null", O_RDONLY);
    actions.Open(1, outPath, O_WRONLY | O_CREAT | O_TRUNC);
    actions.Open(2, errPath, O_WRONLY | O_CREAT | O_TRUNC);

    std::vector<std::string> argvStrings{program};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvStrings) argv.push_back(arg.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int spawnError =
        posix_spawn(&pid, program.c_str(), actions.Get(), nullptr, argv.data(), environ);
    if (spawnError != 0) {
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(spawnError));
    }
    int waitStatus = 0;
    while (waitpid(pid, &waitStatus, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("waitpid failed for " + program);
    }

    ProgramResult result;
    result.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    result.out = ReadBytes(outPath);
    result.err = ReadBytes(errPath);
    return result;
}

std::optional<std::string> FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return std::nullopt;
    const std::string dirs = path;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string dir = dirs.substr(start, end - start);
        const std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

bool RequireTool(const std::string& name, const std::string& package) {
    if (FindOnPath(name)) return true;
    ADD_FAILURE() << name << " is not installed: apt-get install -y " << package;
    return false;
}

}  // namespace kw39::test
