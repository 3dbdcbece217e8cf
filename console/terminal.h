#pragma once
// The console of a real Unix process: keys from the controlling terminal, lines from
// standard input, text to standard output. There is one per process.
//
// The terminal is handed back exactly as it was found: at exit, on SIGINT, SIGTERM,
// SIGHUP and SIGQUIT (the process still dies of the signal), and around a stop with
// Ctrl-Z. In between, echo is off so that keys pressed while the game narrates or
// simulates neither show on the screen nor get lost; a typed line is echoed as usual.
// Single keys are read in raw mode, entered only for the read.
//
// Without a controlling terminal, keys are single bytes of standard input. When no key
// or no line can ever come again (the terminal hung up, or standard input that is not a
// terminal is used up), the game ends with a message on standard error and status 1.

#include "console/console.h"
#include "console/input_buffer.h"

namespace zorvanty {

class StandardInput final : public ByteSource {
public:
    enum class Kind : std::uint8_t { Terminal, File, Stream };
    Kind kind = Kind::Stream;
    // Set by a read that met the end of input for good: a file or pipe run dry, or a
    // terminal that hung up (Ctrl-D at a terminal is not the end for good).
    bool usedUp = false;
    std::size_t readSome(char* into, std::size_t room) override;
};

class TerminalConsole final : public Console {
public:
    TerminalConsole();
    ~TerminalConsole();
    TerminalConsole(const TerminalConsole&) = delete;
    TerminalConsole& operator=(const TerminalConsole&) = delete;

    std::uint8_t readKey() override;
    void readLine(LineBuffer& line) override;
    void discardPendingInput() override;
    void write(std::string_view bytes) override;

private:
    StandardInput stdinSource_;
    InputBuffer stdinBuffer_;
    bool heartsAsSymbols_ = false;
    int leftoverKeyByte_ = -1;
};

}  // namespace zorvanty
