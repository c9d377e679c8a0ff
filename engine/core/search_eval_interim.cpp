// Interim evaluation used until the full evaluation joins: material and a small
// centralisation term. Replaced by the evaluation module.
#include "core/board.h"
#include "core/search_eval.h"

int lazy_margin[2] = {60, 60};
int eval_complete = 1;
uint64_t eval_count = 0;

void eval_prepare() {}

int eval_pieces() {
    int s = 0;
    for (int side = 0; side < 2; ++side) {
        int sum = 0;
        for (int i = 1; i <= board.piece_count[side]; ++i) {
            const int sq = board.piece_list[side][i];
            const int f = file_of(sq), r = rank_index(sq);
            const int centre = 7 - (f < 4 ? 3 - f : f - 4) - (r < 4 ? 3 - r : r - 4);
            sum += board.piece[sq] == PAWN ? relative_rank(side, sq) * 2 : centre * 2;
        }
        s += side == WHITE ? sum : -sum;
    }
    return s;
}

int evaluate(int side, int, int) {
    ++eval_count;
    eval_complete = 1;
    const int s = board.material[WHITE] - board.material[BLACK] + eval_pieces();
    return side == WHITE ? s : -s;
}
