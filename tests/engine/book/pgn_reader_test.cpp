// The engine's PGN reader: tokens, results, comments and variations, tags, line numbers
// in its messages, and the loaders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/pgn_reader.h"
#include "book_env.h"
#include "core/board.h"
#include "core/state.h"
#include "front/game_record.h"
#include "front/handlers.h"

namespace {
struct read_game {
    pgn_tags tags;
    std::vector<std::string> tokens;
};

// Every game of a PGN text with its tags and move tokens; the messages in `messages`.
std::vector<read_game> read_all(const std::string& text, std::vector<std::string>* messages = nullptr) {
    write_file("in.pgn", text);
    output_capture out;
    pgn_pass p;
    EXPECT_TRUE(p.open("in.pgn", "rb"));
    std::vector<read_game> games;
    read_game g;
    while (p.next_game(&g.tags)) {
        g.tokens.clear();
        std::string t;
        while (p.next_token(&t)) g.tokens.push_back(t);
        games.push_back(g);
    }
    p.close();
    if (messages) *messages = out.lines();
    return games;
}
}  // namespace

TEST(PgnReader, ResultTokens) {
    for (const char* t : {"1-0", "0-1", "1/2-1/2", "1/2", "0", "1", "draw", "Draw", "DRAW", "1-0/2"})
        EXPECT_TRUE(is_result_token(t)) << t;
    for (const char* t : {"0-0", "0-0-0", "2-0", "1-2", "e4", "", "drawn", "1/3"})
        EXPECT_FALSE(is_result_token(t)) << t;
}

TEST(PgnReader, TokensCommentsVariationsAndTags) {
    work_folder folder;
    const struct {
        const char* what;
        const char* text;
        std::vector<std::string> tokens;
    } cases[] = {
        {"numbers joined and alone", "12.e4 12. e5 ... 13...Nf3 12 *", {"e4", "e5", "Nf3", "12"}},
        {"results and glyphs", "e4 $1 e5 1-0 0-1 1/2-1/2 draw Draw 0-0 *", {"e4", "e5", "0-0"}},
        {"comment holding parentheses", "e4 {a (b) c} e5 *", {"e4", "e5"}},
        {"nested variation with a comment", "e4 (d4 (c4) {a ) b} Nf3) e5 *", {"e4", "e5"}},
        {"long tokens are cut", "Nbd7abcdefghijklmnopqrstuvwxyz *", {"Nbd7abcdefghijklmno"}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        const auto games = read_all(k.text);
        ASSERT_EQ(games.size(), 1u);
        EXPECT_EQ(games[0].tokens, k.tokens);
    }

    // Tags: result codes, the FEN, an escaped quote, and # comment lines.
    const auto games = read_all(
        "[Event \"a \\\"quoted\\\" ] name\"]\n[Result \"1/2-1/2\"]\n# a comment line\n[FEN \"8/8/8/8/8/8/8/K6k w - - 0 1\"]\n"
        "\n1. Kb1 *\n"
        "[Result \"*\"]\n\n*\n[Result \"0-1\"]\n\n*\n[Result \"1-0\"]\n\n*\n");
    ASSERT_EQ(games.size(), 4u);
    EXPECT_EQ(games[0].tags.result, PGN_DRAW);
    EXPECT_EQ(games[0].tags.fen, "8/8/8/8/8/8/8/K6k w - - 0 1");
    EXPECT_EQ(games[0].tags.last, "FEN \"8/8/8/8/8/8/8/K6k w - - 0 1\"");
    EXPECT_EQ(games[1].tags.result, PGN_UNKNOWN);
    EXPECT_EQ(games[2].tags.result, PGN_BLACK_WON);
    EXPECT_EQ(games[3].tags.result, PGN_WHITE_WON);

    std::string value;
    EXPECT_TRUE(pgn_tag_value("Event \"a \\\"quoted\\\" ] name\"", "event", &value));
    EXPECT_EQ(value, "a \\\"quoted\\\" ] name");
    EXPECT_TRUE(pgn_tag_value("  White \"Orvik\"", "White", &value));
    EXPECT_EQ(value, "Orvik");
    EXPECT_FALSE(pgn_tag_value("WhiteElo \"2100\"", "White", &value)) << "a whole tag name, not its beginning";

    // A text before the first tag counts as a game without moves.
    EXPECT_EQ(read_all("{opening remark}\n\n[Result \"*\"]\n1. e4 *\n").size(), 2u);
}

TEST(PgnReader, MessagesNameTheirLines) {
    work_folder folder;
    std::vector<std::string> messages;
    const std::string long_comment = "{" + std::string(10050, 'x') + "\ne4 e5} d4 *\n";
    auto games = read_all("[Result \"*\"]\n\n" + long_comment, &messages);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(messages.at(0), "cr in book comment line 3 started at 3");
    EXPECT_EQ(games[0].tokens, (std::vector<std::string>{"e4", "e5}", "d4"})) << "the rest is read as move text";

    games = read_all("[Result \"*\"]\n\ne4 {never\nclosed\n", &messages);
    EXPECT_EQ(messages.at(0), "EOF at line 4 in book comment started at 3");
    EXPECT_EQ(games.at(0).tokens, std::vector<std::string>{"e4"});

    read_all("[Event \"broken\n[Result \"*\"]\n\ne4[Result \"*\"]\n*\n", &messages);
    EXPECT_EQ(messages.at(0), "cr in string line 1");
    EXPECT_EQ(messages.at(1), "[ at end of book move at line 4");
}

TEST(PgnReader, BookParseAndLoaders) {
    fresh_book_game();
    work_folder folder;
    write_file("games.pgn",
               "[Result \"1-0\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 1-0\n\n"
               "[Result \"*\"]\n\n1. d4 d5 2. Qxd5 Nf6 *\n\n"
               "[FEN \"4k3/8/8/8/8/8/4P3/4K3 w - - 0 40\"]\n\n40. e4 Kd7 *\n");
    output_capture out;
    book_parse("games.pgn");
    const auto lines = out.lines();
    const std::string bad = "bad move in book for side 0 \"Qxd5\": illegal move nmoves 8 line 7";
    EXPECT_NE(std::find(lines.begin(), lines.end(), bad), lines.end());
    EXPECT_EQ(lines.back(), "11 lines: ngames = 3 nmoves = 11") << "the skipped tokens of a game count too";

    // read_pgn: game 3 from its FEN, named and numbered from move 40.
    out.clear();
    EXPECT_EQ(pgn_load_game("games.pgn", 3), 1);
    EXPECT_EQ(record_length, 2);
    EXPECT_EQ(side_to_move, WHITE);
    EXPECT_STREQ(game_history[2].san, "Kd7");
    // Game 2 stops at its bad move; game 1 is named.
    EXPECT_EQ(pgn_load_game("games.pgn", 2), 0);
    EXPECT_EQ(record_length, 2);
    EXPECT_EQ(pgn_load_game("games.pgn", 1), 1);
    EXPECT_EQ(record_length, 5);
    EXPECT_EQ(eco_name, "C60 Ruy Lopez (Spanish opening)");
    run_line("read_pgn games.pgn 0");
    EXPECT_EQ(record_length, 5) << "a game number below 1 reads the first";
}

TEST(PgnReader, LongGamesAreCutAtTheHistory) {
    fresh_book_game();
    work_folder folder;
    std::string moves;
    for (int i = 0; i < 260; ++i) moves += "Nf3 Nf6 Ng1 Ng8 ";
    write_file("long.pgn", "[Result \"*\"]\n\n" + moves + "*\n");
    output_capture out;
    EXPECT_EQ(pgn_load_game("long.pgn", 1), 1);
    EXPECT_EQ(record_length, MAX_GAME_PLY - 1);
    const auto lines = out.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "game 1 is cut after 959 plies"), lines.end());
    book_parse("long.pgn");
    EXPECT_NE(out.text().find("game 1 is cut after 960 plies"), std::string::npos);
}
