#pragma once
// Runs the built game the way a person meets it: in a pseudo-terminal, typing keys while
// it waits for a key and lines while it waits for a line, or with no terminal at all and
// standard input from a pipe or a file.
//
// What the game waits for is read from the terminal's mode (on Linux, tcgetattr on the
// master reports the slave's termios): canonical mode off means it is reading one key,
// canonical mode with echo means it is reading a typed line. Tests combine that with the
// prompt they expect in the output. Every wait has a timeout; a game still running when
// its session ends is killed.

#include <gtest/gtest.h>
#include <sys/types.h>
#include <termios.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zorvanty::e2e {

using Millis = std::chrono::milliseconds;
constexpr Millis defaultTimeout{15000};

// How a process ended.
struct ExitStatus {
    bool exited = false;  // by exit(): `code` holds the status
    int code = -1;
    int signal = 0;       // the signal it died of, when it did not exit

    friend bool operator==(const ExitStatus&, const ExitStatus&) = default;
};
ExitStatus exitedWith(int code);
ExitStatus killedBy(int signal);
ExitStatus decodeWaitStatus(int status);
void PrintTo(const ExitStatus& status, std::ostream* out);

// Where the game's standard input comes from.
enum class Stdin : std::uint8_t {
    Terminal,  // the terminal itself
    File,      // a regular file holding `stdinBytes`
    Pipe,      // a pipe; `stdinBytes` is written at start, more with writeStdin
};

void PrintTo(Stdin from, std::ostream* out);

struct SessionOptions {
    Stdin stdinFrom = Stdin::Terminal;
    std::string stdinBytes;
    bool closeStdinAtStart = false;  // Pipe: close the writing end after stdinBytes
    // Start the game under a small job-control shell, in a process group of its own that
    // holds the terminal, so that a stop (SIGTSTP, Ctrl-Z) really stops it and the test
    // can bring it back with resume() as `fg` would.
    bool jobControl = false;
    // Signals the game inherits as ignored, as under nohup.
    std::vector<int> ignoredSignals;
};

// Terminal modes, compared field by field (flags, control characters, speeds).
bool sameMode(const termios& a, const termios& b);
std::string describeMode(const termios& mode);

class PtySession {
public:
    explicit PtySession(SessionOptions options = {});
    ~PtySession();
    PtySession(const PtySession&) = delete;
    PtySession& operator=(const PtySession&) = delete;

    // False when the terminal or the process could not be set up; why is in failure().
    bool started() const { return gamePid_ > 0; }
    const std::string& failure() const { return failure_; }
    pid_t gamePid() const { return gamePid_; }

    // The terminal's mode as the game found it, before it started.
    const termios& initialMode() const { return initialMode_; }
    // The terminal's mode now (also after the game has ended).
    std::optional<termios> modeNow() const;
    bool readingKey() const;   // canonical mode off
    bool readingLine() const;  // canonical mode and echo on
    bool quiet() const;        // canonical mode on, echo off: the game is busy

    // Everything the game wrote to the terminal, as it came ("\n" arrives as "\r\n").
    const std::string& raw() const { return raw_; }
    // The same with each "\r\n" turned back into "\n" (the game itself writes no "\r").
    const std::string& transcript() const { return transcript_; }
    // The transcript past the cursor, which expect() and waitFor() move on.
    std::string_view unread() const;
    std::size_t cursor() const { return cursor_; }
    // Moves the cursor on past output already checked another way.
    void skip(std::size_t bytes) { cursor_ = std::min(cursor_ + bytes, transcript_.size()); }

    // Reads what has arrived, waiting at most `wait` for the first byte.
    void pump(Millis wait = Millis{5});
    // Pumps until `done` holds, or the timeout passes, or the game has ended and `done`
    // still does not hold.
    bool waitUntil(const std::function<bool()>& done, Millis timeout = defaultTimeout);
    // Waits until `text` appears past the cursor and moves the cursor past it.
    ::testing::AssertionResult waitFor(std::string_view text, Millis timeout = defaultTimeout);
    // Waits until the output past the cursor begins with exactly `text` and moves the
    // cursor past it: the byte-for-byte check of fixed texts.
    ::testing::AssertionResult expect(std::string_view text, Millis timeout = defaultTimeout);

    ::testing::AssertionResult waitForKeyRead(Millis timeout = defaultTimeout);
    ::testing::AssertionResult waitForLineRead(Millis timeout = defaultTimeout);

    // Sends bytes as typed at the keyboard, whatever the game is doing.
    void send(std::string_view bytes);
    // Waits until the game reads a key, then sends it.
    ::testing::AssertionResult pressKey(std::string_view key);
    // Waits until the game reads a line, then types it and Enter.
    ::testing::AssertionResult typeLine(std::string_view line);

    // Standard input from a pipe: more bytes, and the end of them.
    void writeStdin(std::string_view bytes);
    void closeStdin();

    // Sends a signal to the game.
    void signal(int number);
    // Closes the terminal's master side: the terminal hangs up.
    void hangUp();

    // Job control: waits until the game has stopped and the shell has taken the terminal
    // back; resume() hands it the terminal again and continues it, as `fg` does.
    ::testing::AssertionResult waitForStop(Millis timeout = defaultTimeout);
    void resume();

    // Waits for the game to end, reading its output meanwhile.
    std::optional<ExitStatus> waitForExit(Millis timeout = defaultTimeout);

private:
    void start(const SessionOptions& options);
    void takeOutput(const char* bytes, std::size_t count);
    void noteExit();  // reaps the child if it has ended, and takes its last output
    void killAll();

    int master_ = -1;
    int slave_ = -1;  // kept open so the terminal and its mode outlive the game
    int stdinWriter_ = -1;
    int shellControl_ = -1;  // job control: to the shell
    int shellReport_ = -1;   // job control: from the shell
    pid_t childPid_ = -1;    // the game, or the shell above it
    pid_t gamePid_ = -1;
    std::optional<ExitStatus> exit_;
    termios initialMode_{};
    std::string raw_;
    std::string transcript_;
    bool pendingReturn_ = false;
    std::size_t cursor_ = 0;
    std::string stdinPath_;
    std::string failure_;
};

// A run with no controlling terminal at all: a new session, standard input from a pipe
// (written and closed at start) or a file, standard output and error into pipes.
struct PlainRun {
    std::string out;
    std::string err;
    std::optional<ExitStatus> status;  // empty when the game did not end in time and was killed
};
PlainRun runWithoutTerminal(Stdin from, std::string_view input, Millis timeout = defaultTimeout);

// Makes control bytes visible in failure messages.
std::string visible(std::string_view bytes);

}  // namespace zorvanty::e2e
