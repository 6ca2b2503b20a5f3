#include "program_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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
    // Everything the other side wrote, until it has closed the terminal.
    std::string ReadToEnd() const {
        std::string text;
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(m_master, buffer, sizeof buffer);
            if (got > 0) {
                text.append(buffer, static_cast<std::size_t>(got));
            } else if (got < 0 && errno == EINTR) {
                continue;
            } else {
                return text;  // EIO once the program has ended
            }
        }
    }
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
                           const std::string& errPath, bool errIsTerminal) {
    if (!input.workingDirectory.empty() && ::chdir(input.workingDirectory.c_str()) != 0) _exit(120);
    const int in = ::open(stdinPath.c_str(), O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = errIsTerminal ? ::open(errPath.c_str(), O_WRONLY | O_NOCTTY)
                                  : ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
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
    std::optional<PseudoTerminal> errTerminal;
    if (input.stderrTerminal) errTerminal.emplace();

    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        RunChild(args, input, stdinPath, outPath, errTerminal ? errTerminal->SlaveName() : errPath,
                 errTerminal.has_value());
    }
    if (terminal) terminal->Type(*input.terminal);

    ProgramResult result;
    // Read while the program runs, so that it never waits for the terminal.
    if (errTerminal) result.err = errTerminal->ReadToEnd();
    int status = 0;
    if (::waitpid(child, &status, 0) != child) throw std::runtime_error("waitpid failed");
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (terminal) result.terminal = terminal->ReadToEnd();
    result.out = ReadBytes(outPath);
    if (!errTerminal) result.err = ReadBytes(errPath);
    return result;
}

}  // namespace kw39::test
