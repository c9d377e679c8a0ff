// Opening names: the table is the generator's output on eco.pgn, and positions are
// named whatever the move order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/eco.h"
#include "book/pgn_tools.h"
#include "book_env.h"
#include "core/board.h"
#include "core/state.h"
#include "front/game_record.h"
#include "front/handlers.h"
#include "front/new_game.h"
#include "front/pgn_record.h"

TEST(Eco, TableIsTheGeneratorsOutputOnEcoPgn) {
    fresh_book_game();
    work_folder folder;
    output_capture out;
    pelvat_pgn(ORVIK_TEST_DATA "/eco.pgn", "table.inc", "e", "", "", 0, 0);
    const std::string made = read_file("table.inc");
    const std::string committed = read_file(ORVIK_BOOK_SOURCE "/eco_table.inc");
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(made == committed) << "regenerate engine/book/eco_table.inc with pelvat_pgn eco.pgn <out> e";

    int rows = 0, white = 0, without_variation = 0;
    const eco_entry* row = eco_table;
    for (; row->key[0] || row->key[1]; ++row) {
        ++rows;
        if (row->side == WHITE) ++white;
        if (!row->variation[0]) ++without_variation;
    }
    EXPECT_EQ(rows, 2014);
    EXPECT_EQ(white, 991);
    EXPECT_EQ(without_variation, 368);
    EXPECT_STREQ(row->eco, "");
}

TEST(Eco, NamesByPositionAndSide) {
    fresh_book_game();
    const struct {
        std::vector<std::string> moves;
        const char* name;
    } cases[] = {
        {{"e4", "e5", "Nf3", "Nc6", "Bb5"}, "C60 Ruy Lopez (Spanish opening)"},
        {{"b4", "Nh6"}, "A00 Polish (Tuebingen variation)"},
        {{"Nf3", "d5", "d4"}, "D02 Queen's pawn game"},
        {{"d4", "d5", "Nf3"}, "D02 Queen's pawn game"},
        {{"e4", "e5", "Bc4", "Nf6", "d4", "exd4", "Nf3"}, "C43 Petrov (Urusov gambit)"},
        {{"e4", "e5", "Nf3", "Nf6", "d4", "exd4", "Bc4"}, "C43 Petrov (Urusov gambit)"},
        {{"e4", "c5", "Nc3", "d6", "Nf3", "Nf6", "d4", "cxd4", "Nxd4", "a6"}, "B90 Sicilian (Najdorf)"},
        {{"e4", "c5", "Nf3", "d6", "d4", "cxd4", "Nxd4", "Nf6", "Nc3", "a6", "a3"}, "B90 Sicilian (Najdorf)"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        new_game(NEW_GAME_FULL);
        for (const std::string& m : k.moves) {
            play({m});
            eco_update_game(side_to_move);
        }
        EXPECT_EQ(eco_name, k.name);
    }
    EXPECT_EQ(eco_code, "B90");
    EXPECT_EQ(opening_name, "Sicilian");
    EXPECT_EQ(variation_name, "Najdorf");

    // Found only with its own side to move; nothing is changed by a miss.
    new_game(NEW_GAME_FULL);
    play({"d4", "d5", "Nf3"});
    std::string text = "kept";
    EXPECT_EQ(eco_lookup(BLACK, &text, board.key_lo(), board.key_hi(), nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(eco_lookup(WHITE, &text, board.key_lo(), board.key_hi(), nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(text, "D02 Queen's pawn game");

    // The eco command, with the prefix under xboard.
    new_game(NEW_GAME_FULL);
    output_capture out;
    run_line("eco");
    xboard_mode = 2;
    run_line("eco");
    xboard_mode = 0;
    EXPECT_EQ(out.lines(),
              (std::vector<std::string>{"Sorry, don't know the opening", "telluser Sorry, don't know the opening"}));
}
