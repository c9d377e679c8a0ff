// Positional terms: pawn structure, per-piece terms, king safety, and the scaling of
// drawish material.
#include <bit>
#include <cstdlib>

#include "core/eval.h"
#include "core/eval_internal.h"
#include "core/movegen.h"
#include "core/settings.h"

eval_work_t ew;
int eval_stage = 0;

namespace {

inline bool has(uint64_t set, int sq) { return (set >> sq) & 1; }
inline int kdist(int a, int b) { return king_distance[a][b]; }
// The square in front of a pawn (wrapped onto the board for a pawn on its last rank,
// which only an unchecked set-up can hold).
inline int front_square(int side, int sq) { return (side == WHITE ? sq + 8 : sq - 8) & 63; }
inline int clamp8(int d) { return d < -8 ? -8 : d > 8 ? 8 : d; }
inline int stage_of(int piece_material_total) {
    if (piece_material_total >= STAGE_OPENING_PIECES) return 0;
    if (piece_material_total < STAGE_BARE_PIECES) return LAST_STAGE;
    return (STAGE_OPENING_PIECES - piece_material_total) >> STAGE_STEP_SHIFT;
}

// ---- mobility of bishops and rooks ---------------------------------------------------
// The square nearest to `from` among `men` (all on ray d of `from`).
inline int nearest_on_ray(uint64_t men, int d) {
    return ray_ascends(d) ? __builtin_ctzll(men) : 63 - __builtin_clzll(men);
}
// Squares of `set` (at most a few: a king zone met by a ray).
inline int few_count(uint64_t set) {
    int n = 0;
    for (; set; set &= set - 1) ++n;
    return n;
}
// Walks the ray from `from` in direction `d` to the first man: adds the empty squares
// passed to `empty` and the squares near the king met (the man's own too) to `near_count`.
// Returns the man's square, or -1 when the ray is empty to the edge.
inline int walk_ray(int from, int d, uint64_t occupied, uint64_t near, int& empty, int& near_count) {
    const uint64_t ray = ray_mask[from][d];
    const uint64_t men = ray & occupied;
    if (men == 0) {
        empty += ray_length[from][d];
        near_count += few_count(ray & near);
        return -1;
    }
    const int first = nearest_on_ray(men, d);
    empty += kdist(from, first) - 1;
    // Mostly the ray misses the king's zone: then the part up to the man need not be cut.
    if (const uint64_t ray_near = ray & near) near_count += few_count(ray_near & ~ray_mask[first][d]);
    return first;
}

// NEAR: some ray of the piece (on an empty board) meets the enemy king's zone; when
// none does, the zone is left out of the walks altogether.
template <int PIECE, bool NEAR>
[[gnu::always_inline]] inline int slider_rays(int side, int s) {
    const int opp = side ^ 1;
    const int ek = ew.king[opp];
    const int st = ew.stage;
    // The enemy king's square and its neighbours.
    const uint64_t near = NEAR ? ew.king_zone[opp] : 0;
    const uint64_t occupied = ew.occupied;
    int direct = 0, xray = 0, bonus = 0;
    int near_direct = 0, near_xray = 0;
    const int first_dir = PIECE == BISHOP ? 4 : 0;
    // Unrolled, each ray's direction (and so its scan order) is known when compiling.
#pragma GCC unroll 4
    for (int d = first_dir; d < first_dir + 4; ++d) {
        // Squares run from s outwards; along a ray the king distance counts the steps.
        const int first = walk_ray(s, d, occupied, near, direct, near_direct);
        if (first < 0) continue;
        const int fp = static_cast<int>(board.piece[first]);
        const int fc = static_cast<int>(board.color[first]);
        if (fp == PAWN || fp == KING) continue;
        if (PIECE == ROOK && fc == side && (fp == ROOK || fp == QUEEN) &&
            (file_of(first) == file_of(s) || rank_distance[first][ek] <= 1))
            bonus += fp == ROOK ? BATTERY_ROOK : BATTERY_QUEEN;
        const int target = walk_ray(first, d, occupied, near, xray, near_xray);
        if (target < 0) continue;
        const int tp = static_cast<int>(board.piece[target]);
        const int tc = static_cast<int>(board.color[target]);
        if (tc == opp) {
            if (tp > PIECE) {
                if (fc == opp) {
                    if (fp != tp) bonus += tp == KING ? PIN_ON_KING : PIN_ON_PIECE;
                } else {
                    bonus += tp == KING ? DISCOVERY_ON_KING : DISCOVERY_ON_PIECE;
                }
            } else if (tp != PAWN) {
                bonus += XRAY_LESSER_PIECE;
            }
        } else if (PIECE == ROOK && file_of(target) == file_of(s) && (tp == ROOK || tp == QUEEN)) {
            bonus += tp == ROOK ? ROOK_XRAY_OWN_ROOK : ROOK_XRAY_OWN_QUEEN;
        }
    }
    if (NEAR) bonus += near_direct * mobility_king_weight[st] + near_xray * xray_king_weight[st];
    int n = direct + xray / 2;
    if (n > MOBILITY_MOST) n = MOBILITY_MOST;
    return (PIECE == BISHOP ? bishop_mobility[n] : rook_mobility[n]) + bonus;
}

template <int PIECE>
[[gnu::always_inline]] inline int slider_mobility(int side, int s) {
    if (!feature_on(OFF_MOBILITY)) return 0;
    if (attack_mask[PIECE][s] & ew.king_zone[side ^ 1]) return slider_rays<PIECE, true>(side, s);
    return slider_rays<PIECE, false>(side, s);
}

// Outpost term of a knight or bishop: `unguarded` when no enemy pawn can attack the
// square, `guarded` when an own pawn also protects it.
inline int outpost(int side, int s, int guarded_mult) {
    int v = knight_outpost[side][s];
    if (v <= 0) return 0;
    const bool protected_sq = (pawn_guard_mask[side][s] & ew.pawns[side]) != 0;
    if ((outpost_span[side][s] & ew.pawns[side ^ 1]) == 0) return protected_sq ? guarded_mult * v : v;
    return protected_sq ? OUTPOST_GUARDED_ATTACKABLE : 0;
}

// ---- pawns ---------------------------------------------------------------------------
// Pawn terms shared by pure pawn endings and queen endings.
int ending_pawns(int side, bool queen_ending) {
    const int opp = side ^ 1;
    const int st = ew.stage;
    const int own_king = ew.king[side], enemy_king = ew.king[opp];
    const uint64_t own = ew.pawns[side], enemy = ew.pawns[opp];
    int sum = 0;
    for (uint64_t set = own; set; set &= set - 1) {
        const int s = __builtin_ctzll(set);
        const int f = file_of(s);
        const int r = relative_rank(side, s);
        const int front = front_square(side, s);
        int v = kdist(enemy_king, s) + ending_pawn_value[side][s] + stage_pawn_bonus[st];
        if (board.color[front] == static_cast<uint32_t>(opp)) v -= PAWN_BLOCKED;
        if ((adjacent_files_mask[f] & own) == 0)
            v += isolated_by_enemy[board.pawns_on_file[opp][f]] + isolated_by_file[f];
        v += doubled_value[board.pawns_on_file[side][f]];
        // Only the side's front pawn on a file is looked at as a passer or a candidate.
        if (board.pawns_on_file[side][f] == 1 || (front_span[side][s] & own) == 0) {
            if ((passed_span[side][s] & enemy) == 0) {
                if (queen_ending)
                    v += front == enemy_king ? queen_blocked_value[r] : queen_passed_value[r];
                else
                    v += passed_value[st][f][r];
                v += passed_file_bonus[f];
                if ((pawn_guard_mask[side][s] | pawn_beside_mask[s]) & own) v += supported_passer_ending[r];
                if (!has(pawn_square_mask[side][s], enemy_king))
                    v += queen_ending ? outside_square_queen_ending[r] : outside_square_pawn_ending[r];
                const int kd = kdist(own_king, front);
                if (kd < 3) v += king_support_value[r][kd];
                v += PASSER_KING_FILES_BASE + PASSER_KING_FILES_STEP * file_distance[enemy_king][s];
            } else if (board.pawns_on_file[opp][f] == 0) {
                v += candidate_value[st][r];
            }
        }
        sum += v;
    }
    return sum;
}

// Pawn structure with pieces on the board (middle game, or stages 9 and 10). What the
// pawns alone decide is kept per pawn formation and stage in a small table; the terms
// that look at the pieces (men in front of the pawns, rooks behind passed pawns) are
// added at every call.
// One passed pawn at most per file takes the passed-pawn terms (the rearmost), so
// its other facts are kept by file.
struct alignas(64) pawn_entry {
    uint64_t pawns[2];
    uint64_t passers[2];  // passed pawns that take the passed-pawn terms
    int32_t fixed[2];     // each side's sum of the terms the pawns alone decide
    int8_t stage;         // -1: empty slot
    uint8_t rammed_files;
    uint8_t alone[2];      // files of those passers alone on their file
    uint8_t supported[2];  // files of those passers with an own pawn beside or guarding
    uint8_t on_color[2][2];
};
constexpr int PAWN_TABLE_BITS = 12;
pawn_entry pawn_table[1 << PAWN_TABLE_BITS];

void fill_pawn_side(pawn_entry& e, int side, bool ending) {
    const int opp = side ^ 1;
    const int st = ew.stage;
    const uint64_t own = ew.pawns[side], enemy = ew.pawns[opp];
    int sum = 0;
    e.on_color[side][0] = e.on_color[side][1] = 0;
    e.passers[side] = e.alone[side] = e.supported[side] = 0;
    for (uint64_t set = own; set; set &= set - 1) {
        const int s = __builtin_ctzll(set);
        const int f = file_of(s);
        const int r = relative_rank(side, s);
        e.on_color[side][square_color(s)]++;
        int v = (ending ? ending_pawn_value[side][s] : psq[side][PAWN][s]) + stage_pawn_bonus[st];
        if (has(enemy, front_square(side, s))) e.rammed_files = static_cast<uint8_t>(e.rammed_files | 1u << f);
        if ((adjacent_files_mask[f] & own) == 0)
            v += isolated_by_enemy[board.pawns_on_file[opp][f]] + isolated_by_file[f];
        v += doubled_value[board.pawns_on_file[side][f]];
        const bool passed = (passed_span[side][s] & enemy) == 0;
        if (passed) {
            if (board.pawns_on_file[side][f] == 1 || (rear_span[side][s] & own) == 0) {
                e.passers[side] |= 1ULL << s;
                if (board.pawns_on_file[side][f] + board.pawns_on_file[opp][f] == 1)
                    e.alone[side] = static_cast<uint8_t>(e.alone[side] | 1u << f);
                if ((pawn_guard_mask[side][s] | pawn_beside_mask[s]) & own)
                    e.supported[side] = static_cast<uint8_t>(e.supported[side] | 1u << f);
            }
        } else if (board.pawns_on_file[opp][f] == 0) {
            if ((support_behind_mask[side][s] & own) == 0) {
                if (r == 1 || r == 2) v -= BACKWARD_HALF_OPEN;
            } else {
                v += candidate_value[st][r];
            }
        }
        sum += v;
    }
    e.fixed[side] = sum;
}

inline pawn_entry& pawn_slot() {
    const uint64_t w = ew.pawns[WHITE], b = ew.pawns[BLACK];
    const uint64_t mix = w * 0x9E3779B97F4A7C15ULL ^ (b + static_cast<uint64_t>(ew.stage)) * 0xC2B2AE3D27D4EB4FULL;
    return pawn_table[mix >> (64 - PAWN_TABLE_BITS)];
}

const pawn_entry& pawn_entry_now(bool ending) {
    const uint64_t w = ew.pawns[WHITE], b = ew.pawns[BLACK];
    pawn_entry& e = pawn_slot();
    if (e.stage == ew.stage && e.pawns[WHITE] == w && e.pawns[BLACK] == b) return e;
    e.pawns[WHITE] = w;
    e.pawns[BLACK] = b;
    e.stage = static_cast<int8_t>(ew.stage);
    e.rammed_files = 0;
    fill_pawn_side(e, WHITE, ending);
    fill_pawn_side(e, BLACK, ending);
    return e;
}

int structure_pawns(int side, bool ending, const pawn_entry& e) {
    const int opp = side ^ 1;
    const int st = ew.stage;
    const uint64_t own = ew.pawns[side], enemy_men = ew.men[opp];
    int sum = feature_on(OFF_PAWNS) ? e.fixed[side] : 0;
    ew.pawn_on_color[side][0] = e.on_color[side][0];
    ew.pawn_on_color[side][1] = e.on_color[side][1];
    // A man of the other side right in front (the squares wrap as front_square's do).
    const uint64_t fronts = side == WHITE ? std::rotl(own, 8) : std::rotr(own, 8);
    sum -= PAWN_BLOCKED * few_count(fronts & enemy_men);
    if (!ending) {
        // Centre pawns on their home squares held back by a man in front.
        const int d2 = relative_square(side, D2), e2 = relative_square(side, E2);
        if (has(own, d2) && has(ew.occupied, front_square(side, d2))) sum -= CENTRE_PAWN_HELD;
        if (has(own, e2) && has(ew.occupied, front_square(side, e2))) sum -= CENTRE_PAWN_HELD;
    }
    const int w6 = rook_behind_weight[st];
    for (uint64_t set = feature_on(OFF_PASSERS) ? e.passers[side] : 0; set; set &= set - 1) {
        const int s = __builtin_ctzll(set);
        const int f = file_of(s);
        const int r = relative_rank(side, s);
        const int front = front_square(side, s);
        if (w6 != 0 && (!ending || ((e.alone[side] >> f) & 1))) {
            // The first man behind the pawn on its file.
            const int step = side == WHITE ? -8 : 8;
            for (int b = s + step; b >= 0 && b < 64; b += step) {
                if (board.piece[b] == EMPTY) continue;
                if (board.piece[b] == ROOK)
                    sum += board.color[b] == static_cast<uint32_t>(side) ? w6 : -enemy_rook_behind[st];
                break;
            }
        }
        if (has(enemy_men, front)) {
            int rr = r;
            if (board.piece[front] == KNIGHT && r > 2) --rr;
            sum += blocked_passed_value[st][f][rr];
        } else {
            sum += passed_value[st][f][r];
            if ((e.supported[side] >> f) & 1) sum += supported_passer_middle[r];
        }
    }
    return sum;
}

int pure_pawn_ending() {
    int sum = ending_pawns(WHITE, false) - ending_pawns(BLACK, false);
    sum = sum * PAWN_ENDING_SCALE_NUM / PAWN_ENDING_SCALE_DEN;
    return sum + PAWN_ENDING_KING_WEIGHT * (psq[WHITE][KING][ew.king[WHITE]] - psq[BLACK][KING][ew.king[BLACK]]);
}

int side_pieces(int side) {
    int sum = eval_king(side, ew.king[side]);
    for (int i = 0; i < ew.count[side][KNIGHT]; ++i) sum += eval_knight(side, ew.knight_sq[side][i]);
    for (int i = 0; i < ew.count[side][BISHOP]; ++i) sum += eval_bishop(side, ew.bishop_sq[side][i]);
    for (int i = 0; i < ew.count[side][ROOK]; ++i) sum += eval_rook(side, ew.rook_sq[side][i]);
    for (int i = 0; i < ew.count[side][QUEEN]; ++i) sum += eval_queen(side, ew.queen_sq[side][i]);
    return sum;
}

int bishop_colour_terms(int side) {
    if (ew.count[side][BISHOP] != 1 || !feature_on(OFF_IMBALANCE)) return 0;
    const int c = square_color(ew.bishop_sq[side][0]);
    const int own = clamp8(ew.pawn_on_color[side][c] - ew.pawn_on_color[side][c ^ 1]);
    const int enemy = clamp8(ew.pawn_on_color[side ^ 1][c ^ 1] - ew.pawn_on_color[side ^ 1][c]);
    return bishop_own_pawns[ew.stage][own + 8] + bishop_enemy_pawns[ew.stage][enemy + 8];
}

}  // namespace

void clear_pawn_table() {
    for (pawn_entry& e : pawn_table) e.stage = -1;
}

void gather_men() {
    // The board keeps each side's men per kind: the pieces are listed by square (every
    // term sums over them, so their order does not count).
    for (int side = 0; side < 2; ++side) {
        const int king = board.piece_list[side][0];
        ew.king[side] = king;
        ew.king_zone[side] = attack_mask[KING][king] | (1ULL << king);
        const uint64_t* const kinds = board.kinds[side];
        int* const rows[4] = {ew.knight_sq[side], ew.bishop_sq[side], ew.rook_sq[side], ew.queen_sq[side]};
        for (int p = KNIGHT; p <= QUEEN; ++p) {
            int n = 0;
            for (uint64_t set = kinds[p]; set; set &= set - 1) rows[p - KNIGHT][n++] = __builtin_ctzll(set);
            ew.count[side][p] = n;
        }
        ew.pawn_on_color[side][0] = ew.pawn_on_color[side][1] = 0;
        ew.pawns[side] = kinds[PAWN];
        ew.men[side] = board.men[side];
    }
    ew.occupied = ew.men[WHITE] | ew.men[BLACK];
    ew.rammed_files = 0;
    // The pawn terms are read after the pieces': fetch their slot meanwhile.
    __builtin_prefetch(&pawn_slot());
}

int eval_knight(int side, int s) {
    int v = psq[side][KNIGHT][s];
    const int rel = relative_square(side, s);
    if ((rel == B1 || rel == G1) && board.moved[s] == 0) v -= MINOR_UNDEVELOPED;
    if (kdist(s, ew.king[side ^ 1]) < KNIGHT_NEAR_DISTANCE) v += KNIGHT_NEAR_KING;
    return v + outpost(side, s, KNIGHT_OUTPOST_GUARD_FACTOR);
}

int eval_bishop(int side, int s) {
    const int st = ew.stage;
    int v = psq[side][BISHOP][s] + bishop_stage_bonus[st];
    if (ew.count[side][BISHOP] >= 2 && ew.bishop_sq[side][1] == s && feature_on(OFF_IMBALANCE))
        v += BISHOP_PAIR + BISHOP_PAIR_PER_STAGE * st;
    const int rel = relative_square(side, s);
    if ((rel == C1 || rel == F1) && board.moved[s] == 0) v -= MINOR_UNDEVELOPED;
    v += slider_mobility<BISHOP>(side, s);
    // Bishop shut in on a7/h7 by the enemy b- or g-pawn.
    if (rel == H7 || rel == A7) {
        const int opp = side ^ 1;
        const int near = relative_square(side, rel == H7 ? G6 : B6);
        const int home = relative_square(side, rel == H7 ? G7 : B7);
        if (board.piece[near] == PAWN && board.color[near] == static_cast<uint32_t>(opp))
            v -= BISHOP_TRAPPED;
        else if (board.piece[home] == PAWN && board.color[home] == static_cast<uint32_t>(opp))
            v -= BISHOP_HEMMED;
    }
    return v + outpost(side, s, BISHOP_OUTPOST_GUARD_FACTOR);
}

int eval_rook(int side, int s) {
    const int opp = side ^ 1;
    const int st = ew.stage;
    const int ek = ew.king[opp];
    int v = psq[side][ROOK][s] + rook_stage_bonus[st];
    if (st < ENDING_STAGE) v += slider_mobility<ROOK>(side, s);
    if (!feature_on(OFF_ROOKS_QUEENS)) return v;
    if (relative_rank(side, ek) == 7) {
        const int r = relative_rank(side, s);
        if (r == 6)
            v += ROOK_ON_SEVENTH;
        else if (r == 7)
            v += ROOK_ON_EIGHTH;
    }
    if (rank_distance[s][ek] <= 1) v += ROOK_NEAR_KING_RANK;
    const int f = file_of(s);
    int d = file_distance[s][ek];
    if (d > 2) d = 2;
    static const int open_file[3] = {20, 18, 10};
    static const int half_open[3] = {3, 2, 1};
    static const int closed[3] = {2, 1, 0};
    if (board.pawns_on_file[side][f] == 0) {
        v += open_file[d];
        if (board.pawns_on_file[opp][f] == 0) v += open_file[d];
    } else if (board.pawns_on_file[opp][f] == 0) {
        v += half_open[d];
    } else {
        v += closed[d];
    }
    return v;
}

int eval_queen(int side, int s) {
    const int opp = side ^ 1;
    const int ek = ew.king[opp];
    int v = psq[side][QUEEN][s];
    if (!feature_on(OFF_ROOKS_QUEENS)) return v;
    if (ew.stage >= 1 && relative_rank(side, ek) == 7) {
        const int r = relative_rank(side, s);
        if (r == 6)
            v += QUEEN_ON_SEVENTH;
        else if (r == 7)
            v += QUEEN_ON_EIGHTH;
    }
    static const int by_rank_distance[8] = {4, 4, 2, 0, -2, -4, -6, -8};
    static const int by_king_distance[8] = {0, 10, 10, 7, 4, 0, -4, -10};
    v += by_rank_distance[rank_distance[s][ek]] + by_king_distance[kdist(s, ek)];
    const int f = file_of(s);
    const int d = file_distance[s][ek];
    static const int own_open[3] = {9, 8, 4};
    static const int both_open[3] = {6, 5, 2};
    static const int half_open[4] = {4, 3, 2, 1};
    static const int closed[4] = {3, 2, 1, 0};
    if (board.pawns_on_file[side][f] == 0) {
        v += own_open[d > 2 ? 2 : d];
        if (board.pawns_on_file[opp][f] == 0) v += both_open[d > 2 ? 2 : d];
    } else if (board.pawns_on_file[opp][f] == 0) {
        v += half_open[d > 3 ? 3 : d];
    } else {
        v += closed[d > 3 ? 3 : d];
    }
    return v;
}

int eval_king(int side, int s) {
    const int st = ew.stage;
    const int blend = king_middle_table[side][s] * (LAST_STAGE - st) + psq[side][KING][s] * st;
    if (st >= ENDING_STAGE) return blend / KING_ENDING_DIVISOR;
    int v = blend / KING_MIDDLE_DIVISOR;
    if (!feature_on(OFF_KING)) return v;
    const int opp = side ^ 1;
    if (board.castled[side])
        v += castled_weight[st];
    else if ((board.castling_rights & castle_any_mask[side]) == 0)
        v += uncastled_weight[st];
    const int rel = relative_square(side, s);
    if ((rel >> 3) > 1) v += king_forward_penalty[st];

    const king_zone_rule& zone = king_zone_table[rel];
    const uint64_t own_pawns = ew.pawns[side];
    // Fianchetto hole: the knight-file pawn has left its square while the enemy has a queen.
    if (zone.king >= 0 && (board.material[opp] & 1)) {
        const int hole = relative_square(side, zone.hole);
        if (!has(own_pawns, hole)) {
            if (board.color[hole] == static_cast<uint32_t>(opp)) {
                static const int on_hole[8] = {0, 50, 10, 50, 0, 20, 0, 0};
                const int p = static_cast<int>(board.piece[hole]);
                v -= on_hole[p];
                if (on_hole[p]) {
                    const int bishops = ew.count[side][BISHOP];
                    if (bishops == 0 || (bishops == 1 && square_color(ew.bishop_sq[side][0]) != square_color(hole)))
                        v -= HOLE_WITHOUT_BISHOP;
                }
            }
            static const int beside_hole[8] = {0, 20, 5, 10, 0, 10, 0, 0};
            for (int n : zone.hole_neighbours) {
                const int sq = relative_square(side, n);
                if (board.color[sq] == static_cast<uint32_t>(opp)) v -= beside_hole[board.piece[sq]];
            }
        }
    }
    // Open files near the king.
    const int kf = file_of(s);
    for (const auto& fc : king_file_class[kf]) {
        if (fc[0] < 0) break;
        if (board.pawns_on_file[side][fc[0]] == 0) v += open_file_own[fc[1]][st];
        if (board.pawns_on_file[opp][fc[0]] == 0) v += open_file_enemy[fc[1]][st];
    }
    // Pawn shield.
    if (zone.king >= 0) {
        for (const auto& file : zone.files) {
            int w = SHIELD_NO_PAWN;
            for (const shield_square& q : file) {
                if (q.square < 0) break;
                if (has(own_pawns, relative_square(side, q.square))) {
                    w = q.weight;
                    break;
                }
            }
            v += shield_weight[w][st];
        }
        if (zone.trap_file >= 0) {
            const int f = zone.trap_file;
            auto own_man = [side](int rel_sq, int piece) {
                const int sq = relative_square(side, rel_sq);
                return board.piece[sq] == static_cast<uint32_t>(piece) &&
                       board.color[sq] == static_cast<uint32_t>(side);
            };
            const bool pawn2 = own_man(8 + f, PAWN), pawn3 = own_man(16 + f, PAWN);
            if (((pawn2 || pawn3) && own_man(f, ROOK)) || (pawn3 && own_man(8 + f, ROOK))) v -= ROOK_SHUT_IN;
        }
    }
    return v;
}

int eval_pieces() {
    ew.stage = eval_stage = stage_of(board.piece_material[WHITE] + board.piece_material[BLACK]);
    gather_men();
    eval_complete = 1;
    if (board.piece_material[WHITE] == 0 && board.piece_material[BLACK] == 0) return pure_pawn_ending();

    int sum = side_pieces(WHITE) - side_pieces(BLACK);
    const int queen = piece_value[QUEEN];
    if (board.piece_material[WHITE] == queen && board.piece_material[BLACK] == queen && ew.count[WHITE][QUEEN] == 1 &&
        ew.count[BLACK][QUEEN] == 1) {
        sum += ending_pawns(WHITE, true) - ending_pawns(BLACK, true);
    } else {
        const bool ending = ew.stage >= ENDING_STAGE;
        const pawn_entry& e = pawn_entry_now(ending);
        ew.rammed_files = e.rammed_files;
        sum += structure_pawns(WHITE, ending, e) - structure_pawns(BLACK, ending, e);
    }
    sum += bishop_colour_terms(WHITE) - bishop_colour_terms(BLACK);

    const int rammed = ((ew.rammed_files >> 3) & 1) + ((ew.rammed_files >> 4) & 1);
    if (!feature_on(OFF_IMBALANCE)) return sum * pval / POSITIONAL_UNIT;
    if (rammed)
        sum += CLOSED_CENTRE_KNIGHT * rammed *
               (ew.count[WHITE][KNIGHT] - ew.count[BLACK][KNIGHT] - ew.count[WHITE][BISHOP] + ew.count[BLACK][BISHOP]);

    const int wpm = board.piece_material[WHITE], bpm = board.piece_material[BLACK];
    if (ew.count[WHITE][BISHOP] == 1 && ew.count[BLACK][BISHOP] == 1 &&
        square_color(ew.bishop_sq[WHITE][0]) != square_color(ew.bishop_sq[BLACK][0])) {
        if (wpm <= queen && bpm <= queen) {
            const int bishop = piece_value[BISHOP];
            if (wpm == bishop && bpm == bishop)
                sum /= BARE_OPPOSITE_BISHOPS_DIVISOR;
            else if (std::abs(wpm - bpm) < OPPOSITE_BISHOPS_EVEN)
                sum = sum * DRAWISH_SCALE_NUM / DRAWISH_SCALE_DEN;
        }
    } else {
        const int wr = ew.count[WHITE][ROOK], br = ew.count[BLACK][ROOK];
        if (wr == br && (wr == 1 || wr == 2) && wpm == wr * piece_value[ROOK] && bpm == br * piece_value[ROOK])
            sum = sum * DRAWISH_SCALE_NUM / DRAWISH_SCALE_DEN;
    }
    return sum * pval / POSITIONAL_UNIT;
}
