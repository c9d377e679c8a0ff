// Book learning in whole games: Orvik plays White from a book whose choice at its fourth
// move only has losing moves, Orvik plays Black in another folder, and the loser marks
// the move it chose "??" in its learn book, under xboard and under UCI.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "book_keys.h"
#include "engine_session.h"

using namespace e2e;

namespace {
// Both White queen moves at ply 7 lose the queen; each line is seen three times, so the
// choice between them is a real one.
const char* const LINES =
    "[Result \"*\"]\n1. e4 e5 2. Qh5 Nc6 3. Bc4 g6 4. Qxg6 *\n"
    "[Result \"*\"]\n1. e4 e5 2. Qh5 Nc6 3. Bc4 g6 4. Qxg6 *\n"
    "[Result \"*\"]\n1. e4 e5 2. Qh5 Nc6 3. Bc4 g6 4. Qxg6 *\n"
    "[Result \"*\"]\n1. e4 e5 2. Qh5 Nc6 3. Bc4 g6 4. Qxe5+ *\n"
    "[Result \"*\"]\n1. e4 e5 2. Qh5 Nc6 3. Bc4 g6 4. Qxe5+ *\n"
    "[Result \"*\"]\n1. e4 e5 2. Qh5 Nc6 3. Bc4 g6 4. Qxe5+ *\n";
const char* const BLACK_BOOK_REPLIES[] = {"e7e5", "b8c6", "g7g6"};
const uint16_t QXG6 = 39 | 46 << 6, QXE5 = 39 | 36 << 6;  // h5g6, h5e5

uint32_t u32(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 | static_cast<uint8_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

// The opponent: Orvik as Black in a folder of its own, without a book.
struct opponent : session {
    opponent() { send({"xboard", "protover 2", "new", "sd 3", "force", "resign off"}); }
    std::string reply_to(const std::string& move) {
        send({move, "go"});
        const auto lines = until_prefix("move ");
        send({"force"});
        return got(lines) ? lines.back().substr(5) : std::string();
    }
};

// The learner as White under xboard: `moves` plies of it are played out.
std::string play_xboard_game(session& white, int white_moves) {
    opponent black;
    white.send({"new", "sd 3", "resign off", "go"});
    std::string chosen;
    for (int k = 0; k < white_moves; ++k) {
        const auto lines = white.until_prefix("move ");
        if (!white.got(lines)) return chosen;
        const std::string move = lines.back().substr(5);
        if (k == 3) chosen = move;
        const std::string reply = k < 3 ? BLACK_BOOK_REPLIES[k] : black.reply_to(move);
        if (k < 3) black.send({move, reply});
        white.send({reply});
    }
    return chosen;
}

// The learn book's entries that are not empty.
struct learnt {
    uint32_t index, key_lo, key_hi, count;
    uint16_t move;
    int side, mark;
};
std::vector<learnt> learnt_entries(const std::string& bytes) {
    std::vector<learnt> out;
    for (size_t at = 128; at + 20 <= bytes.size(); at += 20)
        if (bytes.compare(at, 20, std::string(20, '\0')) != 0)
            out.push_back({static_cast<uint32_t>((at - 128) / 20), u32(bytes, at), u32(bytes, at + 4),
                           u32(bytes, at + 12),
                           static_cast<uint16_t>(static_cast<uint8_t>(bytes[at + 16]) |
                                                 static_cast<uint8_t>(bytes[at + 17]) << 8),
                           bytes[at + 18], static_cast<int8_t>(bytes[at + 19])});
    return out;
}

void expect_learnt(const std::string& bytes, const std::string& chosen) {
    ASSERT_TRUE(bytes.size() == 400128u || bytes.size() == 400148u) << bytes.size();
    EXPECT_EQ(u32(bytes, 12), 20000u);
    const auto entries = learnt_entries(bytes);
    ASSERT_EQ(entries.size(), 1u);
    const learnt& e = entries[0];
    book_keys::game g;
    for (const char* m : {"e4", "e5", "Qh5", "Nc6", "Bc4", "g6"}) ASSERT_TRUE(g.play(m));
    EXPECT_EQ(e.key_lo, static_cast<uint32_t>(g.key())) << "the key before the move";
    EXPECT_EQ(e.key_hi, static_cast<uint32_t>(g.key() >> 32));
    EXPECT_EQ(e.count, 1u);
    EXPECT_EQ(e.move, chosen == "h5g6" ? QXG6 : QXE5);
    EXPECT_EQ(e.side, 0) << "the engine's colour";
    EXPECT_EQ(e.mark, -3);
    EXPECT_EQ(bytes.size() == 400148u, e.index == 20000u) << "home slot taken: appended";
}
}  // namespace

TEST(OrvikBookLearning, LostBookChoiceIsMarkedAndAvoidedUnderXboard) {
    session white;
    white.dir.write("lines.pgn", LINES);
    white.send({"xboard", "protover 2", "book_create lines.pgn 1009 20", "book_learn 6", "min_learn_tc 0"});
    const std::string chosen = play_xboard_game(white, 7);
    ASSERT_TRUE(chosen == "h5g6" || chosen == "h5e5") << chosen;
    white.send({"ping 1"});
    ASSERT_TRUE(white.got(white.until_prefix("pong 1")));
    expect_learnt(white.dir.read("kvlearn.bin"), chosen);
    const std::string record = white.dir.read("bklearn2.pgn");
    EXPECT_NE(record.find(chosen == "h5g6" ? "4. Qxg6?? *" : "4. Qxe5+?? *"), std::string::npos) << record;

    // The next run of the engine in that folder lists the move as learnt and never plays it.
    session next({{"kvbook.bin", white.dir.read("kvbook.bin")}, {"kvlearn.bin", white.dir.read("kvlearn.bin")}});
    next.send({"force", "e4", "e5", "Qh5", "Nc6", "Bc4", "g6", "bk", "ping 2"});
    const auto listing = next.until_prefix("pong 2");
    const std::string learnt_line = chosen == "h5g6"
                                        ? " Qxg6??l    flags  -3 original count      4 count      0    0.0%"
                                        : " Qxe5+??l   flags  -3 original count      4 count      0    0.0%";
    EXPECT_NE(std::find(listing.begin(), listing.end(), learnt_line), listing.end());
    next.send({"xboard", "protover 2"});
    for (int game = 0; game < 20; ++game) {
        next.send({"new", "go"});
        std::string move;
        for (int k = 0; k < 4; ++k) {
            const auto lines = next.until_prefix("move ");
            ASSERT_TRUE(next.got(lines));
            move = lines.back().substr(5);
            if (k < 3) next.send({BLACK_BOOK_REPLIES[k]});
        }
        EXPECT_NE(move, chosen) << "game " << game;
    }
}

namespace {
// The learner as White under UCI: 7 plies of it are played out; the move it chose from
// the book. What the learner said lands in `said`.
std::string play_uci_game(session& white, std::vector<std::string>* said = nullptr) {
    white.dir.write("lines.pgn", LINES);
    white.send({"book_create lines.pgn 1009 20", "uci", "setoption name BookLearning value true", "min_learn_tc 0",
                "isready"});
    if (!white.got(white.until_prefix("readyok", 30s))) return "";
    opponent black;
    std::string moves, chosen;
    for (int k = 0; k < 7; ++k) {
        white.send({moves.empty() ? "position startpos" : "position startpos moves" + moves, "go depth 3"});
        const auto lines = white.until_prefix("bestmove ");
        if (said) said->insert(said->end(), lines.begin(), lines.end());
        if (!white.got(lines)) return "";
        const std::string move = lines.back().substr(9, 4);
        if (k == 3) chosen = move;
        const std::string reply = k < 3 ? BLACK_BOOK_REPLIES[k] : black.reply_to(move);
        if (k < 3) black.send({move, reply});
        if (reply.empty()) return "";
        moves += " " + move + " " + reply;
    }
    return chosen;
}
}  // namespace

TEST(OrvikBookLearning, UciGamesLearnToo) {
    session white;
    const std::string chosen = play_uci_game(white);
    ASSERT_FALSE(chosen.empty());
    white.send({"isready"});
    ASSERT_TRUE(white.got(white.until_prefix("readyok")));
    expect_learnt(white.dir.read("kvlearn.bin"), chosen);
}

// A learn book left at 0 bytes or cut short (a creation killed, a full disk) no longer
// turns learning off for good: the next learning makes it again and says so.
TEST(OrvikBookLearning, ALearnBookCutShortIsMadeAgain) {
    // A sound header of 20000 slots, and a file that ends long before its entries.
    std::string cut = std::string("KVBOOK101", 10) + std::string(2, '\0');
    for (uint32_t v : {20000u, 128u, 20u, 20000u})
        for (int i = 0; i < 4; ++i) cut += static_cast<char>(v >> (8 * i));
    cut.resize(1000, '\0');
    for (const std::string& left : {std::string(), cut}) {
        SCOPED_TRACE(left.size());
        session white({{"kvlearn.bin", left}});
        std::vector<std::string> said;
        const std::string chosen = play_uci_game(white, &said);
        ASSERT_FALSE(chosen.empty());
        white.send({"isready"});
        const auto lines = white.until_prefix("readyok");
        ASSERT_TRUE(white.got(lines));
        said.insert(said.end(), lines.begin(), lines.end());
        const std::string notice = "info string The learn book \"kvlearn.bin\" is cut short (" +
                                   std::string(left.empty() ? "0 bytes, shorter than its header"
                                                            : "1000 bytes, 400128 needed for 20000 entries") +
                                   ") and is made again";
        EXPECT_NE(std::find(said.begin(), said.end(), notice), said.end());
        expect_learnt(white.dir.read("kvlearn.bin"), chosen);
    }
}

TEST(OrvikBookLearning, WithoutTheWriteBitNothingIsLearnt) {
    session white;
    white.dir.write("lines.pgn", LINES);
    white.send({"xboard", "protover 2", "book_create lines.pgn 1009 20", "min_learn_tc 0"});
    const std::string chosen = play_xboard_game(white, 7);
    ASSERT_FALSE(chosen.empty());
    white.send({"ping 1"});
    ASSERT_TRUE(white.got(white.until_prefix("pong 1")));
    EXPECT_EQ(white.dir.read("kvlearn.bin"), "") << "book_learn 4 reads the learn book and never writes it";
}
