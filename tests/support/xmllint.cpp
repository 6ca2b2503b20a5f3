#include "support/xmllint.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace kw39::test {

namespace {

// A file of its own under the temporary folder, removed by the destructor.
class ScratchFile {
  public:
    ScratchFile() {
        m_strPath = (std::filesystem::temp_directory_path() / "kw39xmllint-XXXXXX").string();
        const int fd = mkstemp(m_strPath.data());
        if (fd < 0) throw std::runtime_error("mkstemp failed");
        ::close(fd);
    }
    ~ScratchFile() { ::unlink(m_strPath.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Path() const { return m_strPath; }
    std::string Read() const {
        std::ifstream in(m_strPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

  private:
    std::string m_strPath;
};

}  // namespace

std::optional<std::string> XmllintComplaints(const std::vector<std::string>& paths) {
    const ScratchFile said;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, said.Path().c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<std::string> args = {"xmllint", "--noout"};
    args.insert(args.end(), paths.begin(), paths.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, "xmllint", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error == ENOENT) return std::nullopt;
    if (error != 0) throw std::runtime_error("cannot start xmllint");
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("waitpid failed for xmllint");
    }
    const std::string complaints = said.Read();
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && complaints.empty()) return "";
    return complaints.empty() ? std::string("xmllint failed") : complaints;
}

std::optional<std::string> XmllintComplaintsAbout(std::string_view document) {
    const ScratchFile file;
    std::ofstream(file.Path(), std::ios::binary)
        .write(document.data(), static_cast<std::streamsize>(document.size()));
    return XmllintComplaints({file.Path()});
}

}  // namespace kw39::test
