#include "console/format.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace zorvanty {

namespace {

// Collects formatted bytes and passes them on whenever the buffer fills.
struct Sink {
    Console& console;
    char bytes[512];
    std::size_t used = 0;

    void put(const char* text, std::size_t length)
    {
        while (length > 0) {
            if (used == sizeof bytes) flush();
            const std::size_t room = sizeof bytes - used;
            const std::size_t n = length < room ? length : room;
            std::memcpy(bytes + used, text, n);
            used += n;
            text += n;
            length -= n;
        }
    }
    void flush()
    {
        if (used > 0) console.write(std::string_view(bytes, used));
        used = 0;
    }
};

std::size_t formatUnsigned(std::uint64_t value, char* out)
{
    char digits[20];
    std::size_t n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (std::size_t i = 0; i < n; ++i) out[i] = digits[n - 1 - i];
    return n;
}

}  // namespace

std::size_t formatThreeDecimals(double value, char* out)
{
    if (std::isnan(value)) {
        const char* text = std::signbit(value) ? "-nan" : "nan";
        std::memcpy(out, text, std::strlen(text));
        return std::strlen(text);
    }
    // The C library rounds to nearest with ties to even, on the exact binary value. That
    // is also right for us except on an exact tie (the value is k + 1/2 thousandths),
    // where the game rounds away from zero. A tie is an odd whole number of
    // two-thousandths, and fma tells whether value * 2000 is that number exactly.
    const double halves = std::nearbyint(value * 2000.0);
    const bool exactTie = std::fabs(halves) < 9007199254740992.0 &&
                          std::fmod(halves, 2.0) != 0.0 && std::fma(value, 2000.0, -halves) == 0.0;
    if (!exactTie) {
        const int n = std::snprintf(out, 32, "%.3f", value);
        return n < 0 ? 0 : static_cast<std::size_t>(n);
    }
    const double magnitude = std::fabs(halves);
    const auto thousandths = static_cast<std::uint64_t>(magnitude + 1.0) / 2;  // away from zero
    std::size_t n = 0;
    if (value < 0) out[n++] = '-';
    n += formatUnsigned(thousandths / 1000, out + n);
    out[n++] = '.';
    const auto fraction = static_cast<unsigned>(thousandths % 1000);
    out[n++] = static_cast<char>('0' + fraction / 100);
    out[n++] = static_cast<char>('0' + fraction / 10 % 10);
    out[n++] = static_cast<char>('0' + fraction % 10);
    return n;
}

void formatAndWrite(Console& console, const char* format, const FormatArg* args)
{
    Sink sink{console, {}};
    char number[32];
    const char* plain = format;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') continue;
        sink.put(plain, static_cast<std::size_t>(p - plain));
        ++p;
        const FormatArg& arg = *args;
        switch (*p) {
        case '%':
            sink.put("%", 1);
            break;
        case 's':
            sink.put(arg.text, std::strlen(arg.text));
            ++args;
            break;
        case 'h':  // %hu
            sink.put(number, formatUnsigned(arg.u16, number));
            ++p;
            ++args;
            break;
        case 'l':  // %lu
            sink.put(number, formatUnsigned(arg.u32, number));
            ++p;
            ++args;
            break;
        default:  // %0.3f
            sink.put(number, formatThreeDecimals(arg.real, number));
            p += 3;
            ++args;
            break;
        }
        plain = p + 1;
    }
    sink.put(plain, std::strlen(plain));
    sink.flush();
}

}  // namespace zorvanty
