#pragma once
// One keystroke is one key. A Unix terminal sends cursor and function keys as escape
// sequences (ESC [ A, ESC O P, ESC [ 1 8 ~) and a Polish letter as two bytes of UTF-8;
// decodeKey swallows the whole of such a keystroke and reports it as one code.

#include <cstdint>

namespace zorvanty {

// The code of a keystroke that has no single character: a cursor, function or editing
// key, or Alt with a key. No menu or question answers to it.
constexpr std::uint8_t keyWithoutCharacter = 0x00;
constexpr std::uint8_t keyEscape = 0x1B;

// How long to wait after ESC for the rest of a sequence before taking it as the Escape key
// itself, and how long to wait for each further byte of a sequence already begun.
constexpr int escapeWaitMs = 40;
constexpr int sequenceWaitMs = 200;

// `first` is the keystroke's first byte. `next(waitMs)` returns the next byte, or -1 when
// none comes within waitMs. A byte read that belongs to the next keystroke is put in
// `leftover` (-1 when there is none).
template <typename NextByte>
std::uint8_t decodeKey(std::uint8_t first, NextByte&& next, int& leftover)
{
    leftover = -1;
    if (first == keyEscape) {
        int c = next(escapeWaitMs);
        if (c < 0) return keyEscape;
        if (c == keyEscape) {  // Alt with a cursor key: ESC ESC [ A
            c = next(escapeWaitMs);
            if (c < 0) return keyWithoutCharacter;
        }
        if (c == 'O') {  // SS3: one final byte
            next(sequenceWaitMs);
        } else if (c == '[') {  // CSI: parameters and intermediates up to a final byte
            c = next(sequenceWaitMs);
            if (c == '[') c = next(sequenceWaitMs);  // the Linux console's ESC [ [ A for F1
            while (c >= 0x20 && c <= 0x3F) c = next(sequenceWaitMs);
        }
        return keyWithoutCharacter;
    }
    int continuation = first >= 0xF0 ? 3 : first >= 0xE0 ? 2 : first >= 0xC0 ? 1 : 0;
    for (; continuation > 0; --continuation) {
        const int c = next(sequenceWaitMs);
        if (c < 0) break;
        if ((c & 0xC0) != 0x80) {
            leftover = c;
            break;
        }
    }
    return first;
}

}  // namespace zorvanty
