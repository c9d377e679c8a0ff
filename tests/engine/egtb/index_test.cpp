// The index members against the positions counts: every legal placement lands below its
// table's count, the last legal one exactly on it, and two legal placements share an
// index only when one is an image of the other under the table's symmetries.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <cstdlib>
#include <random>
#include <vector>

#include "egtb/egtb.h"
#include "egtb/index.h"
#include "egtb/rows.h"

namespace {

enum : int { PAWN = 1, KNIGHT, BISHOP, ROOK, QUEEN, KING };

// The men of a table: kings first, then White's men, then Black's.
struct men {
    int n = 0;
    int type[5] = {};
    int color[5] = {};
    bool pawns = false;
};

men men_of(int table) {
    men m;
    m.type[m.n] = KING;
    m.color[m.n++] = 0;
    m.type[m.n] = KING;
    m.color[m.n++] = 1;
    int c = 0;
    for (const char* p = egtb_rows[table].name + 1; *p; ++p) {
        if (*p == 'k') {
            c = 1;
            continue;
        }
        const int t = *p == 'q' ? QUEEN : *p == 'r' ? ROOK : *p == 'b' ? BISHOP : *p == 'n' ? KNIGHT : PAWN;
        m.type[m.n] = t;
        m.color[m.n++] = c;
        m.pawns |= t == PAWN;
    }
    return m;
}

bool occupied(const men& m, const int* sq, int s) {
    for (int i = 0; i < m.n; ++i)
        if (sq[i] == s) return true;
    return false;
}

bool attacks(const men& m, const int* sq, int i, int target) {
    const int s = sq[i];
    const int df = (target & 7) - (s & 7), dr = (target >> 3) - (s >> 3);
    const int af = std::abs(df), ar = std::abs(dr);
    switch (m.type[i]) {
        case KING: return af <= 1 && ar <= 1;
        case PAWN: return af == 1 && dr == (m.color[i] == 0 ? 1 : -1);
        case KNIGHT: return af * af + ar * ar == 5;
        default: {
            const bool diagonal = af == ar && af > 0, straight = (af == 0) != (ar == 0);
            if (m.type[i] == BISHOP && !diagonal) return false;
            if (m.type[i] == ROOK && !straight) return false;
            if (m.type[i] == QUEEN && !diagonal && !straight) return false;
            const int step = (df > 0) - (df < 0) + 8 * ((dr > 0) - (dr < 0));
            for (int x = s + step; x != target; x += step)
                if (occupied(m, sq, x)) return false;
            return true;
        }
    }
}

// Men on distinct squares, pawns on ranks 2-7, the side not to move not in check.
bool legal(const men& m, const int* sq, int stm) {
    for (int i = 0; i < m.n; ++i) {
        if (m.type[i] == PAWN && (sq[i] < 8 || sq[i] > 55)) return false;
        for (int j = i + 1; j < m.n; ++j)
            if (sq[i] == sq[j]) return false;
    }
    const int king = sq[stm ^ 1];
    for (int i = 0; i < m.n; ++i)
        if (m.color[i] == stm && attacks(m, sq, i, king)) return false;
    return true;
}

// The en-passant square of a legal placement right after a double step of the side not
// to move beside a pawn of the side to move, or -1.
int ep_square(const men& m, const int* sq, int stm) {
    const int up = stm == 0 ? 8 : -8;
    for (int v = 2; v < m.n; ++v) {
        if (m.type[v] != PAWN || m.color[v] == stm) continue;
        if ((sq[v] >> 3) != (stm == 0 ? 4 : 3)) continue;
        const int behind = sq[v] + up, origin = sq[v] + 2 * up;
        if (occupied(m, sq, behind) || occupied(m, sq, origin)) continue;
        for (int c = 2; c < m.n; ++c)
            if (m.type[c] == PAWN && m.color[c] == stm && (sq[c] >> 3) == (sq[v] >> 3) &&
                std::abs((sq[c] & 7) - (sq[v] & 7)) == 1)
                return behind;
    }
    return -1;
}

uint32_t index_of(int table, int side, const men& m, const int* sq, int ep) {
    int32_t w[16] = {}, b[16] = {};
    int used[2][5] = {};
    for (int i = 0; i < m.n; ++i) {
        int32_t* l = m.color[i] ? b : w;
        if (m.type[i] == KING)
            l[15] = sq[i];
        else
            l[3 * (m.type[i] - 1) + used[m.color[i]][m.type[i] - 1]++] = sq[i];
    }
    return egtb_index_fn(table, side)(w, b, ep < 0 ? 127 : ep, 0);
}

int transform(int sq, int g) {
    if (g & 4) sq = ((sq & 7) << 3) | (sq >> 3);
    if (g & 1) sq ^= 7;
    if (g & 2) sq ^= 56;
    return sq;
}

// The eight board symmetries as square tables.
struct symmetry_tables {
    uint8_t image[8][64];
    symmetry_tables() {
        for (int g = 0; g < 8; ++g)
            for (int s = 0; s < 64; ++s) image[g][s] = static_cast<uint8_t>(transform(s, g));
    }
};
const symmetry_tables symmetries;

// A placement and its en-passant square in 31 bits (six bits a man, seven for the square).
uint32_t pack(const men& m, const int* sq, int ep) {
    uint32_t code = ep < 0 ? 127 : static_cast<uint32_t>(ep);
    for (int i = 0; i < m.n; ++i) code = code << 6 | static_cast<uint32_t>(sq[i]);
    return code;
}

void unpack(const men& m, uint32_t code, int* sq, int* ep) {
    for (int i = m.n - 1; i >= 0; --i) {
        sq[i] = static_cast<int>(code & 63);
        code >>= 6;
    }
    *ep = code == 127 ? -1 : static_cast<int>(code);
}

// Whether q is an image of p under one of the table's symmetries (equal men may trade).
bool is_image(const men& m, const int* p, int pep, const int* q, int qep) {
    for (int g = 0; g < (m.pawns ? 2 : 8); ++g) {
        const uint8_t* img = symmetries.image[g];
        if (img[p[0]] != q[0] || img[p[1]] != q[1]) continue;
        if ((pep < 0) != (qep < 0) || (pep >= 0 && img[pep] != qep)) continue;
        bool same = true;
        for (int i = 2; i < m.n && same; ++i) {
            bool found = false;
            for (int j = 2; j < m.n && !found; ++j)
                found = m.type[j] == m.type[i] && m.color[j] == m.color[i] && q[j] == img[p[i]];
            same = found;
        }
        if (same) return true;
    }
    return false;
}

// Calls f(squares) for every placement of the men from man `first` on (pawns on ranks
// 2-7, no two men on one square); the men before `first` keep their squares.
template <typename F>
void each_placement(const men& m, int first, int* sq, F&& f) {
    int i = first;
    const auto lo = [&](int k) { return m.type[k] == PAWN ? 8 : 0; };
    const auto hi = [&](int k) { return m.type[k] == PAWN ? 56 : 64; };
    sq[i] = lo(i) - 1;
    while (i >= first) {
        // The next free square for man i.
        bool free;
        do {
            ++sq[i];
            free = true;
            for (int k = 0; k < i && free; ++k) free = sq[k] != sq[i];
        } while (sq[i] < hi(i) && !free);
        if (sq[i] >= hi(i)) {
            --i;
            continue;
        }
        if (i + 1 == m.n) {
            f(static_cast<const int*>(sq));
            continue;
        }
        ++i;
        sq[i] = lo(i) - 1;
    }
}

struct side_result {
    long long max_legal = -1;
    long over = 0, collisions = 0;
};

// Every placement of a three- or four-man table side.
side_result check_side(int table, int side) {
    const men m = men_of(table);
    const uint32_t count = side ? egtb_rows[table].positions_black : egtb_rows[table].positions_white;
    std::vector<uint32_t> owner(count, ~0u);  // the first placement at each index
    side_result r;
    auto visit = [&](const int* sq, int ep) {
        const uint32_t index = index_of(table, side, m, sq, ep);
        if (index >= count) {
            ++r.over;
            return;
        }
        r.max_legal = std::max<long long>(r.max_legal, index);
        if (owner[index] == ~0u) {
            owner[index] = pack(m, sq, ep);
            return;
        }
        int first[5], first_ep;
        unpack(m, owner[index], first, &first_ep);
        if (!is_image(m, first, first_ep, sq, ep)) ++r.collisions;
    };
    int squares[5] = {};
    each_placement(m, 0, squares, [&](const int* sq) {
        if (!legal(m, sq, side)) return;
        visit(sq, -1);
        const int ep = ep_square(m, sq, side);
        if (ep >= 0) visit(sq, ep);
    });
    return r;
}

TEST(DISABLED_IndexExhaustive, ThreeAndFourMen) {
    egtb_build_index_tables();
    for (int t = 1; t <= 35; ++t)
        for (int side = 0; side < 2; ++side) {
            const uint32_t count = side ? egtb_rows[t].positions_black : egtb_rows[t].positions_white;
            const side_result r = check_side(t, side);
            EXPECT_EQ(r.max_legal + 1, count) << egtb_rows[t].name << " side " << side;
            EXPECT_EQ(r.over, 0) << egtb_rows[t].name << " side " << side;
            EXPECT_EQ(r.collisions, 0) << egtb_rows[t].name << " side " << side;
            EXPECT_GE(egtb_index_range(t, side), count) << egtb_rows[t].name;
        }
}

// The kings of the last pair in the board's frame: the member folds the side to move's
// king onto the pair's first square (ranks mirrored for Black with pawns).
void last_pair_kings(int table, int side, int* sq) {
    using namespace egtb_index;
    const bool pawns = men_of(table).pawns;
    const int t = pawns ? PAIRS_PAWNS : PAIRS_PAWNLESS;
    const int last = pair_count[t] - 1;
    const int mirror = pawns && side ? 56 : 0;
    sq[side] = pair_first[t][last] ^ mirror;
    sq[side ^ 1] = pair_second[t][last] ^ mirror;
}

// The last king pair of a five-man side holds its top index.
void check_top(int table, int side) {
    const men m = men_of(table);
    const uint32_t count = side ? egtb_rows[table].positions_black : egtb_rows[table].positions_white;
    int kings[2];
    last_pair_kings(table, side, kings);
    long long top = -1, ep_top = -1;
    long over = 0;
    int squares[5] = {kings[0], kings[1], 0, 0, 0};
    each_placement(m, 2, squares, [&](const int* sq) {
        if (!legal(m, sq, side)) return;
        const uint32_t index = index_of(table, side, m, sq, -1);
        if (index >= count) ++over;
        top = std::max<long long>(top, index);
        const int ep = ep_square(m, sq, side);
        if (ep >= 0) {
            const uint32_t e = index_of(table, side, m, sq, ep);
            if (e >= count) ++over;
            ep_top = std::max<long long>(ep_top, e);
        }
    });
    EXPECT_EQ(over, 0) << egtb_rows[table].name << " side " << side;
    EXPECT_EQ(std::max(top, ep_top) + 1, count) << egtb_rows[table].name << " side " << side;
}

// Every five-man side in the release tree; a spread of them (with and without pawns,
// the first and the last row) in both trees.
TEST(DISABLED_IndexExhaustive, TopOfEveryFiveManSide) {
    egtb_build_index_tables();
    for (int t = 36; t <= EGTB_TABLES; ++t)
        for (int side = 0; side < 2; ++side) check_top(t, side);
}

TEST(Index, TopOfSomeFiveManSides) {
    egtb_build_index_tables();
    for (int t : {36, 45, 54, 63, 72, 81, 90, 99, 108, EGTB_TABLES})
        for (int side = 0; side < 2; ++side) check_top(t, side);
}

TEST(Index, RandomFiveManPlacementsStayInRangeAndFold) {
    egtb_build_index_tables();
    std::mt19937 rng(19);
    for (int t = 36; t <= EGTB_TABLES; ++t) {
        const men m = men_of(t);
        for (int side = 0; side < 2; ++side) {
            const uint32_t count = side ? egtb_rows[t].positions_black : egtb_rows[t].positions_white;
            for (int k = 0; k < 300;) {
                int sq[5];
                for (int i = 0; i < m.n; ++i)
                    sq[i] = m.type[i] == PAWN ? 8 + static_cast<int>(rng() % 48) : static_cast<int>(rng() % 64);
                if (!legal(m, sq, side)) continue;
                ++k;
                const uint32_t index = index_of(t, side, m, sq, -1);
                ASSERT_LT(index, count) << egtb_rows[t].name << " side " << side;
                // Mirror images read the same entry (without pawns while the kings do
                // not share a long diagonal: then the reflection in it is a second entry).
                const auto anti = [](int s) { return (s & 7) + (s >> 3) == 7; };
                const bool shared =
                    (egtb_index::on_diagonal(sq[0]) && egtb_index::on_diagonal(sq[1])) || (anti(sq[0]) && anti(sq[1]));
                for (int g = 1; g < (m.pawns ? 2 : 8); ++g) {
                    int img[5];
                    for (int i = 0; i < m.n; ++i) img[i] = transform(sq[i], g);
                    const bool tie = (g & 4) && shared;
                    if (!tie) {
                        EXPECT_EQ(index_of(t, side, m, img, -1), index) << egtb_rows[t].name << " g " << g;
                    }
                }
            }
        }
    }
}

TEST(Index, KpkFoldsTheFilesByTheWhiteKing) {
    egtb_build_index_tables();
    const men m = men_of(1);
    const int e_file[3] = {4, 60, 12};  // White king e1, Black king e8, pawn e2
    const int d_file[3] = {3, 59, 11};  // d1, d8, d2
    EXPECT_EQ(index_of(1, 0, m, e_file, -1), index_of(1, 0, m, d_file, -1));
}

TEST(Index, FlipFlagIndexesTheRankMirroredPosition) {
    egtb_build_index_tables();
    std::mt19937 rng(7);
    auto member = egtb_index_fn(1, 1);  // kpk, the pawn's side not to move
    for (int k = 0; k < 2000; ++k) {
        // Black has the pawn, White is to move: the probe swaps the colours.
        const int wk = static_cast<int>(rng() % 64), bk = static_cast<int>(rng() % 64);
        const int bp = 8 + static_cast<int>(rng() % 48);
        if (wk == bk || wk == bp || bk == bp ||
            std::max(std::abs((wk & 7) - (bk & 7)), std::abs((wk >> 3) - (bk >> 3))) <= 1)
            continue;
        int32_t first[16] = {}, second[16] = {};
        first[15] = bk;
        first[0] = bp;
        second[15] = wk;
        int32_t first_m[16] = {}, second_m[16] = {};
        first_m[15] = bk ^ 56;
        first_m[0] = bp ^ 56;
        second_m[15] = wk ^ 56;
        EXPECT_EQ(member(first, second, 127, 1), member(first_m, second_m, 127, 0));
    }
}

TEST(Index, KingPairTables) {
    egtb_build_index_tables();
    using namespace egtb_index;
    EXPECT_EQ(pair_number[PAIRS_PAWNS][0][2], 0);         // a1, c1: the first pair
    EXPECT_EQ(pair_number[PAIRS_PAWNS][0][1], NO_PAIR);   // kings side by side
    EXPECT_EQ(pair_number[PAIRS_PAWNS][4][60], NO_PAIR);  // a first king on file e
    EXPECT_EQ(pair_number[PAIRS_PAWNLESS][27][63], PAWNLESS_PAIRS - 1);
    EXPECT_EQ(pair_number[PAIRS_PAWNLESS][0][8], NO_PAIR);  // a1, a2: the second king above the diagonal
    EXPECT_EQ(base1_total[KIND_P][PAIRS_PAWNS], 81664u);    // kpk, White to move
    EXPECT_EQ(base1_total[KIND_p][PAIRS_PAWNS], 84012u);    // kpk, Black to move
}

}  // namespace
