#include "program_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "support/test_support.h"

namespace kw39::test {

namespace {

// A terminal pair: the test types into the master, the program reads the slave.
class PseudoTerminal {
  public:
    PseudoTerminal() : m_master(::posix_openpt(O_RDWR | O_NOCTTY)) {
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
            throw std::runtime_error("no pseudo terminal");
        }
        m_strSlave = ::ptsname(m_master);
    }
    ~PseudoTerminal() { ::close(m_master); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& SlaveName() const { return m_strSlave; }
    void Type(const std::string& text) const {
        if (::write(m_master, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
            throw std::runtime_error("cannot type on the pseudo terminal");
        }
    }

  private:
    int m_master;
    std::string m_strSlave;
};

[[noreturn]] void RunChild(const std::vector<std::string>& args, const ProgramInput& input,
                           const std::string& stdinPath, const std::string& outPath,
                           const std::string& errPath) {
    if (!input.workingDirectory.empty() && ::chdir(input.workingDirectory.c_str()) != 0) _exit(120);
    const int in = ::open(stdinPath.c_str(), O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(121);
    if (::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) _exit(122);
    std::vector<char*> argv;
    static char program[] = KW39PCACONV_PATH;
    argv.push_back(program);
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(program, argv.data());
    _exit(123);
}

}  // namespace

ProgramResult RunKw39pcaconv(const std::vector<std::string>& args, const ProgramInput& input) {
    TempDir capture;
    const std::string outPath = capture.File("stdout");
    const std::string errPath = capture.File("stderr");
    std::optional<PseudoTerminal> terminal;
    if (input.terminal) terminal.emplace();
    const std::string stdinPath = terminal ? terminal->SlaveName() : "/dev/null";

    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) RunChild(args, input, stdinPath, outPath, errPath);
    if (terminal) terminal->Type(*input.terminal);

    int status = 0;
    if (::waitpid(child, &status, 0) != child) throw std::runtime_error("waitpid failed");
    ProgramResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadBytes(outPath);
    result.err = ReadBytes(errPath);
    return result;
}

}  // namespace kw39::test
