// King and pawn against king: the win table, generated at start-up by retrograde
// analysis, and its probe.
//
// Positions are normalised to a White pawn on files a..d, ranks 2..7. Bit index =
// to-move bit (0: the pawn's side) + 2 x (pawn index + 24 x (weak king + 64 x strong
// king)), pawn index = 4 x (rank - 1) + file. A set bit: the pawn's side wins.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/eval.h"
#include "core/eval_internal.h"

namespace {

constexpr int KPK_POSITIONS = 2 * 24 * 64 * 64;
uint8_t kpk_table[KPK_POSITIONS / 8];

enum : uint8_t { UNKNOWN = 0, INVALID = 1, DRAW = 2, WIN = 3 };

inline int dist(int a, int b) { return std::max(std::abs((a & 7) - (b & 7)), std::abs((a >> 3) - (b >> 3))); }
inline int index_of(int to_move, int pawn_index, int weak_king, int strong_king) {
    return to_move + 2 * (pawn_index + 24 * (weak_king + 64 * strong_king));
}
inline int pawn_square(int pawn_index) { return (pawn_index & 3) + 8 * ((pawn_index >> 2) + 1); }
inline int pawn_index_of(int sq) { return 4 * ((sq >> 3) - 1) + (sq & 7); }
inline bool pawn_attacks(int pawn, int sq) {
    return (sq >> 3) == (pawn >> 3) + 1 && std::abs((sq & 7) - (pawn & 7)) == 1;
}

// King steps from each square.
int king_steps[64][9];

void build_king_steps() {
    for (int s = 0; s < 64; ++s) {
        int n = 0;
        for (int df = -1; df <= 1; ++df)
            for (int dr = -1; dr <= 1; ++dr) {
                if (!df && !dr) continue;
                int f = (s & 7) + df, r = (s >> 3) + dr;
                if (f >= 0 && f < 8 && r >= 0 && r < 8) king_steps[s][n++] = r * 8 + f;
            }
        king_steps[s][n] = -1;
    }
}

// Whether a queen (diagonals too) or rook on `from` attacks `to`, with the strong king
// as the only blocker (the weak king does not shield the squares behind it).
bool slider_attacks(int from, int to, int blocker, bool diagonals) {
    if (from == to) return false;
    const int df = (to & 7) - (from & 7), dr = (to >> 3) - (from >> 3);
    const bool straight = df == 0 || dr == 0;
    const bool diagonal = std::abs(df) == std::abs(dr);
    if (!straight && !(diagonals && diagonal)) return false;
    const int step = (dr > 0 ? 8 : dr < 0 ? -8 : 0) + (df > 0 ? 1 : df < 0 ? -1 : 0);
    for (int s = from + step; s != to; s += step)
        if (s == blocker) return false;
    return true;
}

// A promotion on `promo` with the weak side to move: whether it wins (a queen, or a
// rook where the queen would stalemate, that the weak king cannot take at once).
bool promotion_wins(int promo, int weak_king, int strong_king) {
    if (dist(weak_king, promo) == 1 && dist(strong_king, promo) > 1) return false;
    for (int diagonals = 1; diagonals >= 0; --diagonals) {
        const bool check = slider_attacks(promo, weak_king, strong_king, diagonals);
        bool has_move = false;
        for (const int* t = king_steps[weak_king]; *t >= 0 && !has_move; ++t) {
            if (dist(*t, strong_king) <= 1) continue;
            if (*t == promo) continue;  // protected: the capture was excluded above
            if (slider_attacks(promo, *t, strong_king, diagonals)) continue;
            has_move = true;
        }
        if (has_move || check) return true;
    }
    return false;
}

uint8_t classify_strong(const uint8_t* res, int pawn_index, int wk, int sk) {
    const int pawn = pawn_square(pawn_index);
    bool unknown = false;
    for (const int* t = king_steps[sk]; *t >= 0; ++t) {
        if (*t == pawn || dist(*t, wk) <= 1) continue;
        const uint8_t r = res[index_of(1, pawn_index, wk, *t)];
        if (r == WIN) return WIN;
        if (r == UNKNOWN) unknown = true;
    }
    const int push = pawn + 8;
    if (push != wk && push != sk) {
        if ((push >> 3) == 7) {
            if (promotion_wins(push, wk, sk)) return WIN;
        } else {
            const uint8_t r = res[index_of(1, pawn_index_of(push), wk, sk)];
            if (r == WIN) return WIN;
            if (r == UNKNOWN) unknown = true;
            const int twice = pawn + 16;
            if ((pawn >> 3) == 1 && twice != wk && twice != sk) {
                const uint8_t r2 = res[index_of(1, pawn_index_of(twice), wk, sk)];
                if (r2 == WIN) return WIN;
                if (r2 == UNKNOWN) unknown = true;
            }
        }
    }
    return unknown ? UNKNOWN : DRAW;
}

uint8_t classify_weak(const uint8_t* res, int pawn_index, int wk, int sk) {
    const int pawn = pawn_square(pawn_index);
    bool unknown = false, has_move = false;
    for (const int* t = king_steps[wk]; *t >= 0; ++t) {
        if (dist(*t, sk) <= 1) continue;
        if (*t == pawn) return DRAW;  // takes the unprotected pawn
        if (pawn_attacks(pawn, *t)) continue;
        has_move = true;
        const uint8_t r = res[index_of(0, pawn_index, *t, sk)];
        if (r == DRAW) return DRAW;
        if (r == UNKNOWN) unknown = true;
    }
    if (!has_move) return pawn_attacks(pawn, wk) ? WIN : DRAW;
    return unknown ? UNKNOWN : WIN;
}

}  // namespace

void kpk_generate() {
    build_king_steps();
    static uint8_t res[KPK_POSITIONS];
    for (int sk = 0; sk < 64; ++sk)
        for (int wk = 0; wk < 64; ++wk)
            for (int p = 0; p < 24; ++p) {
                const int pawn = pawn_square(p);
                for (int tm = 0; tm < 2; ++tm) {
                    uint8_t v = UNKNOWN;
                    if (sk == wk || sk == pawn || wk == pawn || dist(sk, wk) <= 1)
                        v = INVALID;
                    else if (tm == 0 && pawn_attacks(pawn, wk))
                        v = INVALID;
                    res[index_of(tm, p, wk, sk)] = v;
                }
            }
    for (bool changed = true; changed;) {
        changed = false;
        for (int i = 0; i < KPK_POSITIONS; ++i) {
            if (res[i] != UNKNOWN) continue;
            const int tm = i & 1;
            const int rest = i >> 1;
            const int p = rest % 24, wk = (rest / 24) & 63, sk = rest / (24 * 64);
            const uint8_t v = tm == 0 ? classify_strong(res, p, wk, sk) : classify_weak(res, p, wk, sk);
            if (v != UNKNOWN) {
                res[i] = v;
                changed = true;
            }
        }
    }
    std::memset(kpk_table, 0, sizeof kpk_table);
    for (int i = 0; i < KPK_POSITIONS; ++i)
        if (res[i] == WIN) kpk_table[i >> 3] |= static_cast<uint8_t>(1u << (i & 7));
}

bool kpk_win(int strong_king, int weak_king, int pawn, int strong, int side) {
    int sk = strong_king, wk = weak_king, p = pawn;
    int to_move = side == strong ? 0 : 1;
    if (strong == BLACK) {
        sk ^= 56;
        wk ^= 56;
        p ^= 56;
    }
    if ((p & 7) > 3) {
        sk ^= 7;
        wk ^= 7;
        p ^= 7;
    }
    const int rank = p >> 3;
    if (rank < 1 || rank > 6) return false;
    const int i = index_of(to_move, pawn_index_of(p), wk, sk);
    return (kpk_table[i >> 3] >> (i & 7)) & 1;
}

int eval_kpk(int strong_king, int weak_king, int pawn, int strong, int side) {
    eval_complete = 1;
    if (kpk_win(strong_king, weak_king, pawn, strong, side)) return 32 * relative_rank(strong, pawn) + 650;
    const int f = file_of(pawn);
    if (f == 0 || f == 7) return 0;
    return 5 * king_distance[pawn][weak_king];
}
