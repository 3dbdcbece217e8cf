#include "tests/pty_game.h"

#include <chrono>
#include <cmath>
#include <cstdlib>

namespace zorvanty::e2e {

namespace {

bool endsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A watched duel pauses right after one of these.
bool atPause(std::string_view text)
{
    return endsWith(text, "WALKA:\n\n") || endsWith(text, " hp.\n\n") || endsWith(text, " wygrywa.\n\n");
}

// Reads a text from the front: fixed pieces, numbers, and text up to a given end.
struct Reader {
    std::string_view rest;
    bool ok = true;

    bool take(std::string_view piece)
    {
        if (ok && rest.starts_with(piece)) {
            rest.remove_prefix(piece.size());
            return true;
        }
        return false;
    }
    void need(std::string_view piece) { ok = take(piece); }
    // Either the first of `choices` that comes next, or "" (and not ok).
    std::string_view oneOf(std::initializer_list<std::string_view> choices)
    {
        for (const std::string_view c : choices)
            if (take(c)) return c;
        ok = false;
        return {};
    }
    unsigned long number()
    {
        std::size_t n = 0;
        while (ok && n < rest.size() && n < 10 && rest[n] >= '0' && rest[n] <= '9') ++n;
        if (!ok || n == 0) {
            ok = false;
            return 0;
        }
        const unsigned long value = std::strtoul(std::string(rest.substr(0, n)).c_str(), nullptr, 10);
        rest.remove_prefix(n);
        return value;
    }
    // A figure of the report: digits, a point and three decimals, or a not-a-number.
    double figure()
    {
        if (take("-nan") || take("nan")) return std::nan("");
        const unsigned long whole = number();
        need(".");
        std::size_t n = 0;
        while (ok && n < 3 && n < rest.size() && rest[n] >= '0' && rest[n] <= '9') ++n;
        if (!ok || n != 3) {
            ok = false;
            return 0;
        }
        const double value = static_cast<double>(whole) +
                             static_cast<double>(std::strtoul(std::string(rest.substr(0, 3)).c_str(), nullptr, 10)) / 1000.0;
        rest.remove_prefix(3);
        return value;
    }
    // The text up to the first `end`, which is taken too.
    std::string_view upTo(std::string_view end)
    {
        const std::size_t at = ok ? rest.find(end) : std::string_view::npos;
        if (at == std::string_view::npos) {
            ok = false;
            return {};
        }
        const std::string_view text = rest.substr(0, at);
        rest.remove_prefix(at + end.size());
        return text;
    }
};

}  // namespace

std::string menu(std::string_view heart)
{
    auto hearts = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += heart;
        return s;
    };
    return "\n\n A - Walka - 2" + hearts(2) + "\n B - Walka - 3" + hearts(3) + "\n C - Boss  - 2" + hearts(2) +
           "\n D - Boss  - 3" + hearts(3) + "\n E - Symulacje - 2" + hearts(2) + "\n F - Symulacje - 3" + hearts(3) +
           "\n";
}

std::string titleAndMenu(std::string_view heart) { return "ZORVANTY 3000" + menu(heart); }

::testing::AssertionResult pressThroughPauses(PtySession& session, const std::vector<std::string>& stops,
                                              PauseWalk& walk, const std::vector<std::string>& keys)
{
    // Generous: a duel of a few hundred rounds still fits.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::size_t seen = 0;  // transcript length when the last key went out
    walk = PauseWalk{};
    for (;;) {
        bool stopped = false;
        const bool ready = session.waitUntil(
            [&] {
                const std::string_view text = session.unread();
                for (const std::string& stop : stops)
                    if (endsWith(text, stop)) {
                        walk.stop = stop;
                        return stopped = true;
                    }
                return session.transcript().size() > seen && atPause(session.transcript()) && session.readingKey();
            },
            defaultTimeout);
        if (!ready)
            return ::testing::AssertionFailure() << "no pause and no stop after " << walk.presses
                                                 << " keys; output after the cursor: \""
                                                 << visible(session.unread()) << "\"";
        if (stopped) return ::testing::AssertionSuccess();
        if (std::chrono::steady_clock::now() > deadline)
            return ::testing::AssertionFailure() << "the duel is still going after " << walk.presses << " keys";
        seen = session.transcript().size();
        const std::size_t k = static_cast<std::size_t>(walk.presses);
        session.send(k < keys.size() ? keys[k] : std::string(" "));
        ++walk.presses;
    }
}

::testing::AssertionResult checkNarration(std::string_view text, Contender& first, Contender& second,
                                          std::uint16_t startHp, int& rounds)
{
    Contender* fighters[2] = {&first, &second};
    for (Contender* f : fighters)
        if (!f->isBoss) f->hp = startHp;
    bool killed = false;
    bool maimed = false;
    int critStreak = 0;
    int turn = 0;
    rounds = 0;
    Reader in{text};
    for (;;) {
        ++rounds;
        const std::string_view roundText = in.rest.substr(0, in.rest.find("\n\n", in.rest.find("hp.") + 0));
        auto fail = [&](const std::string& why) {
            return ::testing::AssertionFailure() << "round " << rounds << ": " << why << "; the round reads \""
                                                 << visible(roundText.substr(0, 200)) << "\"";
        };
        Contender& attacker = *fighters[turn];
        Contender& defender = *fighters[1 - turn];
        in.need("RUNDA ");
        const unsigned long roundNumber = in.number();
        in.need("\n\nAtakuje ");
        const std::string_view name = in.upTo("\n");
        in.need(" Atak:  ");
        const unsigned long attackDie = in.number();
        in.need(" + ");
        const unsigned long attack = in.number();
        in.need(" = ");
        const unsigned long attackSum = in.number();
        in.need(".\n Obrona:");
        const unsigned long defenseDie = in.number();
        in.need(" + ");
        const unsigned long defense = in.number();
        in.need(" = ");
        const unsigned long defenseSum = in.number();
        in.need(".\n");
        const std::string_view said = in.oneOf(
            {"Trafia krytycznie i zabija", "Trafia krytycznie", "Trafia i okalecza", "Trafia", "Nie trafia"});
        in.need(", ");
        const std::string_view ending = in.upTo("\n\n");
        if (!in.ok) return fail("not a round");

        if (roundNumber != static_cast<unsigned long>(rounds % 65536)) return fail("wrong round number");
        if (name != attacker.name) return fail(attacker.name + " attacks");
        if (attackDie < 1 || attackDie > 6 || defenseDie < 1 || defenseDie > 6) return fail("a die off its faces");
        if (attack != attacker.attack || defense != defender.defense)
            return fail("not the typed attack " + std::to_string(attacker.attack) + " and defense " +
                        std::to_string(defender.defense));
        const auto attackTotal = static_cast<std::uint16_t>(attackDie + attacker.attack);
        const auto defenseTotal = static_cast<std::uint16_t>(defenseDie + defender.defense);
        if (attackSum != attackTotal || defenseSum != defenseTotal) return fail("wrong sums");

        std::string_view verdict;
        if (attackDie == 6) {
            ++critStreak;
            if (critStreak > 1 || attacker.isBoss) {
                verdict = "Trafia krytycznie i zabija";
                defender.hp = 0;
                killed = true;
            } else {
                verdict = "Trafia krytycznie";
                --defender.hp;
            }
        } else if (attackTotal > defenseTotal) {
            if (critStreak != 0) {
                verdict = "Trafia i okalecza";
                defender.hp = 0;
                maimed = true;
            } else {
                verdict = "Trafia";
                --defender.hp;
            }
            critStreak = 0;
        } else {
            verdict = "Nie trafia";
            critStreak = 0;
        }
        if (said != verdict) return fail("the dice call for " + std::string(verdict));

        if (defender.hp == 0 && (critStreak == 0 || killed || maimed)) {
            if (ending != attacker.name + " wygrywa.") return fail(attacker.name + " should win here");
            if (!in.rest.empty())
                return ::testing::AssertionFailure() << "the duel goes on after its winner: \"" << visible(in.rest)
                                                     << "\"";
            return ::testing::AssertionSuccess();
        }
        if (ending != defender.name + " ma " + std::to_string(defender.hp) + " hp.")
            return fail(defender.name + " should have " + std::to_string(defender.hp) + " hp");
        if (critStreak == 0) turn = 1 - turn;
    }
}

namespace {
struct Report {
    double figure[8];
};

// Reads a report from the front of `in`.
Report readReport(Reader& in)
{
    Report r{};
    in.need("\n\nGracz 1 wygrywa ");
    r.figure[0] = in.figure();
    in.need("%, w tym ");
    r.figure[1] = in.figure();
    in.need("% zabija, a ");
    r.figure[2] = in.figure();
    in.need("% okalecza.\nGracz 2 wygrywa ");
    r.figure[3] = in.figure();
    in.need("%, w tym ");
    r.figure[4] = in.figure();
    in.need("% zabija, a ");
    r.figure[5] = in.figure();
    in.need("% okalecza.\nZabicia: ");
    r.figure[6] = in.figure();
    in.need("%, okaleczenia: ");
    r.figure[7] = in.figure();
    in.need("%\n\n");
    return r;
}
}  // namespace

std::size_t reportLength(std::string_view text)
{
    Reader in{text};
    readReport(in);
    return in.ok ? text.size() - in.rest.size() : 0;
}

::testing::AssertionResult checkReport(std::string_view text)
{
    Reader in{text};
    const Report report = readReport(in);
    if (!in.ok || !in.rest.empty()) return ::testing::AssertionFailure() << "not a report: \"" << visible(text) << "\"";
    // Each figure is rounded to three decimals on its own, so sums may be off by that much.
    constexpr double slack = 0.0015;
    const auto [winsOne, killsOne, maimsOne, winsTwo, killsTwo, maimsTwo, kills, maims] = report.figure;
    if (std::fabs(winsOne + winsTwo - 100.0) > slack)
        return ::testing::AssertionFailure() << "the wins do not add up to 100%: " << visible(text);
    if (killsOne + maimsOne > winsOne + slack || killsTwo + maimsTwo > winsTwo + slack)
        return ::testing::AssertionFailure() << "more kills and maims than wins: " << visible(text);
    if (std::fabs(killsOne + killsTwo - kills) > slack || std::fabs(maimsOne + maimsTwo - maims) > slack)
        return ::testing::AssertionFailure() << "the totals are not the sums: " << visible(text);
    return ::testing::AssertionSuccess();
}

}  // namespace zorvanty::e2e
