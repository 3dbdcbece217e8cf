#include "tests/pty_session.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utmp.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef ZORVANTY_BINARY
#error "ZORVANTY_BINARY must name the built game"
#endif

namespace zorvanty::e2e {

namespace {

using Clock = std::chrono::steady_clock;

const char* const gameBinary = ZORVANTY_BINARY;

// A game that ends while the test still writes to its pipe must not kill the test.
const bool pipeSignalIgnored = [] {
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}();

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

void writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

// In a freshly forked child, before exec: the game starts with every signal at its
// default, none blocked, except those the test wants ignored; and no core files.
void prepareChildSignals(const std::vector<int>& ignored)
{
    for (int number = 1; number < NSIG; ++number) {
        if (number == SIGKILL || number == SIGSTOP) continue;
        std::signal(number, SIG_DFL);
    }
    for (const int number : ignored) std::signal(number, SIG_IGN);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
}

[[noreturn]] void execGame()
{
    execl(gameBinary, gameBinary, static_cast<char*>(nullptr));
    _exit(127);
}

void redirectStdin(Stdin from, const char* path, int pipeReader)
{
    if (from == Stdin::File) {
        const int fd = open(path, O_RDONLY);
        if (fd < 0) _exit(126);
        dup2(fd, STDIN_FILENO);
        close(fd);
    } else if (from == Stdin::Pipe) {
        dup2(pipeReader, STDIN_FILENO);
        close(pipeReader);
    }
}

// The job-control shell: runs the game in a process group of its own that holds the
// terminal, reports its stops, continues it on request, and ends as the game ended.
[[noreturn]] void runShell(int tty, int report, int control, Stdin from, const char* path, int pipeReader,
                           const std::vector<int>& ignored)
{
    for (const int number : {SIGTTOU, SIGTTIN, SIGTSTP, SIGINT, SIGQUIT}) std::signal(number, SIG_IGN);
    const pid_t game = fork();
    if (game < 0) _exit(125);
    if (game == 0) {
        setpgid(0, 0);
        tcsetpgrp(tty, getpid());
        close(tty);
        close(report);
        close(control);
        redirectStdin(from, path, pipeReader);
        prepareChildSignals(ignored);
        execGame();
    }
    if (pipeReader >= 0) close(pipeReader);
    setpgid(game, game);
    tcsetpgrp(tty, game);
    char hello[1 + sizeof game];
    hello[0] = 'P';
    std::memcpy(hello + 1, &game, sizeof game);
    writeAll(report, std::string_view(hello, sizeof hello));
    for (;;) {
        int status = 0;
        if (waitpid(game, &status, WUNTRACED) < 0) {
            if (errno == EINTR) continue;
            _exit(124);
        }
        if (WIFSTOPPED(status)) {
            tcsetpgrp(tty, getpgrp());
            writeAll(report, "S");
            char command = 0;
            ssize_t got;
            do got = ::read(control, &command, 1);
            while (got < 0 && errno == EINTR);
            if (got != 1) {
                kill(game, SIGKILL);
                continue;
            }
            tcsetpgrp(tty, game);
            kill(-game, SIGCONT);
            continue;
        }
        if (WIFEXITED(status)) _exit(WEXITSTATUS(status));
        if (WIFSIGNALED(status)) {
            const int number = WTERMSIG(status);
            std::signal(number, SIG_DFL);
            sigset_t only;
            sigemptyset(&only);
            sigaddset(&only, number);
            sigprocmask(SIG_UNBLOCK, &only, nullptr);
            kill(getpid(), number);
            _exit(128 + number);
        }
    }
}

std::string makeTempFile(std::string_view contents)
{
    std::string path = ::testing::TempDir() + "zorvanty-stdin-XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd < 0) return {};
    writeAll(fd, contents);
    close(fd);
    return path;
}

std::string flagNames(const termios& mode)
{
    std::string names;
    auto add = [&](bool on, const char* name) {
        names += on ? " " : " -";
        names += name;
    };
    add(mode.c_lflag & ICANON, "icanon");
    add(mode.c_lflag & ECHO, "echo");
    add(mode.c_lflag & ISIG, "isig");
    add(mode.c_lflag & IEXTEN, "iexten");
    add(mode.c_iflag & ICRNL, "icrnl");
    add(mode.c_iflag & IXON, "ixon");
    add(mode.c_oflag & OPOST, "opost");
    return names;
}

}  // namespace

ExitStatus exitedWith(int code) { return ExitStatus{true, code, 0}; }
ExitStatus killedBy(int signal) { return ExitStatus{false, -1, signal}; }

ExitStatus decodeWaitStatus(int status)
{
    if (WIFEXITED(status)) return exitedWith(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return killedBy(WTERMSIG(status));
    return ExitStatus{};
}

void PrintTo(const ExitStatus& status, std::ostream* out)
{
    if (status.exited)
        *out << "exit status " << status.code;
    else if (status.signal != 0)
        *out << "killed by signal " << status.signal << " (" << strsignal(status.signal) << ")";
    else
        *out << "no status";
}

void PrintTo(Stdin from, std::ostream* out)
{
    *out << (from == Stdin::Terminal ? "standard input from the terminal"
             : from == Stdin::File  ? "standard input from a file"
                                    : "standard input from a pipe");
}

bool sameMode(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 && cfgetispeed(&a) == cfgetispeed(&b) &&
           cfgetospeed(&a) == cfgetospeed(&b);
}

std::string describeMode(const termios& mode)
{
    char flags[160];
    std::snprintf(flags, sizeof flags, "iflag=%#o oflag=%#o cflag=%#o lflag=%#o", mode.c_iflag, mode.c_oflag,
                  mode.c_cflag, mode.c_lflag);
    std::string text = flags + flagNames(mode) + " cc=";
    for (const cc_t c : mode.c_cc) {
        char one[8];
        std::snprintf(one, sizeof one, "%02x", static_cast<unsigned>(c));
        text += one;
    }
    return text;
}

std::string visible(std::string_view bytes)
{
    std::string out;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(c));
            out += hex;
        } else {
            out += ch;
        }
    }
    return out;
}

PtySession::PtySession(SessionOptions options) { start(options); }

void PtySession::start(const SessionOptions& options)
{
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 80;
    if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) {
        failure_ = std::string("openpty: ") + std::strerror(errno);
        return;
    }
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    tcgetattr(slave_, &initialMode_);

    if (options.stdinFrom == Stdin::File) {
        stdinPath_ = makeTempFile(options.stdinBytes);
        if (stdinPath_.empty()) {
            failure_ = "cannot write the standard input file";
            return;
        }
    }
    int stdinPipe[2] = {-1, -1};
    if (options.stdinFrom == Stdin::Pipe && pipe2(stdinPipe, O_CLOEXEC) != 0) {
        failure_ = "pipe for standard input";
        return;
    }
    int report[2] = {-1, -1};
    int control[2] = {-1, -1};
    if (options.jobControl && (pipe2(report, O_CLOEXEC) != 0 || pipe2(control, O_CLOEXEC) != 0)) {
        failure_ = "pipes for the shell";
        return;
    }

    const char* path = stdinPath_.c_str();
    const pid_t child = fork();
    if (child < 0) {
        failure_ = std::string("fork: ") + std::strerror(errno);
        return;
    }
    if (child == 0) {
        close(master_);
        if (stdinPipe[1] >= 0) close(stdinPipe[1]);
        // login_tty: a new session with the terminal as its controlling terminal and as
        // standard input, output and error.
        const int slave = dup(slave_);
        if (slave < 0 || login_tty(slave) != 0) _exit(123);
        // Keep the inherited dup from leaking into the game.
        const int pipeReader = stdinPipe[0] >= 0 ? fcntl(stdinPipe[0], F_DUPFD, 10) : -1;
        if (options.jobControl) {
            const int tty = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 10);
            runShell(tty, report[1], control[0], options.stdinFrom, path, pipeReader, options.ignoredSignals);
        }
        redirectStdin(options.stdinFrom, path, pipeReader);
        prepareChildSignals(options.ignoredSignals);
        execGame();
    }
    childPid_ = child;
    if (stdinPipe[0] >= 0) close(stdinPipe[0]);
    stdinWriter_ = stdinPipe[1];
    if (options.stdinFrom == Stdin::Pipe) {
        writeStdin(options.stdinBytes);
        if (options.closeStdinAtStart) closeStdin();
    }
    if (!options.jobControl) {
        gamePid_ = child;
        return;
    }
    close(report[1]);
    close(control[0]);
    shellReport_ = report[0];
    shellControl_ = control[1];
    char hello[1 + sizeof(pid_t)];
    std::size_t got = 0;
    const auto deadline = Clock::now() + defaultTimeout;
    while (got < sizeof hello) {
        pollfd ready{shellReport_, POLLIN, 0};
        if (poll(&ready, 1, remainingMs(deadline)) <= 0) break;
        const ssize_t n = ::read(shellReport_, hello + got, sizeof hello - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got == sizeof hello && hello[0] == 'P')
        std::memcpy(&gamePid_, hello + 1, sizeof gamePid_);
    else
        failure_ = "the shell did not start the game";
}

PtySession::~PtySession()
{
    killAll();
    for (const int fd : {master_, slave_, stdinWriter_, shellControl_, shellReport_})
        if (fd >= 0) close(fd);
    if (!stdinPath_.empty()) unlink(stdinPath_.c_str());
}

void PtySession::killAll()
{
    if (childPid_ <= 0 || exit_) return;
    if (gamePid_ > 0 && gamePid_ != childPid_) kill(gamePid_, SIGKILL);
    kill(childPid_, SIGKILL);
    int status = 0;
    while (waitpid(childPid_, &status, 0) < 0 && errno == EINTR) {
    }
    exit_ = decodeWaitStatus(status);
}

std::optional<termios> PtySession::modeNow() const
{
    termios mode{};
    if (master_ < 0 || tcgetattr(master_, &mode) != 0) return std::nullopt;
    return mode;
}

bool PtySession::readingKey() const
{
    const auto mode = modeNow();
    return mode && (mode->c_lflag & ICANON) == 0;
}

bool PtySession::readingLine() const
{
    const auto mode = modeNow();
    return mode && (mode->c_lflag & ICANON) != 0 && (mode->c_lflag & ECHO) != 0;
}

bool PtySession::quiet() const
{
    const auto mode = modeNow();
    return mode && (mode->c_lflag & ICANON) != 0 && (mode->c_lflag & ECHO) == 0;
}

std::string_view PtySession::unread() const
{
    return std::string_view(transcript_).substr(cursor_);
}

void PtySession::takeOutput(const char* bytes, std::size_t count)
{
    raw_.append(bytes, count);
    for (std::size_t i = 0; i < count; ++i) {
        const char c = bytes[i];
        if (pendingReturn_) {
            pendingReturn_ = false;
            if (c == '\n') {
                transcript_ += '\n';
                continue;
            }
            transcript_ += '\r';
        }
        if (c == '\r')
            pendingReturn_ = true;
        else
            transcript_ += c;
    }
}

void PtySession::pump(Millis wait)
{
    if (master_ < 0) return;
    pollfd ready{master_, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(wait.count())) <= 0) return;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n > 0) {
            takeOutput(chunk, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return;
    }
}

void PtySession::noteExit()
{
    if (exit_ || childPid_ <= 0) return;
    int status = 0;
    if (waitpid(childPid_, &status, WNOHANG) == childPid_) {
        exit_ = decodeWaitStatus(status);
        // What the game wrote last may still be on its way through the terminal.
        for (std::size_t before = raw_.size() + 1; before != raw_.size();) {
            before = raw_.size();
            pump(Millis{20});
        }
    }
}

bool PtySession::waitUntil(const std::function<bool()>& done, Millis timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        pump(Millis{0});
        if (done()) return true;
        // A game that has ended will bring nothing more: no use waiting for it.
        if (exit_ || Clock::now() >= deadline) return false;
        pump(Millis{std::min(5, remainingMs(deadline))});
        noteExit();
    }
}

::testing::AssertionResult PtySession::waitFor(std::string_view text, Millis timeout)
{
    std::size_t at = std::string_view::npos;
    if (waitUntil([&] { return (at = unread().find(text)) != std::string_view::npos; }, timeout)) {
        cursor_ += at + text.size();
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "no \"" << visible(text) << "\" in the output; after the cursor came \""
                                         << visible(unread()) << "\"";
}

::testing::AssertionResult PtySession::expect(std::string_view text, Millis timeout)
{
    auto agrees = [&] {
        const std::string_view have = unread().substr(0, text.size());
        return text.substr(0, have.size()) == have;
    };
    waitUntil([&] { return unread().size() >= text.size() || !agrees(); }, timeout);
    if (unread().substr(0, text.size()) == text) {
        cursor_ += text.size();
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "expected next \"" << visible(text) << "\"\n       but came \""
                                         << visible(unread().substr(0, text.size() + 40)) << "\"";
}

::testing::AssertionResult PtySession::waitForKeyRead(Millis timeout)
{
    if (waitUntil([&] { return readingKey(); }, timeout)) return ::testing::AssertionSuccess();
    const auto mode = modeNow();
    return ::testing::AssertionFailure() << "the game is not reading a key; mode" << (mode ? flagNames(*mode) : " ?")
                                         << "; output after the cursor: \"" << visible(unread()) << "\"";
}

::testing::AssertionResult PtySession::waitForLineRead(Millis timeout)
{
    if (waitUntil([&] { return readingLine(); }, timeout)) return ::testing::AssertionSuccess();
    const auto mode = modeNow();
    return ::testing::AssertionFailure() << "the game is not reading a line; mode" << (mode ? flagNames(*mode) : " ?")
                                         << "; output after the cursor: \"" << visible(unread()) << "\"";
}

void PtySession::send(std::string_view bytes)
{
    if (master_ >= 0) writeAll(master_, bytes);
}

::testing::AssertionResult PtySession::pressKey(std::string_view key)
{
    auto ready = waitForKeyRead();
    if (ready) send(key);
    return ready;
}

::testing::AssertionResult PtySession::typeLine(std::string_view line)
{
    auto ready = waitForLineRead();
    if (ready) {
        send(line);
        send("\r");
    }
    return ready;
}

void PtySession::writeStdin(std::string_view bytes)
{
    if (stdinWriter_ >= 0) writeAll(stdinWriter_, bytes);
}

void PtySession::closeStdin()
{
    if (stdinWriter_ >= 0) close(stdinWriter_);
    stdinWriter_ = -1;
}

void PtySession::signal(int number)
{
    if (gamePid_ > 0) kill(gamePid_, number);
}

void PtySession::hangUp()
{
    if (master_ >= 0) close(master_);
    master_ = -1;
    if (slave_ >= 0) close(slave_);
    slave_ = -1;
}

::testing::AssertionResult PtySession::waitForStop(Millis timeout)
{
    if (shellReport_ < 0) return ::testing::AssertionFailure() << "not under job control";
    char got = 0;
    const bool stopped = waitUntil(
        [&] {
            pollfd ready{shellReport_, POLLIN, 0};
            return poll(&ready, 1, 0) > 0 && ::read(shellReport_, &got, 1) == 1;
        },
        timeout);
    if (stopped && got == 'S') return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the game did not stop; output after the cursor: \"" << visible(unread())
                                         << "\"";
}

void PtySession::resume()
{
    if (shellControl_ >= 0) writeAll(shellControl_, "f");
}

std::optional<ExitStatus> PtySession::waitForExit(Millis timeout)
{
    waitUntil([&] { return exit_.has_value(); }, timeout);
    return exit_;
}

PlainRun runWithoutTerminal(Stdin from, std::string_view input, Millis timeout)
{
    PlainRun run;
    std::string path;
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    if (from == Stdin::File) path = makeTempFile(input);
    if (from == Stdin::Pipe && pipe2(in, O_CLOEXEC) != 0) return run;
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return run;
    const char* pathText = path.c_str();

    const pid_t child = fork();
    if (child < 0) return run;
    if (child == 0) {
        setsid();  // no controlling terminal from here on
        if (from == Stdin::File) {
            const int fd = open(pathText, O_RDONLY);
            if (fd < 0) _exit(126);
            dup2(fd, STDIN_FILENO);
            close(fd);
        } else if (from == Stdin::Pipe) {
            dup2(in[0], STDIN_FILENO);
        } else {
            const int fd = open("/dev/null", O_RDONLY);
            dup2(fd, STDIN_FILENO);
        }
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        prepareChildSignals({});
        execGame();
    }
    close(out[1]);
    close(err[1]);
    if (from == Stdin::Pipe) {
        close(in[0]);
        writeAll(in[1], input);
        close(in[1]);
    }

    const auto deadline = Clock::now() + timeout;
    int open = 2;
    pollfd streams[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* into[2] = {&run.out, &run.err};
    while (open > 0 && remainingMs(deadline) > 0) {
        if (poll(streams, 2, remainingMs(deadline)) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (streams[i].fd < 0 || streams[i].revents == 0) continue;
            char chunk[4096];
            const ssize_t n = ::read(streams[i].fd, chunk, sizeof chunk);
            if (n > 0) {
                into[i]->append(chunk, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(streams[i].fd);
                streams[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& stream : streams)
        if (stream.fd >= 0) close(stream.fd);

    int status = 0;
    for (;;) {
        const pid_t got = waitpid(child, &status, WNOHANG);
        if (got == child) {
            run.status = decodeWaitStatus(status);
            break;
        }
        if (remainingMs(deadline) == 0) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        usleep(2000);
    }
    if (!path.empty()) unlink(path.c_str());
    return run;
}

}  // namespace zorvanty::e2e
