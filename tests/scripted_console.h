#pragma once
// A console for tests: keys and typed input come from a script, everything written is kept
// as a transcript. Typed input goes through the game's own line rules (input_buffer.h).
// When the script runs out of keys or input the game is stopped by throwing ScriptEnded, so that a
// test can never hang on a loop that waits for a key.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "console/input_buffer.h"

namespace zorvanty::testing {

struct ScriptEnded {};

// Typed input as a script of chunks: each chunk is what one read of standard input gets;
// an empty chunk is one end of input (the read after it tries again). A read past the
// last chunk ends the script.
class ScriptedInput final : public ByteSource {
public:
    std::size_t readSome(char* into, std::size_t room) override
    {
        if (chunks_.empty()) throw ScriptEnded{};
        std::string& chunk = chunks_.front();
        const std::size_t n = chunk.size() < room ? chunk.size() : room;
        std::memcpy(into, chunk.data(), n);
        chunk.erase(0, n);
        if (chunk.empty() || n == 0) chunks_.erase(chunks_.begin());
        return n;
    }
    void push(std::string chunk) { chunks_.push_back(std::move(chunk)); }
    std::size_t chunksLeft() const { return chunks_.size(); }

private:
    std::vector<std::string> chunks_;
};

class ScriptedConsole final : public Console {
public:
    std::string keys;        // keys still to be pressed, one byte each
    std::string transcript;  // everything written
    ScriptedInput input;
    InputBuffer buffer;
    int keysRead = 0;
    int discards = 0;

    // Queues typed lines as a terminal hands them over: one read of standard input per
    // line ("" is an end of input).
    void type(const std::string& text)
    {
        if (text.empty()) input.push("");
        for (std::size_t begin = 0; begin < text.size();) {
            const std::size_t end = text.find('\n', begin);
            const std::size_t next = end == std::string::npos ? text.size() : end + 1;
            input.push(text.substr(begin, next - begin));
            begin = next;
        }
    }
    // Queues bytes that one read of standard input gets all at once, as from a file.
    void typeAhead(std::string bytes) { input.push(std::move(bytes)); }

    std::uint8_t readKey() override
    {
        if (keys.empty()) throw ScriptEnded{};
        const auto key = static_cast<std::uint8_t>(keys.front());
        keys.erase(0, 1);
        ++keysRead;
        return key;
    }
    void readLine(LineBuffer& line) override { takeLine(buffer, input, line); }
    void discardPendingInput() override
    {
        ++discards;
        dropPending(buffer);
    }
    void write(std::string_view bytes) override { transcript.append(bytes); }
};

// How often `what` stands in `text` (overlaps counted), e.g. rounds in a transcript.
inline std::size_t occurrences(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace zorvanty::testing
