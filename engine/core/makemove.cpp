// Making and taking back moves, the null move, and the trial of a stored move.
#include "core/makemove.h"

#include "core/board.h"
#include "core/movegen.h"

namespace {

// A man of `colour` on `sq`, and an empty `sq`.
inline void put_man(board_state& b, int sq, uint32_t piece, int colour) {
    b.piece[sq] = piece;
    b.color[sq] = static_cast<uint32_t>(colour);
}
inline void clear_square(board_state& b, int sq) {
    b.piece[sq] = EMPTY;
    b.color[sq] = NO_COLOR;
}

// The rook's squares of a castling whose king goes from `from` to `to`.
inline int castling_rook_from(int from, int to) { return to > from ? from + 3 : from - 4; }
inline int castling_rook_to(int from, int to) { return to > from ? to - 1 : to + 1; }

// Moves the king and the rook of a castling from one pair of squares to the other: from
// the home squares when castling, back to them when the castling is taken back.
inline void shift_castling_men(int side, int king_from, int king_to, int rook_from, int rook_to) {
    board_state& b = board;
    put_man(b, king_to, KING, side);
    put_man(b, rook_to, ROOK, side);
    clear_square(b, king_from);
    clear_square(b, rook_from);
    b.piece_list[side][0] = king_to;
    b.list_index[king_to] = 0;
    const uint32_t ri = b.list_index[rook_from];
    b.piece_list[side][ri] = rook_to;
    b.list_index[rook_to] = ri;
    b.men[side] ^= square_bit[king_from] | square_bit[king_to] | square_bit[rook_from] | square_bit[rook_to];
    b.kinds[side][KING] ^= square_bit[king_from] | square_bit[king_to];
    b.kinds[side][ROOK] ^= square_bit[rook_from] | square_bit[rook_to];
}

}  // namespace

int make_move(int side, uint32_t move) {
    board_state& b = board;
    const int from = move_from(move), to = move_to(move);
    const int opp = side ^ 1;

    history_entry& h = game_history[++b.ply];
    h.key = b.hash_key;
    h.last_irreversible = b.last_irreversible;
    h.castling_rights = static_cast<uint8_t>(b.castling_rights);
    h.ep_square = static_cast<int8_t>(b.ep_square);
    h.move = move;
    h.captured = static_cast<int8_t>(b.piece[to]);

    uint64_t key = b.hash_key ^ ep_key(b.ep_square) ^ ep_key(-1);
    b.ep_square = -1;

    if (move & MOVE_CASTLE) {
        const int rook_from = castling_rook_from(from, to), rook_to = castling_rook_to(from, to);
        shift_castling_men(side, from, to, rook_from, rook_to);
        b.castled[side] = 1;
        key ^= zobrist_keys[side][KING][from] ^ zobrist_keys[side][KING][to] ^ zobrist_keys[side][ROOK][rook_from] ^
               zobrist_keys[side][ROOK][rook_to];
        b.last_irreversible = b.ply;
    } else if (move & MOVE_EP) {
        const int cap_sq = to > from ? to - 8 : to + 8;
        b.moved[from]++;
        put_man(b, to, PAWN, side);
        clear_square(b, from);
        clear_square(b, cap_sq);
        recompute_board();
        key = b.hash_key;
        b.last_irreversible = b.ply;
    } else {
        const uint32_t mover = b.piece[from];
        const bool capture = (move & MOVE_CAPTURE) != 0;
        const bool double_step = !capture && mover == PAWN && (to - from == 16 || to - from == -16);
        // A promotion code counts on a capture or a pawn's single step.
        const bool promotes = (capture || (mover == PAWN && !double_step)) && (move & MOVE_PROMOTION_CODE);
        const uint32_t now = promotes ? static_cast<uint32_t>(move_promotion(move)) : mover;
        // The new key first, so that its repetition counter is on its way while the
        // board changes.
        const uint32_t victim = b.piece[to];
        if (capture) key ^= zobrist_keys[opp][victim][to];
        if (promotes) key ^= zobrist_keys[side][now][from] ^ zobrist_keys[side][PAWN][from];
        key ^= zobrist_keys[side][now][from] ^ zobrist_keys[side][now][to];
        if (double_step) {
            // The en-passant square counts only when an enemy pawn stands beside.
            if (pawn_beside(to, opp)) {
                b.ep_square = (from + to) / 2;
                key ^= ep_key(-1) ^ ep_key(b.ep_square);
            }
        }
        __builtin_prefetch(&repetition_count[side][static_cast<uint32_t>(key) & 0xFFF], 1);

        if (capture) {
            b.moved[to]++;
            count_material(b, opp, victim, to, -1);
            const uint32_t idx = b.list_index[to];
            const int last = b.piece_count[opp];
            const int32_t last_sq = b.piece_list[opp][last];
            b.piece_list[opp][idx] = last_sq;
            b.list_index[last_sq] = idx;
            b.piece_list[opp][last] = -1;
            b.piece_count[opp] = last - 1;
            b.men[opp] ^= square_bit[to];
            b.kinds[opp][victim] ^= square_bit[to];
            if (mover == PAWN) {
                b.pawns_on_file[side][file_of(from)]--;
                b.pawns_on_file[side][file_of(to)]++;
            }
            b.last_irreversible = b.ply;
        } else if (mover == PAWN) {
            b.last_irreversible = b.ply;
        }
        if (promotes) {
            const int code = static_cast<int>(now);
            b.material[side] += piece_value[code] - piece_value[PAWN];
            b.piece_material[side] += piece_value[code];
            b.pawn_material[side] -= piece_value[PAWN];
            b.pawns_on_file[side][file_of(to)]--;
        }
        b.piece[to] = now;
        b.men[side] ^= square_bit[from] | square_bit[to];
        b.kinds[side][mover] ^= square_bit[from];
        b.kinds[side][now] ^= square_bit[to];
        b.moved[from]++;
        const uint32_t idx = b.list_index[from];
        b.piece_list[side][idx] = to;
        b.list_index[to] = idx;
        b.piece[from] = EMPTY;
        b.color[from] = NO_COLOR;
        b.color[to] = static_cast<uint32_t>(side);
    }

    if (castling_squares[from] | castling_squares[to]) {
        const uint32_t rights = castling_rights_from_counters();
        key ^= castle_key(b.castling_rights) ^ castle_key(rights);
        b.castling_rights = rights;
    }

    b.hash_key = key;
    const uint8_t count = ++repetition_count[side][static_cast<uint32_t>(key) & 0xFFF];
    if (count < 2) return 0;
    int reps = 0;
    const int stop = b.last_irreversible > 1 ? b.last_irreversible : 1;
    for (int i = b.ply - 1; i >= stop; i -= 2)
        if (game_history[i].key == key) ++reps;
    return reps;
}

void unmake_move(int side, uint32_t move) {
    board_state& b = board;
    const int from = move_from(move), to = move_to(move);
    const int opp = side ^ 1;
    repetition_count[side][b.key_lo() & 0xFFF]--;

    const history_entry& h = game_history[b.ply];
    b.hash_key = h.key;
    b.ep_square = h.ep_square;
    b.last_irreversible = h.last_irreversible;
    b.castling_rights = h.castling_rights;

    if (move & MOVE_CASTLE) {
        // Back from the castled squares to the home squares.
        shift_castling_men(side, to, from, castling_rook_to(from, to), castling_rook_from(from, to));
        b.castled[side] = 0;
    } else if (move & MOVE_EP) {
        const int cap_sq = to > from ? to - 8 : to + 8;
        b.moved[from]--;
        put_man(b, from, PAWN, side);
        clear_square(b, to);
        put_man(b, cap_sq, PAWN, opp);
        recompute_board();
        b.hash_key = h.key;
    } else {
        b.moved[from]--;
        const uint32_t moved_man = b.piece[to];
        const uint32_t idx = b.list_index[to];
        b.piece_list[side][idx] = from;
        b.list_index[from] = idx;
        b.piece[from] = b.piece[to];
        b.color[from] = static_cast<uint32_t>(side);
        const uint32_t victim = static_cast<uint32_t>(h.captured);
        b.piece[to] = victim;
        b.color[to] = victim ? static_cast<uint32_t>(opp) : static_cast<uint32_t>(NO_COLOR);
        if (move & MOVE_PROMOTION_CODE) {
            const int code = move_promotion(move);
            b.piece[from] = PAWN;
            b.material[side] -= piece_value[code] - piece_value[PAWN];
            b.piece_material[side] -= piece_value[code];
            b.pawn_material[side] += piece_value[PAWN];
            b.pawns_on_file[side][file_of(to)]++;
        }
        b.men[side] ^= square_bit[from] | square_bit[to];
        b.kinds[side][b.piece[from]] ^= square_bit[from];
        b.kinds[side][moved_man] ^= square_bit[to];
        if (move & MOVE_CAPTURE) {
            b.moved[to]--;
            b.men[opp] |= square_bit[to];
            b.kinds[opp][victim] |= square_bit[to];
            const int n = ++b.piece_count[opp];
            b.piece_list[opp][n] = to;
            b.piece_list[opp][n + 1] = -1;
            b.list_index[to] = static_cast<uint32_t>(n);
            count_material(b, opp, victim, to, 1);
            if (b.piece[from] == PAWN) {
                b.pawns_on_file[side][file_of(to)]--;
                b.pawns_on_file[side][file_of(from)]++;
            }
        }
    }
    b.ply--;
}

uint32_t find_and_make_move(int side, uint32_t move15, int* reps) {
    move_list_entry scratch[256];
    const int n = generate_moves(side, 0, scratch);
    uint32_t found = 0;
    for (int i = 0; i < n; ++i) {
        const uint32_t m = scratch[i].move;
        if ((m & MOVE_STORED) == (move15 & MOVE_STORED) && board.piece[move_to(m)] != KING) {
            found = m;
            break;
        }
    }
    return try_move(side, found, reps);
}

uint32_t try_move(int side, uint32_t word, int* reps) {
    if (word == 0) return 0;
    history_slot_guard keep;
    const int r = make_move(side, word);
    if (in_check_fn(side)) {
        if (reps) *reps = 0;
        unmake_move(side, word);
        return 0;
    }
    if (reps) *reps = (board.ply - board.last_irreversible >= FIFTY_MOVE_PLIES) ? FIFTY_MOVE_PLIES : r;
    unmake_move(side, word);
    return word;
}

void make_null_move(int side) {
    (void)side;
    board_state& b = board;
    history_entry& h = game_history[++b.ply];
    h.key = b.hash_key;
    h.last_irreversible = b.last_irreversible;
    h.castling_rights = static_cast<uint8_t>(b.castling_rights);
    h.ep_square = static_cast<int8_t>(b.ep_square);
    h.move = 0;
    h.captured = 0;
    h.flags = 0;
    b.hash_key ^= ep_key(b.ep_square) ^ ep_key(-1);
    b.ep_square = -1;
    b.last_irreversible = b.ply;
}

void unmake_null_move(int side) {
    (void)side;
    board_state& b = board;
    const history_entry& h = game_history[b.ply];
    b.hash_key = h.key;
    b.ep_square = h.ep_square;
    b.last_irreversible = h.last_irreversible;
    b.castling_rights = h.castling_rights;
    b.ply--;
}
