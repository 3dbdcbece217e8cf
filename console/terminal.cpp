#include "console/terminal.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "console/keys.h"

namespace zorvanty {

namespace {

// ---- the terminal's modes, process-wide, reachable from the signal handlers ----

struct TerminalModes {
    int fd = -1;               // the controlling terminal, or -1 when there is none
    termios original{};        // as we found it; what every exit path puts back
    termios quiet{};           // between reads: as found, but without echo
    termios keys{};            // while reading one key: raw, no echo, no signals
    const termios* volatile current = nullptr;
};

TerminalModes modes;

void applyMode(const termios& mode)
{
    modes.current = &mode;
    while (tcsetattr(modes.fd, TCSANOW, &mode) != 0 && errno == EINTR) {
    }
}

bool inForeground()
{
    return tcgetpgrp(modes.fd) == getpgrp();
}

// Only while the game holds the terminal: in the background the shell owns it (and its
// mode), and setting the mode from there would stop the game with SIGTTOU, even inside a
// signal handler on its way out.
void restoreOriginalMode()
{
    if (modes.fd >= 0 && inForeground()) tcsetattr(modes.fd, TCSANOW, &modes.original);
}

extern "C" void onDeadlySignal(int signal)
{
    const int savedErrno = errno;
    restoreOriginalMode();
    std::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
    errno = savedErrno;
}

extern "C" void onContinue(int)
{
    const int savedErrno = errno;
    if (modes.current != nullptr && inForeground()) tcsetattr(modes.fd, TCSANOW, modes.current);
    errno = savedErrno;
}

void installHandler(int signal, void (*handler)(int));

extern "C" void onStop(int)
{
    // Hand the terminal back to the shell, stop for real, and take it again on `fg`.
    const int savedErrno = errno;
    restoreOriginalMode();
    std::signal(SIGTSTP, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(SIGTSTP);
    installHandler(SIGTSTP, onStop);
    onContinue(SIGCONT);
    errno = savedErrno;
}

// A signal the caller ignores stays ignored (nohup, a background job of a shell without
// job control): the game then must not die of it either.
void installHandler(int signal, void (*handler)(int))
{
    struct sigaction previous{};
    if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) return;
    struct sigaction action{};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: an interrupted read comes back and retries
    sigaction(signal, &action, nullptr);
}

void openControllingTerminal()
{
    modes.fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (modes.fd < 0) return;
    if (tcgetattr(modes.fd, &modes.original) != 0) {
        close(modes.fd);
        modes.fd = -1;
        return;
    }
    modes.quiet = modes.original;
    modes.quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
    modes.keys = modes.quiet;
    modes.keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ISIG | IEXTEN);
    modes.keys.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR | ISTRIP);
    modes.keys.c_cc[VMIN] = 1;
    modes.keys.c_cc[VTIME] = 0;

    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) installHandler(signal, onDeadlySignal);
    installHandler(SIGTSTP, onStop);
    installHandler(SIGCONT, onContinue);
    std::atexit(restoreOriginalMode);
    applyMode(modes.quiet);
}

[[noreturn]] void giveUp(const char* message)
{
    restoreOriginalMode();
    ssize_t ignored = ::write(STDERR_FILENO, message, std::strlen(message));
    (void)ignored;
    std::exit(1);
}

constexpr const char* noMoreKeys = "zorvanty: brak klawiatury, nie ma skad czytac klawiszy.\n";
constexpr const char* noMoreLines = "zorvanty: koniec danych wejsciowych.\n";

// One byte from the terminal, waiting at most waitMs (forever when negative); -1 when
// none came in time. A terminal that hung up ends the game.
int terminalByte(int waitMs)
{
    for (;;) {
        if (waitMs >= 0) {
            pollfd ready{modes.fd, POLLIN, 0};
            const int n = poll(&ready, 1, waitMs);
            if (n < 0 && errno == EINTR) continue;
            if (n == 0) return -1;
        }
        unsigned char byte = 0;
        const ssize_t got = ::read(modes.fd, &byte, 1);
        if (got == 1) return byte;
        if (got < 0 && errno == EINTR) continue;
        giveUp(noMoreKeys);
    }
}

StandardInput::Kind kindOfStandardInput()
{
    if (isatty(STDIN_FILENO)) return StandardInput::Kind::Terminal;
    struct stat info{};
    if (fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode)) return StandardInput::Kind::File;
    return StandardInput::Kind::Stream;
}

bool isTerminalOutput() { return isatty(STDOUT_FILENO) == 1; }

}  // namespace

std::size_t StandardInput::readSome(char* into, std::size_t room)
{
    // A line typed at the terminal is echoed and edited as usual while it is read.
    const bool echoWhileReading = kind == Kind::Terminal && modes.fd >= 0;
    if (echoWhileReading) applyMode(modes.original);
    ssize_t got;
    do {
        got = ::read(STDIN_FILENO, into, room);
    } while (got < 0 && errno == EINTR);
    if (echoWhileReading) applyMode(modes.quiet);
    usedUp = false;
    if (got > 0) return static_cast<std::size_t>(got);
    // Ctrl-D at a terminal ends this read only; a file or a pipe that has run dry, or a
    // terminal that hung up, will never give another line.
    if (!(kind == Kind::Terminal && got == 0 && tcgetpgrp(STDIN_FILENO) >= 0)) usedUp = true;
    return 0;
}

TerminalConsole::TerminalConsole()
{
    stdinSource_.kind = kindOfStandardInput();
    heartsAsSymbols_ = isTerminalOutput();
    openControllingTerminal();
}

TerminalConsole::~TerminalConsole()
{
    restoreOriginalMode();
}

std::uint8_t TerminalConsole::readKey()
{
    if (modes.fd < 0) {
        // No terminal: every byte of standard input is one key.
        std::uint8_t byte = 0;
        stdinSource_.usedUp = false;
        while (!takeByte(stdinBuffer_, stdinSource_, byte))
            if (stdinSource_.usedUp) giveUp(noMoreKeys);
        return byte;
    }
    applyMode(modes.keys);
    const int first = leftoverKeyByte_ >= 0 ? leftoverKeyByte_ : terminalByte(-1);
    const std::uint8_t key = decodeKey(static_cast<std::uint8_t>(first), terminalByte, leftoverKeyByte_);
    applyMode(modes.quiet);
    return key;
}

void TerminalConsole::readLine(LineBuffer& line)
{
    // A last line without a line end is still an answer; only a read that finds nothing
    // at all in input used up for good ends the game.
    stdinSource_.usedUp = false;
    if (!takeLine(stdinBuffer_, stdinSource_, line) && stdinSource_.usedUp) giveUp(noMoreLines);
}

void TerminalConsole::discardPendingInput()
{
    switch (stdinSource_.kind) {
    case StandardInput::Kind::Terminal:
        dropPending(stdinBuffer_);
        break;
    case StandardInput::Kind::File:
        // Go back in the file instead, so that no answer is lost.
        lseek(STDIN_FILENO, -static_cast<off_t>(pendingBytes(stdinBuffer_)), SEEK_CUR);
        dropPending(stdinBuffer_);
        break;
    case StandardInput::Kind::Stream:
        // What a pipe gave cannot be given again: dropping it would lose answers.
        break;
    }
}

void TerminalConsole::write(std::string_view bytes)
{
    // The menu marks hit points with the byte 3; a terminal shows it as a heart.
    char out[2048];
    std::size_t used = 0;
    auto flush = [&] {
        const char* p = out;
        while (used > 0) {
            const ssize_t n = ::write(STDOUT_FILENO, p, used);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            p += n;
            used -= static_cast<std::size_t>(n);
        }
        used = 0;
    };
    for (const char c : bytes) {
        if (used + 3 > sizeof out) flush();
        if (c == '\x03' && heartsAsSymbols_) {
            std::memcpy(out + used, "\xE2\x99\xA5", 3);
            used += 3;
        } else {
            out[used++] = c;
        }
    }
    flush();
}

}  // namespace zorvanty
