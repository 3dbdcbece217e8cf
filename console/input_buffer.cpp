#include "console/input_buffer.h"

namespace zorvanty {

namespace {
bool refill(InputBuffer& input, ByteSource& source)
{
    if (input.next < input.end) return true;
    input.next = 0;
    input.end = source.readSome(input.bytes, sizeof input.bytes);
    return input.end > 0;
}
}  // namespace

bool takeLine(InputBuffer& input, ByteSource& source, LineBuffer& line)
{
    std::size_t length = 0;
    while (length < lineCapacity - 1 && refill(input, source)) {
        const char c = input.bytes[input.next++];
        if (c == '\r') continue;
        if (c == ctrlZ) break;
        line[length++] = c;
        if (c == '\n') break;
    }
    if (length == 0) return false;
    line[length] = '\0';
    return true;
}

bool takeByte(InputBuffer& input, ByteSource& source, std::uint8_t& byte)
{
    if (!refill(input, source)) return false;
    byte = static_cast<std::uint8_t>(input.bytes[input.next++]);
    return true;
}

}  // namespace zorvanty
