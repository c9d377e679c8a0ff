// The 220 index members of the Nalimov tables, all made from one pattern: a plan read
// from the table's name at compile time says which men are ranked in the king pair's
// bases and which are appended, and one template turns squares into the index.
#include "egtb/index.h"

#include <utility>

#include "egtb/egtb.h"
#include "egtb/rows.h"

namespace egtb_index {

uint16_t pair_number[2][64][64];
uint8_t pair_first[2][PAWN_PAIRS], pair_second[2][PAWN_PAIRS];
const int pair_count[2] = {PAWN_PAIRS, PAWNLESS_PAIRS};
uint8_t square_rank[KINDS][64][64];
uint8_t rank_count[KINDS][64];
uint32_t base1[KINDS][2][PAWN_PAIRS];
uint32_t base2[KINDS][KINDS][2][PAWN_PAIRS];
uint32_t base1_total[KINDS][2];
uint32_t base2_total[KINDS][KINDS][2];
uint8_t file_mirror[64];
uint8_t quadrant[64];

}  // namespace egtb_index

namespace {
using namespace egtb_index;

// ---- the plan of a member -------------------------------------------------------

constexpr int type_of_letter(char c) {
    switch (c) {
        case 'n': return 2;
        case 'b': return 3;
        case 'r': return 4;
        case 'q': return 5;
        default: return 1;  // "p", and any other letter counts as a pawn
    }
}
constexpr int kind_of_type(int type) { return type == 1 ? KIND_P : type; }  // N=2 .. Q=5 share their numbers

// The extra man of an en-passant position besides the capturing and the captured pawn.
enum : int { EP_NONE, EP_RANKED_PIECE, EP_SQUARE };

struct member_plan {
    bool pawns = false;
    bool ep = false;
    int s_count = 0;  // pieces of the side to move, ranked in the pair's bases
    int s_kind[2] = {};
    int s_slot[2] = {};
    int s_pawns = 0;      // how many of them are pawns (they come last)
    bool o_base = false;  // side to move bare: the other side's pawns take the bases
    int o_pawns = 0;
    int o_pieces = 0;  // the other side's pieces other than pawns, appended
    int o_slot[2] = {};
    uint32_t multiplier = 1;  // product of the appended men's room
    int ep_extra = EP_NONE;
    int ep_kind = 0;             // kind of a ranked extra piece
    int ep_slot = 0;             // list slot of the extra man
    bool ep_extra_on_s = false;  // the extra man belongs to the side to move
    bool ep_extra_pawn = false;
};

constexpr member_plan make_plan(const char* name, int side) {
    member_plan p;
    if (!name[0]) return p;
    int w[3] = {}, b[3] = {}, nw = 0, nb = 0;
    int i = 1;
    while (name[i] && name[i] != 'k') w[nw++] = type_of_letter(name[i++]);
    if (name[i] == 'k') ++i;
    while (name[i]) b[nb++] = type_of_letter(name[i++]);
    const int* s = side ? b : w;
    const int* o = side ? w : b;
    const int ns = side ? nb : nw, no = side ? nw : nb;
    for (int k = 0; k < nw; ++k) p.pawns |= w[k] == 1;
    for (int k = 0; k < nb; ++k) p.pawns |= b[k] == 1;
    bool wp = false, bp = false;
    for (int k = 0; k < nw; ++k) wp |= w[k] == 1;
    for (int k = 0; k < nb; ++k) bp |= b[k] == 1;
    p.ep = wp && bp;
    // Pieces of the side to move, in name order (pawns last); equal types take slots 3t, 3t+1.
    p.s_count = ns;
    for (int k = 0; k < ns; ++k) {
        p.s_kind[k] = kind_of_type(s[k]);
        p.s_slot[k] = 3 * (s[k] - 1) + (k > 0 && s[k - 1] == s[k] ? 1 : 0);
        if (s[k] == 1) ++p.s_pawns;
    }
    for (int k = 0; k < no; ++k) {
        if (o[k] == 1) {
            ++p.o_pawns;
        } else {
            p.o_slot[p.o_pieces] = 3 * (o[k] - 1) + (p.o_pieces > 0 && o[k - 1] == o[k] ? 1 : 0);
            ++p.o_pieces;
        }
    }
    p.o_base = ns == 0 && p.o_pawns > 0;
    int placed_men = 2 + ns, placed_pawns = p.s_pawns;
    if (p.o_base) {
        placed_men += p.o_pawns;
        placed_pawns += p.o_pawns;
    } else {
        const int room = 48 - placed_pawns;
        if (p.o_pawns == 1) p.multiplier *= static_cast<uint32_t>(room);
        if (p.o_pawns == 2) p.multiplier *= static_cast<uint32_t>(triangular(room));
        placed_men += p.o_pawns;
    }
    const int room = 64 - placed_men;
    if (p.o_pieces == 1) p.multiplier *= static_cast<uint32_t>(room);
    if (p.o_pieces == 2) {
        const bool equal = o[no - 1] == o[no - 2];
        p.multiplier *= equal ? static_cast<uint32_t>(triangular(room)) : static_cast<uint32_t>(room * (room - 1));
    }
    if (p.ep && ns + no == 3) {
        // The man besides the two pawns of the capture.
        if (p.s_count == 2 && p.s_kind[0] != KIND_P) {
            p.ep_extra = EP_RANKED_PIECE;
            p.ep_kind = p.s_kind[0];
            p.ep_slot = p.s_slot[0];
            p.ep_extra_on_s = true;
        } else if (p.s_count == 2) {
            p.ep_extra = EP_SQUARE;
            p.ep_extra_on_s = true;
            p.ep_extra_pawn = true;
        } else if (p.o_pieces == 1) {
            p.ep_extra = EP_SQUARE;
            p.ep_slot = p.o_slot[0];
        } else {
            p.ep_extra = EP_SQUARE;
            p.ep_extra_pawn = true;
        }
    }
    return p;
}

template <size_t... T>
constexpr auto make_plans(std::index_sequence<T...>) {
    struct table_plans {
        member_plan side[sizeof...(T)][2];
    } r{};
    ((r.side[T][0] = make_plan(egtb_rows[T].name, 0), r.side[T][1] = make_plan(egtb_rows[T].name, 1)), ...);
    return r;
}
constexpr auto plans = make_plans(std::make_index_sequence<EGTB_TABLES + 1>());

// First index of the en-passant block, and the range of each member.
uint32_t ep_first[EGTB_TABLES + 1][2];
uint32_t index_range[EGTB_TABLES + 1][2];

inline int below(int sq, const int* men, int n) {
    int c = 0;
    for (int i = 0; i < n; ++i) c += men[i] < sq;
    return c;
}

// ---- the member template ------------------------------------------------------

// What member returns for a kings' pair that no table holds.
constexpr uint32_t NO_INDEX = 0xFFFFFFFFu;

// The men of a member's position, as the index reads them: the kings, the side to
// move's men of the table (s), the opponent's pawns (op) and pieces (oq).
struct member_squares {
    int k1, k2;
    int s[2] = {}, op[2] = {}, oq[2] = {};
    int ep;
};

// The squares of the position, brought into the member's canonical orientation.
template <int T, int SIDE>
inline member_squares oriented_squares(const int32_t* first, const int32_t* second, int ep, int flip) {
    static constexpr member_plan P = plans.side[T][SIDE];
    const int32_t* s = SIDE ? second : first;
    const int32_t* o = SIDE ? first : second;
    member_squares q{.k1 = s[15], .k2 = o[15], .ep = ep};
    for (int i = 0; i < P.s_count; ++i) q.s[i] = s[P.s_slot[i]];
    for (int i = 0; i < P.o_pawns; ++i) q.op[i] = o[i];
    for (int i = 0; i < P.o_pieces; ++i) q.oq[i] = o[P.o_slot[i]];

    if constexpr (P.pawns) {
        // Mirror the files so that the side to move's king stands on a-d, and the ranks
        // so that the side to move's pawns go up the board.
        const int mask = file_mirror[q.k1] ^ (flip ? 56 : 0) ^ (SIDE ? 56 : 0);
        q.k1 ^= mask;
        q.k2 ^= mask;
        for (int i = 0; i < P.s_count; ++i) q.s[i] ^= mask;
        for (int i = 0; i < P.o_pawns; ++i) q.op[i] ^= mask;
        for (int i = 0; i < P.o_pieces; ++i) q.oq[i] ^= mask;
        if (q.ep != 127) q.ep ^= mask;
    } else {
        // Fold into a1-d4 by the side to move's king, then into the triangle a1-d1-d4.
        const int quad = quadrant[q.k1];
        q.k1 ^= quad;
        q.k2 ^= quad;
        for (int i = 0; i < P.s_count; ++i) q.s[i] ^= quad;
        for (int i = 0; i < P.o_pieces; ++i) q.oq[i] ^= quad;
        if (above_diagonal(q.k1) || (on_diagonal(q.k1) && above_diagonal(q.k2))) {
            q.k1 = reflect(q.k1);
            q.k2 = reflect(q.k2);
            for (int i = 0; i < P.s_count; ++i) q.s[i] = reflect(q.s[i]);
            for (int i = 0; i < P.o_pieces; ++i) q.oq[i] = reflect(q.oq[i]);
        }
    }
    return q;
}

// The index in the en-passant block when a pawn of the side to move can take the pawn
// that has just moved two squares; false when none can.
template <int T, int SIDE>
inline bool ep_index(const member_squares& q, uint32_t pair, uint32_t* index) {
    static constexpr member_plan P = plans.side[T][SIDE];
    const int ep = q.ep;
    if (ep < 40 || ep >= 48) return false;
    const int* capturers = P.ep_extra_on_s && P.ep_extra_pawn ? q.s : q.s + P.s_count - 1;
    const int ncap = P.ep_extra_on_s && P.ep_extra_pawn ? 2 : 1;
    int victim_at = -1;
    for (int i = 0; i < P.o_pawns; ++i)
        if (q.op[i] == ep - 8) victim_at = i;
    int cap = -1;
    if (victim_at >= 0)
        for (int i = 0; i < ncap; ++i) {
            const int p = capturers[i];
            if (((p + 7 == ep && (p & 7) != 0) || (p + 9 == ep && (p & 7) != 7)) && (cap < 0 || p < capturers[cap]))
                cap = i;
        }
    if (cap < 0) return false;
    const int p = capturers[cap];
    const uint32_t code = static_cast<uint32_t>(p + 7 == ep ? (p & 7) - 1 : (p & 7) + 7);
    if constexpr (P.ep_extra == EP_NONE) {
        *index = ep_first[T][SIDE] + pair * 14 + code;
    } else if constexpr (P.ep_extra == EP_RANKED_PIECE) {
        const uint32_t r =
            base1[P.ep_kind][PAIRS_PAWNS][pair] + static_cast<uint32_t>(piece_rank(P.ep_kind, q.k2, q.k1, q.s[0]));
        *index = ep_first[T][SIDE] + r * 14 + code;
    } else {
        const int gone[4] = {p, ep - 8, ep, ep + 8};
        int x;
        if constexpr (P.ep_extra_pawn) {
            x = P.ep_extra_on_s ? capturers[1 - cap] : q.op[1 - victim_at];
            x = x - 8 - below(x, gone, 4);
        } else {
            x = q.oq[0];
            const int kings[2] = {q.k1, q.k2};
            x = x - below(x, gone, 4) - below(x, kings, 2);
        }
        constexpr uint32_t room = P.ep_extra_pawn ? 44 : 58;
        *index = ep_first[T][SIDE] + pair * 14 * room + code * room + static_cast<uint32_t>(x);
    }
    return true;
}

// The index of the kings' pair with the men of the base tables (the side to move's, or
// the opponent's pawns when it has none).
template <int T, int SIDE>
inline uint32_t base_index(const member_squares& q, uint32_t pair) {
    static constexpr member_plan P = plans.side[T][SIDE];
    constexpr int table = P.pawns ? PAIRS_PAWNS : PAIRS_PAWNLESS;
    const int k1 = q.k1, k2 = q.k2;
    if constexpr (P.s_count == 0) {
        if constexpr (P.o_base && P.o_pawns == 1) {
            return base1[KIND_p][table][pair] + static_cast<uint32_t>(piece_rank(KIND_p, k2, k1, q.op[0]));
        } else if constexpr (P.o_base && P.o_pawns == 2) {
            const int a = piece_rank(KIND_p, k2, k1, q.op[0]), b = piece_rank(KIND_p, k2, k1, q.op[1]);
            const int hi = a > b ? a : b, lo = a > b ? b : a;
            return base2[KIND_p][KIND_p][table][pair] + static_cast<uint32_t>(triangular(hi) + lo);
        } else {
            return pair;
        }
    } else if constexpr (P.s_count == 1) {
        return base1[P.s_kind[0]][table][pair] + static_cast<uint32_t>(piece_rank(P.s_kind[0], k2, k1, q.s[0]));
    } else if constexpr (P.s_kind[0] == P.s_kind[1]) {
        const int a = piece_rank(P.s_kind[0], k2, k1, q.s[0]), b = piece_rank(P.s_kind[0], k2, k1, q.s[1]);
        const int hi = a > b ? a : b, lo = a > b ? b : a;
        return base2[P.s_kind[0]][P.s_kind[0]][table][pair] + static_cast<uint32_t>(triangular(hi) + lo);
    } else {
        constexpr int A = P.s_kind[0], B = P.s_kind[1];
        return base2[A][B][table][pair] + static_cast<uint32_t>(piece_rank(A, k2, k1, q.s[0]) * piece_room(B, k2, k1) +
                                                                piece_rank(B, k2, k1, q.s[1]));
    }
}

// The base index `v` with the opponent's men not in the base tables appended, each on
// the squares the men before it leave.
template <int T, int SIDE>
inline uint32_t append_men(const member_squares& q, uint32_t v) {
    static constexpr member_plan P = plans.side[T][SIDE];
    int men[5] = {q.k1, q.k2, 0, 0, 0};
    int nmen = 2;
    int pawns[4] = {};
    int npawns = 0;
    for (int i = 0; i < P.s_count; ++i) {
        men[nmen++] = q.s[i];
        if (P.s_kind[i] == KIND_P) pawns[npawns++] = q.s[i];
    }
    if constexpr (P.o_base) {
        for (int i = 0; i < P.o_pawns; ++i) {
            men[nmen++] = q.op[i];
            pawns[npawns++] = q.op[i];
        }
    } else if constexpr (P.o_pawns == 1) {
        const int x = q.op[0] - 8 - below(q.op[0], pawns, npawns);
        v = v * static_cast<uint32_t>(48 - npawns) + static_cast<uint32_t>(x);
        men[nmen++] = q.op[0];
    } else if constexpr (P.o_pawns == 2) {
        int a = q.op[0] - 8 - below(q.op[0], pawns, npawns), b = q.op[1] - 8 - below(q.op[1], pawns, npawns);
        if (a < b) std::swap(a, b);
        v = v * static_cast<uint32_t>(triangular(48 - npawns)) + static_cast<uint32_t>(triangular(a) + b);
        men[nmen++] = q.op[0];
        men[nmen++] = q.op[1];
    }
    if constexpr (P.o_pieces == 1) {
        const int x = q.oq[0] - below(q.oq[0], men, nmen);
        v = v * static_cast<uint32_t>(64 - nmen) + static_cast<uint32_t>(x);
    } else if constexpr (P.o_pieces == 2) {
        const bool equal = P.o_slot[1] == P.o_slot[0] + 1 && P.o_slot[0] % 3 == 0;
        int a = q.oq[0] - below(q.oq[0], men, nmen);
        if (equal) {
            int b = q.oq[1] - below(q.oq[1], men, nmen);
            if (a < b) std::swap(a, b);
            v = v * static_cast<uint32_t>(triangular(64 - nmen)) + static_cast<uint32_t>(triangular(a) + b);
        } else {
            v = v * static_cast<uint32_t>(64 - nmen) + static_cast<uint32_t>(a);
            men[nmen++] = q.oq[0];
            const int b = q.oq[1] - below(q.oq[1], men, nmen);
            v = v * static_cast<uint32_t>(64 - nmen) + static_cast<uint32_t>(b);
        }
    }
    return v;
}

// The index of a position in member SIDE of table T: oriented, the kings' pair, then
// the en-passant block or the base index with the men appended.
template <int T, int SIDE>
uint32_t member(const int32_t* first, const int32_t* second, int ep, int flip) {
    static constexpr member_plan P = plans.side[T][SIDE];
    constexpr int table = P.pawns ? PAIRS_PAWNS : PAIRS_PAWNLESS;
    const member_squares q = oriented_squares<T, SIDE>(first, second, ep, flip);
    const uint32_t pair = pair_number[table][q.k1][q.k2];
    if (pair >= static_cast<uint32_t>(pair_count[table])) return NO_INDEX;
    if constexpr (P.ep) {
        uint32_t index;
        if (ep_index<T, SIDE>(q, pair, &index)) return index;
    }
    return append_men<T, SIDE>(q, base_index<T, SIDE>(q, pair));
}

template <size_t... T>
constexpr auto make_members(std::index_sequence<T...>) {
    struct table_members {
        egtb_index_function side[sizeof...(T)][2];
    } r{};
    ((r.side[T][0] = T ? &member<static_cast<int>(T), 0> : nullptr,
      r.side[T][1] = T ? &member<static_cast<int>(T), 1> : nullptr),
     ...);
    return r;
}
constexpr auto members = make_members(std::make_index_sequence<EGTB_TABLES + 1>());

// ---- tables ---------------------------------------------------------------------

bool adjacent(int a, int b) {
    const int df = (a & 7) - (b & 7), dr = (a >> 3) - (b >> 3);
    return df >= -1 && df <= 1 && dr >= -1 && dr <= 1;
}

// Whether a piece of `kind` on `s` attacks a king on `k` at once (the squares it may not take).
bool attacks_at_once(int kind, int s, int k) {
    const int df = (k & 7) - (s & 7), dr = (k >> 3) - (s >> 3);
    const int af = df < 0 ? -df : df, ar = dr < 0 ? -dr : dr;
    switch (kind) {
        case KIND_P: return dr == 1 && af == 1;
        case KIND_N: return (af == 1 && ar == 2) || (af == 2 && ar == 1);
        case KIND_B: return af == 1 && ar == 1;
        case KIND_R: return af + ar == 1;
        case KIND_Q: return af <= 1 && ar <= 1 && af + ar > 0;
        default: return false;
    }
}

void build_pairs() {
    for (auto& t : pair_number)
        for (auto& row : t)
            for (auto& x : row) x = NO_PAIR;
    int n = 0;
    for (int k1 = 0; k1 < 64; ++k1) {
        if ((k1 & 7) > 3) continue;
        for (int k2 = 0; k2 < 64; ++k2) {
            if (k1 == k2 || adjacent(k1, k2)) continue;
            pair_first[PAIRS_PAWNS][n] = static_cast<uint8_t>(k1);
            pair_second[PAIRS_PAWNS][n] = static_cast<uint8_t>(k2);
            pair_number[PAIRS_PAWNS][k1][k2] = static_cast<uint16_t>(n++);
        }
    }
    n = 0;
    for (int k1 = 0; k1 < 64; ++k1) {
        if ((k1 & 7) > 3 || above_diagonal(k1)) continue;  // the triangle a1-d1-d4
        for (int k2 = 0; k2 < 64; ++k2) {
            if (k1 == k2 || adjacent(k1, k2)) continue;
            if (on_diagonal(k1) && above_diagonal(k2)) continue;
            pair_first[PAIRS_PAWNLESS][n] = static_cast<uint8_t>(k1);
            pair_second[PAIRS_PAWNLESS][n] = static_cast<uint8_t>(k2);
            pair_number[PAIRS_PAWNLESS][k1][k2] = static_cast<uint16_t>(n++);
        }
    }
}

void build_ranks() {
    for (int kind = 0; kind < KINDS; ++kind)
        for (int k = 0; k < 64; ++k) {
            int n = 0;
            for (int s = 0; s < 64; ++s) {
                const bool pawn = kind == KIND_p || kind == KIND_P;
                if (s == k || (pawn && (s < 8 || s > 55)) || attacks_at_once(kind, s, k))
                    square_rank[kind][k][s] = 255;
                else
                    square_rank[kind][k][s] = static_cast<uint8_t>(n++);
            }
            rank_count[kind][k] = static_cast<uint8_t>(n);
        }
}

void build_bases() {
    for (int t = 0; t < 2; ++t)
        for (int a = 0; a < KINDS; ++a) {
            uint32_t sum = 0;
            for (int p = 0; p < pair_count[t]; ++p) {
                base1[a][t][p] = sum;
                sum += static_cast<uint32_t>(piece_room(a, pair_second[t][p], pair_first[t][p]));
            }
            base1_total[a][t] = sum;
            for (int b = 0; b < KINDS; ++b) {
                uint32_t sum2 = 0;
                for (int p = 0; p < pair_count[t]; ++p) {
                    base2[a][b][t][p] = sum2;
                    const int na = piece_room(a, pair_second[t][p], pair_first[t][p]);
                    const int nb = piece_room(b, pair_second[t][p], pair_first[t][p]);
                    sum2 += static_cast<uint32_t>(a == b ? triangular(na) : na * nb);
                }
                base2_total[a][b][t] = sum2;
            }
        }
}

void build_ranges() {
    for (int t = 1; t <= EGTB_TABLES; ++t)
        for (int side = 0; side < 2; ++side) {
            const member_plan& P = plans.side[t][side];
            const int table = P.pawns ? PAIRS_PAWNS : PAIRS_PAWNLESS;
            uint32_t core;
            if (P.s_count == 0)
                core = !P.o_base        ? static_cast<uint32_t>(pair_count[table])
                       : P.o_pawns == 1 ? base1_total[KIND_p][table]
                                        : base2_total[KIND_p][KIND_p][table];
            else if (P.s_count == 1)
                core = base1_total[P.s_kind[0]][table];
            else
                core = base2_total[P.s_kind[0]][P.s_kind[1]][table];
            ep_first[t][side] = core * P.multiplier;
            uint32_t block = 0;
            if (P.ep) {
                if (P.ep_extra == EP_NONE)
                    block = PAWN_PAIRS * 14;
                else if (P.ep_extra == EP_RANKED_PIECE)
                    block = base1_total[P.ep_kind][PAIRS_PAWNS] * 14;
                else
                    block = PAWN_PAIRS * 14 * (P.ep_extra_pawn ? 44 : 58);
            }
            index_range[t][side] = ep_first[t][side] + block;
        }
}

bool built = false;
}  // namespace

void egtb_build_index_tables() {
    if (built) return;
    for (int sq = 0; sq < 64; ++sq) {
        file_mirror[sq] = (sq & 7) >= 4 ? 7 : 0;
        quadrant[sq] = static_cast<uint8_t>(file_mirror[sq] | ((sq >> 3) >= 4 ? 56 : 0));
    }
    build_pairs();
    build_ranks();
    build_bases();
    build_ranges();
    built = true;
}

uint32_t egtb_index_range(int table, int side) {
    if (table < 1 || table > EGTB_TABLES || side < 0 || side > 1) return 0;
    egtb_build_index_tables();
    return index_range[table][side];
}

egtb_index_function egtb_index_fn(int table, int side) {
    if (table < 1 || table > EGTB_TABLES || side < 0 || side > 1) return nullptr;
    return members.side[table][side];
}
