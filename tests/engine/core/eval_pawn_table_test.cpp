// Pawn-formation terms kept per formation: a position must score the same whether its
// formation was met before (with other pieces around it) or not.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/eval.h"
#include "core/eval_internal.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "eval_env.h"
#include "test_env.h"

namespace {

int fresh_pieces() {
    clear_pawn_table();
    return eval_pieces();
}

}  // namespace

// Known scores of positions where pieces decide pawn terms: a passed pawn blocked by a
// knight or a rook or nothing, a rook behind it, a centre pawn held by a bishop in
// front, rammed centre files. Each is scored after all the others have filled the table.
TEST(EvalPawnTable, KnownScoresOfPawnsMetBySeveralPieces) {
    eval_env();
    const struct {
        const char* fen;
        int pieces;
        int score;
    } cases[] = {
        {"4r1k1/5ppp/3N4/3P4/8/8/5PPP/3R2K1 w - - 0 1", 74, 494},
        {"4r1k1/5ppp/8/3P4/8/8/5PPP/3R2K1 w - - 0 1", 39, 119},
        {"4r1k1/5ppp/3n4/3P4/8/8/5PPP/3R2K1 w - - 0 1", 29, -231},
        {"4r1k1/5ppp/3r4/3P4/8/8/5PPP/3R2K1 w - - 0 1", 9, -411},
        {"4r1k1/5ppp/3n4/3P4/8/8/5PPP/6K1 w - - 0 1", -15, -775},
        {"rnbqkb1r/pppppppp/5n2/8/8/3B4/PPPPPPPP/RNBQK1NR w KQkq - 0 1", -13, -13},
        {"rnbqkbnr/pp3ppp/4p3/2ppP3/3P4/2P5/PP3PPP/RNBQKBNR w KQkq - 0 1", 23, 23},
        {"r3k2r/1pp2ppp/8/3P4/2n5/8/1PP2PPP/R3K2R w KQkq - 0 1", 24, -236},
        {"2r3k1/p4ppp/8/2PpP3/3p4/1N6/P4PPP/2R3K1 b - - 0 1", 72, -412},
    };
    for (int round = 0; round < 2; ++round) {
        if (round == 0) clear_pawn_table();
        for (const auto& c : cases) {
            const int side = setup(c.fen);
            lazy_margin[WHITE] = lazy_margin[BLACK] = 0;
            EXPECT_EQ(eval_pieces(), c.pieces) << c.fen << " round " << round;
            EXPECT_EQ(evaluate(side, -30000, 30000), c.score) << c.fen << " round " << round;
        }
    }
}

// Random games keep most formations while the pieces move: every position scores as
// with an empty table, and the bishop-colour and rammed-file data match too.
TEST(EvalPawnTable, RandomGamesScoreAsWithAnEmptyTable) {
    eval_env();
    const std::vector<std::string> starts = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
        "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N2N2/PP2BPPP/R2QKB1R w KQ - 0 1",
        "2r2rk1/1p3ppp/p3pn2/3p4/3P1B2/P1N1P3/1P3PPP/2RR2K1 w - - 0 1",
        "8/5pk1/6p1/3P4/1r6/6P1/5PK1/3R4 w - - 0 1",
    };
    std::mt19937 rng(7);
    int checked = 0, failures = 0;
    for (const std::string& fen : starts) {
        for (int game = 0; game < 6; ++game) {
            int side = setup(fen);
            for (int ply = 0; ply < 60; ++ply) {
                const int cached = eval_pieces();
                const eval_work_t seen = ew;
                const int fresh = fresh_pieces();
                ++checked;
                const bool same = cached == fresh && seen.rammed_files == ew.rammed_files &&
                                  seen.pawn_on_color[0][0] == ew.pawn_on_color[0][0] &&
                                  seen.pawn_on_color[0][1] == ew.pawn_on_color[0][1] &&
                                  seen.pawn_on_color[1][0] == ew.pawn_on_color[1][0] &&
                                  seen.pawn_on_color[1][1] == ew.pawn_on_color[1][1];
                if (!same && ++failures <= 5)
                    ADD_FAILURE() << board_to_fen(side, false) << ": " << cached << " from the table, " << fresh
                                  << " fresh";
                move_list_entry* list = move_list_start[0];
                const int n =
                    in_check_fn(side) ? generate_evasions(side, 0, list) : generate_legal_moves(side, 0, list);
                if (n == 0) break;
                make_move(side, list[rng() % n].move);
                side ^= 1;
            }
        }
    }
    EXPECT_GT(checked, 500);
}
