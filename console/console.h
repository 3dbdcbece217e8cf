#pragma once
// The narrow door between the game and the person at the keyboard. The game only ever
// reads single keys, reads typed lines, drops input it has read ahead, and writes text.
// The real terminal and the scripted console of the tests both stand behind it.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zorvanty {

// Every typed line lands in one of these: at most 255 characters and a terminating zero.
constexpr std::size_t lineCapacity = 256;
using LineBuffer = char[lineCapacity];

class Console {
public:
    // Waits for one key press, without echo and without Enter, and returns its code.
    virtual std::uint8_t readKey() = 0;
    // Reads one line of standard input into `line` (see input_buffer.h for the rules).
    virtual void readLine(LineBuffer& line) = 0;
    // Forgets what standard input has read ahead but not handed out yet.
    virtual void discardPendingInput() = 0;
    // Writes the bytes to standard output at once.
    virtual void write(std::string_view bytes) = 0;

protected:
    ~Console() = default;
};

}  // namespace zorvanty
