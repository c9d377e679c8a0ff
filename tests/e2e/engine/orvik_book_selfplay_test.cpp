// A book made from Orvik's own games: the engine plays itself, keeps the games in its
// PGN records and builds a book from them; the test replays the same games with
// Tavorin's rules and its own key generator and builds the book it expects byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "book_keys.h"
#include "engine_session.h"

using namespace e2e;

namespace {
struct entry {
    uint32_t key_lo = 0, key_hi = 0, next = 0, count = 0;
    uint16_t move = 0;
    uint8_t side = 0;
    int8_t mark = 0;
    bool empty() const { return key_lo == 0 && key_hi == 0; }
};

uint32_t u32(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 | static_cast<uint8_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

struct book_file {
    uint32_t slots = 0, firstfree = 0;
    std::vector<entry> entries;
};

book_file read_book(const std::string& bytes) {
    book_file b;
    if (bytes.size() < 128) return b;
    b.slots = u32(bytes, 12);
    b.firstfree = u32(bytes, 24);
    for (size_t at = 128; at + 20 <= bytes.size(); at += 20) {
        entry e;
        e.key_lo = u32(bytes, at);
        e.key_hi = u32(bytes, at + 4);
        e.next = u32(bytes, at + 8);
        e.count = u32(bytes, at + 12);
        e.move =
            static_cast<uint16_t>(static_cast<uint8_t>(bytes[at + 16]) | static_cast<uint8_t>(bytes[at + 17]) << 8);
        e.side = static_cast<uint8_t>(bytes[at + 18]);
        e.mark = static_cast<int8_t>(bytes[at + 19]);
        b.entries.push_back(e);
    }
    return b;
}

// The book the builder must write: every entry in its home slot or appended to the
// chain's end at the first free index, in the order the games give the moves.
std::string expected_book(const std::vector<std::vector<std::string>>& games, uint32_t slots, int plies) {
    std::vector<entry> table(2 * slots);
    uint32_t firstfree = slots;
    for (const auto& moves : games) {
        book_keys::game g;
        for (int ply = 0; ply < plies && ply < static_cast<int>(moves.size()); ++ply) {
            const uint64_t key = g.key();
            const int side = g.side();
            uint32_t move = 0;
            EXPECT_TRUE(g.play(moves[ply], &move)) << moves[ply];
            const uint32_t lo = static_cast<uint32_t>(key), hi = static_cast<uint32_t>(key >> 32);
            uint32_t i = lo % slots;
            if (!table[i].empty()) {
                for (;;) {
                    const entry& e = table[i];
                    if (e.key_lo == lo && e.key_hi == hi && e.side == side && e.move == move) break;
                    if (e.next == 0) {
                        if (firstfree == table.size()) table.resize(table.size() + table.size() / 2);
                        table[i].next = firstfree;
                        i = firstfree++;
                        break;
                    }
                    i = e.next;
                }
            }
            entry& e = table[i];
            e.key_lo = lo;
            e.key_hi = hi;
            e.side = static_cast<uint8_t>(side);
            e.move = static_cast<uint16_t>(move);
            ++e.count;
        }
    }
    std::string out(128, '\0');
    out.replace(0, 10, std::string("KVBOOK101\0", 10));
    auto put = [](std::string& s, uint32_t v) {
        for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i));
    };
    std::string fields;
    put(fields, slots);
    put(fields, 128);
    put(fields, 20);
    put(fields, firstfree);
    out.replace(12, 16, fields);
    for (uint32_t i = 0; i < firstfree; ++i) {
        const entry& e = table[i];
        put(out, e.key_lo);
        put(out, e.key_hi);
        put(out, e.next);
        put(out, e.count);
        out += static_cast<char>(e.move & 0xFF);
        out += static_cast<char>(e.move >> 8);
        out += static_cast<char>(e.side);
        out += static_cast<char>(e.mark);
    }
    return out;
}

// The SAN moves of each game of a PGN file (comments, variations, numbers and results
// taken out).
std::vector<std::vector<std::string>> games_of(const std::string& text) {
    std::vector<std::vector<std::string>> games;
    std::istringstream in(text);
    std::string line, moves;
    auto flush = [&] {
        if (moves.empty()) return;
        std::string clean;
        int depth = 0;
        bool comment = false;
        for (char c : moves) {
            if (comment) {
                comment = c != '}';
                continue;
            }
            if (c == '{')
                comment = true;
            else if (c == '(')
                ++depth;
            else if (c == ')')
                --depth;
            else if (depth == 0)
                clean += c;
        }
        std::istringstream words(clean);
        std::vector<std::string> game;
        for (std::string w; words >> w;) {
            const size_t dot = w.find_last_of('.');
            if (dot != std::string::npos) w = w.substr(dot + 1);
            if (w.empty() || w == "*" || w == "1-0" || w == "0-1" || w == "1/2-1/2") continue;
            game.push_back(w);
        }
        games.push_back(game);
        moves.clear();
    };
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') {
            flush();
            continue;
        }
        moves += line + " ";
    }
    flush();
    return games;
}

void expect_chains_sound(const book_file& b) {
    ASSERT_EQ(b.entries.size(), b.firstfree);
    for (uint32_t i = 0; i < b.firstfree; ++i) {
        const entry& e = b.entries[i];
        if (e.empty()) continue;
        EXPECT_TRUE(i >= b.slots || e.key_lo % b.slots == i) << "slot entry " << i << " is not in its home slot";
        EXPECT_TRUE(e.next == 0 || (e.next > i && e.next < b.firstfree)) << "entry " << i << " links to " << e.next;
        bool reached = false;
        for (uint32_t at = e.key_lo % b.slots; !reached; at = b.entries[at].next) {
            reached = at == i;
            if (b.entries[at].next <= at) break;
        }
        EXPECT_TRUE(reached) << "entry " << i << " cannot be reached from its home slot";
    }
}
}  // namespace

TEST(OrvikBookSelfPlay, BookOfOwnGamesMatchesIndependentKeys) {
    session s;
    s.send({"xboard", "protover 2", "sgames self.pgn", "resign off"});
    const std::vector<std::vector<std::string>> openings = {
        {"e4", "c5"}, {"d4", "d5"}, {"c4", "e5"},  {"Nf3", "Nf6"}, {"e4", "e6"},
        {"g3", "d5"}, {"e4", "c5"}, {"d4", "Nf6"}, {"f4", "d5"},   {"b3", "e5"},
    };
    for (const auto& opening : openings) {
        // As a host sends them: new takes back the depth limit of the game before.
        s.send({"new", "sd 2", "force"});
        s.send(opening);
        for (int ply = 2; ply < 24; ++ply) {
            s.send({"go"});
            const auto lines = s.until([](const std::string& l) {
                return starts_with(l, "move ") || starts_with(l, "1-0 {") || starts_with(l, "0-1 {") ||
                       starts_with(l, "1/2-1/2 {");
            });
            ASSERT_TRUE(s.got(lines)) << "no move at ply " << ply;
            if (!starts_with(lines.back(), "move ")) break;
        }
        s.send({"result 1/2-1/2 {test over}"});
    }
    s.send({"sgames", "ping 1"});
    ASSERT_TRUE(s.got(s.until_prefix("pong 1")));
    const std::string pgn = s.dir.read("self.pgn");
    const auto games = games_of(pgn);
    ASSERT_EQ(games.size(), openings.size());

    s.send({"book_create self.pgn 1009 20", "ping 2"});
    ASSERT_TRUE(s.got(s.until_prefix("pong 2", 60s)));
    const std::string made = s.dir.read("kvbook.bin");
    EXPECT_TRUE(made == expected_book(games, 1009, 20)) << "the book differs from the one worked out here";
    const book_file once = read_book(made);
    expect_chains_sound(once);

    s.send({"book_add self.pgn 20", "ping 3"});
    ASSERT_TRUE(s.got(s.until_prefix("pong 3", 60s)));
    const book_file twice = read_book(s.dir.read("kvbook.bin"));
    ASSERT_EQ(twice.entries.size(), once.entries.size());
    for (size_t i = 0; i < once.entries.size(); ++i) {
        EXPECT_EQ(twice.entries[i].count, 2 * once.entries[i].count) << "entry " << i;
        EXPECT_EQ(twice.entries[i].next, once.entries[i].next) << "entry " << i;
    }

    s.send({"book_create self.pgn 1009 20 3", "ping 4"});
    ASSERT_TRUE(s.got(s.until_prefix("pong 4", 60s)));
    const book_file pruned = read_book(s.dir.read("kvbook.bin"));
    expect_chains_sound(pruned);
    std::map<std::tuple<uint32_t, uint32_t, int, int>, uint32_t> wanted, kept;
    for (const entry& e : once.entries)
        if (!e.empty() && e.count >= 3) wanted[{e.key_lo, e.key_hi, e.side, e.move}] = e.count;
    for (const entry& e : pruned.entries)
        if (!e.empty()) kept[{e.key_lo, e.key_hi, e.side, e.move}] = e.count;
    EXPECT_FALSE(wanted.empty());
    EXPECT_EQ(kept, wanted);
}
