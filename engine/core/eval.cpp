// The evaluation driver: lazy answers from material, the endings against a bare king,
// and the scaling of endings the stronger side cannot win.
#include "core/eval.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "core/eval_internal.h"
#include "core/settings.h"

int lazy_margin[2] = {0, 0};
int eval_complete = 1;
uint64_t eval_count = 0;
uint64_t eval_lazy_count = 0;

namespace {

bool prepared = false;

inline int kdist(int a, int b) { return king_distance[a][b]; }
inline int edge_distance(int sq) {
    const int f = file_of(sq), r = rank_index(sq);
    return std::min(std::min(f, 7 - f), std::min(r, 7 - r));
}

// Piece counts of one side, walked from its list (the special endings run before
// eval_pieces has gathered anything).
void count_side(int side, int count[8], int* bishop_sq, int* knight_sq) {
    for (int p = 0; p < 8; ++p) count[p] = 0;
    for (int i = 1; i <= board.piece_count[side]; ++i) {
        const int sq = board.piece_list[side][i];
        const int p = static_cast<int>(board.piece[sq]);
        count[p]++;
        if (p == BISHOP) *bishop_sq = sq;
        if (p == KNIGHT) *knight_sq = sq;
    }
}

inline bool all_on_file(int side, int f) { return ew.pawns[side] != 0 && (ew.pawns[side] & ~file_mask[f]) == 0; }

}  // namespace

void eval_init() {
    eval_tables_init();
    clear_pawn_table();
    kpk_generate();
    prepared = false;
    lazy_margin[WHITE] = lazy_margin[BLACK] = 0;
    eval_complete = 1;
}

void eval_prepare() {
    if (prepared) return;
    prepared = true;
    eval_tables_prepare();
    clear_pawn_table();
}

int eval_root_margins() {
    eval_prepare();
    const int e = eval_pieces();
    lazy_margin[WHITE] = e + LAZY_MARGIN_START;
    lazy_margin[BLACK] = LAZY_MARGIN_START - e;
    return e;
}

bool rook_pawn_draw(int strong, int corner_file, int side) {
    const int weak = strong ^ 1;
    int rear = -1, lead = -1;
    // Among pawns on one rank the one on the lowest square counts: the pawn set, not the
    // piece list, whose order depends on the moves that led to the position.
    for (uint64_t pawns = ew.pawns[strong]; pawns; pawns &= pawns - 1) {
        const int sq = std::countr_zero(pawns);
        const int r = relative_rank(strong, sq);
        if (rear < 0 || r < relative_rank(strong, rear)) rear = sq;
        if (lead < 0 || r > relative_rank(strong, lead)) lead = sq;
    }
    if (rear < 0) return false;
    if (front_span[strong][rear] & ew.pawns[weak]) return false;
    const int corner = strong == WHITE ? 56 + corner_file : corner_file;
    const int defender = board.piece_list[weak][0];
    const int defender_distance = kdist(defender, corner);
    if (defender_distance <= 1) return true;
    int d = kdist(lead, corner);
    if (d > 5) d = 5;
    const int strong_king = kdist(board.piece_list[strong][0], corner);
    if (d > strong_king) d = strong_king;
    return side == strong ? defender_distance < d - 1 : defender_distance < d;
}

int eval_no_pawns(int side, int strong) {
    eval_complete = 1;
    const int weak = strong ^ 1;
    int score = 0;
    if (board.material[strong] == 0) return 0;
    int count[8];
    int bishop_sq = -1, knight_sq = -1;
    count_side(strong, count, &bishop_sq, &knight_sq);
    const int sk = board.piece_list[strong][0], wk = board.piece_list[weak][0];
    const int men = board.piece_count[strong];
    if (men == 2 && count[KNIGHT] == 1 && count[BISHOP] == 1) {
        // Knight and bishop: drive the king to a corner of the bishop's colour.
        const int c = square_color(bishop_sq);
        const int corner = kdist(A1, wk) < kdist(H8, wk) ? A1 : H8;
        const int light_corner = kdist(A8, wk) < kdist(H1, wk) ? A8 : H1;
        const int target = c == 1 ? corner : light_corner;
        score = -3 * kdist(sk, wk) - kdist(sk, knight_sq) - square_distance_sum[sk][wk] - 16 * edge_distance(wk) +
                8 * (125 - kdist(target, wk));
    } else if ((men == 2 && count[KNIGHT] == 2) || board.piece_material[strong] < piece_value[ROOK]) {
        score = 0;
    } else if (men == 2 && count[BISHOP] == 2) {
        int first = -1, same = 0;
        for (int i = 1; i <= board.piece_count[strong]; ++i) {
            const int sq = board.piece_list[strong][i];
            if (first < 0)
                first = sq;
            else
                same = square_color(first) == square_color(sq);
        }
        score = same ? 0 : (50 - kdist(sk, wk)) * 10 - centre_table[wk] + board.piece_material[strong];
    } else {
        score = (50 - kdist(sk, wk)) * 10 - centre_table[wk] + board.piece_material[strong];
    }
    return side == strong ? score : -score;
}

int eval_king_vs_pawns(int side, int strong) {
    eval_complete = 1;
    const int weak = strong ^ 1;
    const int n = board.piece_count[strong];
    if (n == 0) return 0;
    const int sk = board.piece_list[strong][0], wk = board.piece_list[weak][0];
    int score = 0;
    if (n == 1) {
        score = eval_kpk(sk, wk, board.piece_list[strong][1], strong, side);
    } else {
        for (int i = 1; i <= n; ++i) {
            const int sq = board.piece_list[strong][i];
            const int rank = relative_rank(strong, sq);
            const int f = file_of(sq);
            int v = (f == 0 || f == 7) ? 5 : 150;
            const int r = rank - (side == weak ? 1 : 0);
            if (relative_rank(strong, wk) < r || kdist(sq, wk) >= 8 - r) {
                v = (rank * 5 + 50) * 10;
            } else {
                v += 10 * (rank - 1);
            }
            int stop = sq + (strong == WHITE ? 8 : -8);
            if (rank == 1) stop += strong == WHITE ? 8 : -8;
            stop &= 63;  // a pawn on its last rank: only an unchecked set-up holds one
            v += 8 * (square_distance_sum[wk][stop] - square_distance_sum[sk][stop]);
            if (v >= KING_VS_PAWNS_MIN_VALUE) score += v;
        }
    }
    return side == strong ? score : -score;
}

int evaluate(int side, int alpha, int beta) {
    ++eval_count;
    const board_state& b = board;
    const int other = side ^ 1;

    // A bare king against pieces only or pawns only.
    if ((b.pawn_material[WHITE] == 0 || b.pawn_material[BLACK] == 0) && feature_on(OFF_ENDINGS)) {
        if (b.piece_count[WHITE] == 0) {
            if (b.piece_material[BLACK] == 0) return eval_king_vs_pawns(side, BLACK);
            if (b.pawn_material[BLACK] == 0) return eval_no_pawns(side, BLACK);
        }
        if (b.piece_count[BLACK] == 0) {
            if (b.piece_material[WHITE] == 0) return eval_king_vs_pawns(side, WHITE);
            if (b.pawn_material[WHITE] == 0) return eval_no_pawns(side, WHITE);
        }
    }

    const bool both_pieces = b.piece_material[WHITE] != 0 && b.piece_material[BLACK] != 0;
    if (both_pieces && b.pawn_material[WHITE] != 0 && b.pawn_material[BLACK] != 0 && feature_on(OFF_LAZY)) {
        const int d = b.material[side] - b.material[other];
        if (lazy_margin[side] + d <= alpha) {
            ++eval_lazy_count;
            eval_complete = 0;
            return lazy_margin[side] + d;
        }
        if (d - lazy_margin[other] >= beta) {
            ++eval_lazy_count;
            eval_complete = 0;
            return d - lazy_margin[other];
        }
    }

    const int p = eval_pieces();
    if (both_pieces) {
        if (p > lazy_margin[WHITE])
            lazy_margin[WHITE] = p;
        else if (-p > lazy_margin[BLACK])
            lazy_margin[BLACK] = -p;
    }
    int score = b.material[WHITE] - b.material[BLACK] + p;
    // The stronger side; at an even score, a side without pawns facing pawns counts
    // as the stronger one, so that a position and its colour mirror scale alike.
    int strong = score >= 1 ? WHITE : BLACK;
    if (score == 0 && b.pawn_material[WHITE] == 0 && b.pawn_material[BLACK] != 0) strong = WHITE;
    const int weak = strong ^ 1;
    if (!feature_on(OFF_ENDINGS)) return side == WHITE ? score : -score;

    if (b.pawn_material[strong] == 0) {
        const int pieces = b.piece_material[strong];
        if (pieces < piece_value[ROOK]) {
            if (b.pawn_material[weak] != 0)
                score = strong == WHITE ? (score - MINOR_VS_PAWNS_OFFSET) / MINOR_VS_PAWNS_DIVISOR
                                        : (score + MINOR_VS_PAWNS_OFFSET) / MINOR_VS_PAWNS_DIVISOR;
            else
                score = 0;
        } else {
            const int diff = pieces - b.piece_material[weak];
            const int men = b.piece_count[strong];
            const bool one_queen = men == 1 && ew.count[strong][QUEEN] == 1;
            const bool two_knights = men == 2 && ew.count[strong][KNIGHT] == 2;
            const bool same_bishops = men == 2 && ew.count[strong][BISHOP] == 2 &&
                                      square_color(ew.bishop_sq[strong][0]) == square_color(ew.bishop_sq[strong][1]);
            if ((diff <= piece_value[BISHOP] && (!one_queen || diff < QUEEN_WIN_MARGIN)) || two_knights || same_bishops)
                score /= 4;
        }
    } else if (b.piece_material[strong] == piece_value[BISHOP] && ew.count[strong][BISHOP] == 1 &&
               b.piece_count[strong] == std::popcount(ew.pawns[strong]) + 1) {
        // Bishop and rook pawns of the wrong colour.
        const int light = square_color(ew.bishop_sq[strong][0]) == 0;
        const int wrong_file = (strong == WHITE) == (light != 0) ? 7 : 0;
        bool candidate = all_on_file(strong, wrong_file);
        if (!candidate && std::popcount(ew.pawns[strong]) == 2 && b.piece_material[weak] == piece_value[BISHOP] &&
            ew.count[weak][BISHOP] == 1 &&
            square_color(ew.bishop_sq[weak][0]) != square_color(ew.bishop_sq[strong][0]) &&
            (ew.pawns[strong] & file_mask[wrong_file]) != 0)
            candidate = true;
        if (candidate && rook_pawn_draw(strong, wrong_file, side)) return 0;
    }

    if (b.piece_material[WHITE] == 0 && b.piece_material[BLACK] == 0) {
        const int first = strong == WHITE ? 7 : 0;
        if (all_on_file(strong, first) && rook_pawn_draw(strong, first, side)) return 0;
        if (all_on_file(strong, 7 - first) && rook_pawn_draw(strong, 7 - first, side)) return 0;
    }
    return side == WHITE ? score : -score;
}
