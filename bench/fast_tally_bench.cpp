// Times the straightforward simulator (simulateDuels) against the fast one on fixed
// fighters, seeds and duel counts, in the same process, and prints for each run what it
// left behind: the tally, the dice, the records and the dots. Those lines, and the hash
// of them printed last, are the signature any later change to the simulator must keep.
//
//   zorvanty_bench              both simulators, with times and ratios (minutes: the
//                               straightforward loop at 4294967295 duels takes a while)
//   zorvanty_bench --fast-only  only the fast simulator: the signature in seconds

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "combat/dice.h"
#include "combat/fighter.h"
#include "console/console.h"
#include "frontend/fast_tally.h"
#include "frontend/tally.h"

namespace zorvanty {
namespace {

// The simulators write nothing but dots; this console only counts what it is given.
class CountingConsole final : public Console {
public:
    std::uint64_t dots = 0;
    std::uint64_t others = 0;
    std::uint8_t readKey() override { return 0; }
    void readLine(LineBuffer& line) override { line[0] = 0; }
    void discardPendingInput() override {}
    void write(std::string_view bytes) override
    {
        for (const char c : bytes) ++(c == '.' ? dots : others);
    }
};

struct BenchCase {
    const char* label;
    std::uint16_t attackOne, defenseOne, attackTwo, defenseTwo;
    std::uint16_t startHp;
    std::uint32_t seed;
    std::uint32_t duels;
};

// From a short run to the largest count; the third is past a full round of the dice
// (2^30 attacks), the last some twenty rounds.
constexpr BenchCase cases[] = {
    {"even", 3, 3, 3, 3, 2, 1, 1000000},
    {"favoured", 5, 2, 1, 4, 2, 12345, 100000000},
    {"critsOnly", 0, 0, 10, 10, 3, 2024, 400000000},
    {"even", 3, 3, 3, 3, 2, 1, 4294967295u},
};

struct Outcome {
    SimTally tally;
    std::uint32_t dice;
    std::uint16_t hpOne, hpTwo;
    bool killedOne, maimedOne, killedTwo, maimedTwo;
    std::uint64_t dots, others;
    double seconds;
};

bool sameResult(const Outcome& a, const Outcome& b)
{
    return a.tally == b.tally && a.dice == b.dice && a.hpOne == b.hpOne && a.hpTwo == b.hpTwo &&
           a.killedOne == b.killedOne && a.maimedOne == b.maimedOne && a.killedTwo == b.killedTwo &&
           a.maimedTwo == b.maimedTwo && a.dots == b.dots && a.others == b.others;
}

template <typename Simulator>
Outcome timed(const BenchCase& c, Simulator simulate)
{
    Fighter one{}, two{};
    std::strcpy(one.name, "Gracz1");
    std::strcpy(two.name, "Gracz2");
    one.attack = c.attackOne;
    one.defense = c.defenseOne;
    two.attack = c.attackTwo;
    two.defense = c.defenseTwo;
    Lcg dice{c.seed};
    CountingConsole console;
    const auto start = std::chrono::steady_clock::now();
    const SimTally tally = simulate(one, two, c.startHp, c.duels, dice, console);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {tally,      dice.state,  one.hp,     two.hp,        one.killed,     one.maimed,
            two.killed, two.maimed, console.dots, console.others, took.count()};
}

// FNV-1a over the signature lines.
std::uint64_t hashText(std::uint64_t hash, const char* text)
{
    for (; *text; ++text) hash = (hash ^ static_cast<unsigned char>(*text)) * 0x100000001B3u;
    return hash;
}

}  // namespace
}  // namespace zorvanty

int main(int argc, char** argv)
{
    using namespace zorvanty;
    const bool fastOnly = argc > 1 && std::strcmp(argv[1], "--fast-only") == 0;
    std::uint64_t signature = 0xCBF29CE484222325u;
    bool allSame = true;
    for (const BenchCase& c : cases) {
        // The fast simulator three times, keeping the best time; every run must agree.
        Outcome fast = timed(c, [](auto&... a) { return simulateDuelsFast(a...); });
        for (int again = 0; again < 2; ++again) {
            const Outcome next = timed(c, [](auto&... a) { return simulateDuelsFast(a...); });
            allSame = allSame && sameResult(next, fast);
            if (next.seconds < fast.seconds) fast.seconds = next.seconds;
        }
        char line[512];
        const SimTally& t = fast.tally;
        std::snprintf(line, sizeof line,
                      "%-9s %5u/%-5u vs %5u/%-5u hp %u seed %-5" PRIu32 " duels %10" PRIu32
                      " | tally %" PRIu32 " %" PRIu32 " %" PRIu32 " %" PRIu32 " %" PRIu32 " %" PRIu32
                      " | dice %08" PRIx32 " | records %u/%u %d%d%d%d | dots %" PRIu64 "\n",
                      c.label, c.attackOne, c.defenseOne, c.attackTwo, c.defenseTwo, c.startHp, c.seed, c.duels,
                      t.winsOne, t.killsOne, t.maimsOne, t.winsTwo, t.killsTwo, t.maimsTwo, fast.dice, fast.hpOne,
                      fast.hpTwo, fast.killedOne, fast.maimedOne, fast.killedTwo, fast.maimedTwo, fast.dots);
        std::fputs(line, stdout);
        signature = hashText(signature, line);
        if (fastOnly) {
            std::printf("          fast %.3f s\n", fast.seconds);
        } else {
            const Outcome reference = timed(c, [](auto&... a) { return simulateDuels(a...); });
            const bool same = sameResult(reference, fast);
            allSame = allSame && same;
            std::printf("          straightforward %.3f s, fast %.3f s, ratio %.1f, %s\n", reference.seconds,
                        fast.seconds, reference.seconds / fast.seconds, same ? "identical" : "DIFFERENT");
        }
        std::fflush(stdout);
    }
    std::printf("signature %016" PRIx64 "%s\n", signature, allSame ? "" : " (RESULTS DIFFER)");
    return allSame ? 0 : 1;
}
