#pragma once
// The two manners of a duel. A watched duel narrates every attack on the console and waits
// for a key before each round; a silent duel does neither. The engine is written once
// against either, and the silent one compiles to nothing at all.

#include <type_traits>

#include "console/console.h"
#include "console/format.h"

namespace zorvanty {

struct SilentNarration {
    template <typename... Args>
    void operator()(const char*, const Args&...) {}
    void pause() {}
};

struct ConsoleNarration {
    Console& console;
    template <typename... Args>
    void operator()(CheckedFormat<std::remove_cvref_t<Args>...> format, const Args&... args)
    {
        writeText(console, format, args...);
    }
    // The person steps through the fight: any key starts the next round.
    void pause() { console.readKey(); }
};

}  // namespace zorvanty
