#include "eval_env.h"

#include "core/board.h"
#include "core/eval.h"
#include "test_env.h"

void eval_env() {
    static bool done = false;
    core_tables();
    if (done) return;
    done = true;
    eval_init();
    eval_prepare();
}

void mirror_board() {
    board_state m = board;
    for (int sq = 0; sq < 64; ++sq) {
        m.piece[sq ^ 56] = board.piece[sq];
        m.color[sq ^ 56] = board.color[sq] == static_cast<uint32_t>(NO_COLOR) ? board.color[sq] : board.color[sq] ^ 1u;
        m.moved[sq ^ 56] = board.moved[sq];
    }
    m.castled[WHITE] = board.castled[BLACK];
    m.castled[BLACK] = board.castled[WHITE];
    m.ep_square = board.ep_square < 0 ? -1 : board.ep_square ^ 56;
    board = m;
    recompute_board();
}

int eval_fen(const std::string& fen) {
    eval_env();
    const int side = setup(fen);
    lazy_margin[WHITE] = lazy_margin[BLACK] = 0;
    return evaluate(side, -30000, 30000);
}
