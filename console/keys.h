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

namespace detail {

// How many continuation bytes follow a UTF-8 lead byte; 0 for a byte that leads nothing.
constexpr int continuationBytes(int lead)
{
    if (lead >= 0xC0 && lead <= 0xDF) return 1;
    if (lead >= 0xE0 && lead <= 0xEF) return 2;
    if (lead >= 0xF0 && lead <= 0xF7) return 3;
    return 0;
}

// Reads the continuation bytes of the character that `lead` begins. A byte that does not
// continue it starts the next keystroke and goes to `leftover`.
template <typename NextByte>
void skipContinuation(int lead, NextByte& next, int& leftover)
{
    for (int missing = continuationBytes(lead); missing > 0; --missing) {
        const int c = next(sequenceWaitMs);
        if (c < 0) return;
        if ((c & 0xC0) != 0x80) {
            leftover = c;
            return;
        }
    }
}

constexpr bool isParameterOrIntermediate(int c) { return c >= 0x20 && c <= 0x3F; }
constexpr bool isFinalByte(int c) { return c >= 0x40 && c <= 0x7E; }

// Reads the rest of a CSI (ESC [) or SS3 (ESC O) sequence: parameters and intermediates,
// then one final byte. rxvt ends its shifted editing keys with '$' (ESC [ 2 $), which is
// taken as a final byte here; no key sends '$' as a true intermediate.
template <typename NextByte>
void skipSequenceBody(NextByte& next, int& leftover)
{
    int c = next(sequenceWaitMs);
    while (c != '$' && isParameterOrIntermediate(c)) c = next(sequenceWaitMs);
    if (c >= 0 && c != '$' && !isFinalByte(c)) leftover = c;  // not part of the sequence
}

template <typename NextByte>
std::uint8_t decodeEscape(NextByte& next, int& leftover)
{
    int c = next(escapeWaitMs);
    if (c < 0) return keyEscape;  // nothing follows at once: the Escape key itself
    if (c == keyEscape) {         // Alt with a cursor key (ESC ESC [ A), or Escape twice
        c = next(escapeWaitMs);
        if (c < 0) {
            leftover = keyEscape;
            return keyEscape;
        }
    }
    if (c == '[') {
        c = next(sequenceWaitMs);
        if (c == '[') {  // the Linux console's F1 to F5: ESC [ [ A to ESC [ [ E
            next(sequenceWaitMs);
            return keyWithoutCharacter;
        }
        if (c < 0) return keyWithoutCharacter;
        if (isFinalByte(c) || c == '$') return keyWithoutCharacter;
        if (!isParameterOrIntermediate(c)) {
            leftover = c;
            return keyWithoutCharacter;
        }
        skipSequenceBody(next, leftover);
    } else if (c == 'O') {
        skipSequenceBody(next, leftover);
    } else {
        skipContinuation(c, next, leftover);  // Alt with a key, a letter of several bytes too
    }
    return keyWithoutCharacter;
}

}  // namespace detail

// `first` is the keystroke's first byte. `next(waitMs)` returns the next byte, or -1 when
// none comes within waitMs. A byte read that belongs to the next keystroke is put in
// `leftover` (-1 when there is none). A plain byte asks for nothing more; a character of
// several bytes is reported by its first byte, which no menu or question answers to.
template <typename NextByte>
std::uint8_t decodeKey(std::uint8_t first, NextByte&& next, int& leftover)
{
    leftover = -1;
    if (first == keyEscape) return detail::decodeEscape(next, leftover);
    detail::skipContinuation(first, next, leftover);
    return first;
}

}  // namespace zorvanty
