#pragma once
// What standard input has read ahead, and the game's rules for taking a line out of it:
// up to and including the line feed, at most 255 characters, carriage returns skipped, a
// Ctrl-Z byte ending the read as end of input. Whoever owns the bytes (a file descriptor,
// a test script) plugs in as a ByteSource.

#include <cstddef>
#include <cstdint>

#include "console/console.h"

namespace zorvanty {

class ByteSource {
public:
    // Reads at least one byte into `into` (at most `room`), or returns 0 at end of input.
    // End of input is not remembered: the next call tries again.
    virtual std::size_t readSome(char* into, std::size_t room) = 0;

protected:
    ~ByteSource() = default;
};

struct InputBuffer {
    char bytes[4096];
    std::size_t next = 0;
    std::size_t end = 0;
};

constexpr char ctrlZ = 0x1A;

// Reads one line into `line`. With nothing read before the end of input, `line` keeps
// what it held and the result is false.
bool takeLine(InputBuffer& input, ByteSource& source, LineBuffer& line);

// Takes the next single byte (a key, when keys come from standard input); false at end of input.
bool takeByte(InputBuffer& input, ByteSource& source, std::uint8_t& byte);

inline std::size_t pendingBytes(const InputBuffer& input) { return input.end - input.next; }
inline void dropPending(InputBuffer& input) { input.next = input.end = 0; }

}  // namespace zorvanty
