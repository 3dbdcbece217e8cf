#pragma once
// writeText: the game's one way of writing. The format is a string literal checked at
// compile time against the values given: %s takes text, %hu a 16-bit count, %lu a 32-bit
// count, %0.3f a double, %% writes a percent sign. Anything else does not compile, so a
// name typed at the keyboard can only ever travel as a %s value, never as a format.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "console/console.h"

namespace zorvanty {

enum class ArgKind : std::uint8_t { Text, U16, U32, Real };

struct FormatArg {
    ArgKind kind;
    union {
        const char* text;
        std::uint16_t u16;
        std::uint32_t u32;
        double real;
    };
};

template <typename T> struct ArgKindOf;
template <> struct ArgKindOf<const char*> { static constexpr ArgKind value = ArgKind::Text; };
template <> struct ArgKindOf<char*> { static constexpr ArgKind value = ArgKind::Text; };
template <std::size_t N> struct ArgKindOf<char[N]> { static constexpr ArgKind value = ArgKind::Text; };
template <std::size_t N> struct ArgKindOf<const char[N]> { static constexpr ArgKind value = ArgKind::Text; };
template <> struct ArgKindOf<std::uint16_t> { static constexpr ArgKind value = ArgKind::U16; };
template <> struct ArgKindOf<std::uint32_t> { static constexpr ArgKind value = ArgKind::U32; };
template <> struct ArgKindOf<double> { static constexpr ArgKind value = ArgKind::Real; };

inline FormatArg toFormatArg(const char* text) { FormatArg a{ArgKind::Text, {}}; a.text = text; return a; }
inline FormatArg toFormatArg(std::uint16_t v) { FormatArg a{ArgKind::U16, {}}; a.u16 = v; return a; }
inline FormatArg toFormatArg(std::uint32_t v) { FormatArg a{ArgKind::U32, {}}; a.u32 = v; return a; }
inline FormatArg toFormatArg(double v) { FormatArg a{ArgKind::Real, {}}; a.real = v; return a; }

namespace detail {
// Called only when a format does not fit its values; being non-constexpr, it turns the
// mismatch into a compile error at the call site.
void formatDoesNotMatchItsValues();

constexpr bool startsWith(const char* at, std::string_view what)
{
    for (std::size_t i = 0; i < what.size(); ++i)
        if (at[i] != what[i]) return false;
    return true;
}

// Walks the format and checks every conversion against the next expected kind.
constexpr void checkFormat(const char* f, const ArgKind* kinds, std::size_t count)
{
    std::size_t used = 0;
    for (const char* p = f; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        ArgKind wanted;
        if (*p == '%') continue;
        if (*p == 's') wanted = ArgKind::Text;
        else if (startsWith(p, "hu")) { wanted = ArgKind::U16; ++p; }
        else if (startsWith(p, "lu")) { wanted = ArgKind::U32; ++p; }
        else if (startsWith(p, "0.3f")) { wanted = ArgKind::Real; p += 3; }
        else { formatDoesNotMatchItsValues(); return; }
        if (used >= count || kinds[used] != wanted) formatDoesNotMatchItsValues();
        ++used;
    }
    if (used != count) formatDoesNotMatchItsValues();
}
}  // namespace detail

template <typename... Args>
struct CheckedFormat {
    const char* text;
    template <std::size_t N>
    consteval CheckedFormat(const char (&f)[N]) : text(f)
    {
        constexpr ArgKind kinds[sizeof...(Args) + 1] = {ArgKindOf<Args>::value..., ArgKind::Text};
        detail::checkFormat(f, kinds, sizeof...(Args));
    }
};

// Formats `format` with `args` and hands the result to `console.write` in as few pieces
// as its buffer allows.
void formatAndWrite(Console& console, const char* format, const FormatArg* args);

template <typename... Args>
void writeText(Console& console, CheckedFormat<std::remove_cvref_t<Args>...> format, const Args&... args)
{
    const FormatArg packed[sizeof...(Args) + 1] = {toFormatArg(args)..., toFormatArg(0.0)};
    formatAndWrite(console, format.text, packed);
}

// A percentage figure as the report prints it: three decimals, halves rounded away from
// zero, "nan" or "-nan" for a not-a-number. Writes at most 32 bytes and returns the count.
std::size_t formatThreeDecimals(double value, char* out);

}  // namespace zorvanty
