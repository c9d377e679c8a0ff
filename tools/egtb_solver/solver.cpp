// Retrograde solver of the 35 three- and four-man Nalimov tables, for the tests.
//
//   egtb_solver <folder> [name...]
//
// Writes <name>.nbw and <name>.nbb (symmetric tables .nbw only) into the folder, every
// entry placed through the engine's own index members in the code the probe reads:
// 127 - n for mate in n moves, n - 126 for mated in n moves, 0 for a draw and 127 for
// an index that no legal position uses. Tables are solved in dependency order (three
// men, pawnless, one pawn, two pawns); a finished folder (its stamp file present and
// every file of the right size) is left as it is.
//
// The solver works on positions of its own numbering: the White king folded into a1-d4
// (pawnless) or onto files a-d (pawns), the other men on their squares, so that no
// position equals an image of itself and moves and un-moves pair one to one. Positions
// right after a double step that an enemy pawn can take en passant are positions of
// their own. Values are distances in plies, found level by level from the mates and
// from the conversions (captures, promotions) into smaller tables.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "egtb/egtb.h"
#include "egtb/rows.h"

namespace {

enum : int { WHITE, BLACK };
enum : int { NONE, PAWN, KNIGHT, BISHOP, ROOK, QUEEN, KING };
constexpr int MAX_MEN = 4;
constexpr int ILLEGAL = 255;
constexpr uint16_t RESOLVED = 0x8000, WIN = 0x4000, DRAWN = 0xFFFF;

// ---- geometry -----------------------------------------------------------------

int8_t king_steps[64][9], knight_steps[64][9];
int8_t rays[64][8][8];    // squares along each of 8 directions, -1 ended; 0-3 straight, 4-7 diagonal
int8_t line_dir[64][64];  // the direction from one square to another on a line, -1 none
bool near[64][64];        // king's step

void init_geometry() {
    const int kd[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
    const int nd[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    for (int sq = 0; sq < 64; ++sq) {
        const int f = sq & 7, r = sq >> 3;
        int nk = 0, nn = 0;
        for (int d = 0; d < 8; ++d) {
            int tf = f + kd[d][0], tr = r + kd[d][1];
            if (tf >= 0 && tf < 8 && tr >= 0 && tr < 8) king_steps[sq][nk++] = static_cast<int8_t>(tr * 8 + tf);
            tf = f + nd[d][0];
            tr = r + nd[d][1];
            if (tf >= 0 && tf < 8 && tr >= 0 && tr < 8) knight_steps[sq][nn++] = static_cast<int8_t>(tr * 8 + tf);
            int n = 0;
            for (int x = f + kd[d][0], y = r + kd[d][1]; x >= 0 && x < 8 && y >= 0 && y < 8;
                 x += kd[d][0], y += kd[d][1])
                rays[sq][d][n++] = static_cast<int8_t>(y * 8 + x);
            rays[sq][d][n] = -1;
        }
        for (int t = 0; t < 64; ++t) line_dir[sq][t] = -1;
        for (int d = 0; d < 8; ++d)
            for (const int8_t* r = rays[sq][d]; *r >= 0; ++r) line_dir[sq][*r] = static_cast<int8_t>(d);
        king_steps[sq][nk] = -1;
        knight_steps[sq][nn] = -1;
    }
    for (int a = 0; a < 64; ++a)
        for (int b = 0; b < 64; ++b) {
            const int df = (a & 7) - (b & 7), dr = (a >> 3) - (b >> 3);
            near[a][b] = a != b && df >= -1 && df <= 1 && dr >= -1 && dr <= 1;
        }
}

// ---- positions ----------------------------------------------------------------

struct position {
    int n = 0;
    int sq[MAX_MEN] = {};
    int type[MAX_MEN] = {};
    int color[MAX_MEN] = {};
    int8_t occ[64] = {};  // man index + 1, 0 empty

    void fill() {
        std::memset(occ, 0, sizeof occ);
        for (int i = 0; i < n; ++i) occ[sq[i]] = static_cast<int8_t>(i + 1);
    }
    int king(int c) const {
        for (int i = 0; i < n; ++i)
            if (type[i] == KING && color[i] == c) return sq[i];
        return -1;
    }
};

bool attacks(const position& p, int i, int target) {
    const int s = p.sq[i];
    switch (p.type[i]) {
        case KING: return near[s][target];
        case KNIGHT: {
            const int df = (target & 7) - (s & 7), dr = (target >> 3) - (s >> 3);
            return df * df + dr * dr == 5;
        }
        case PAWN: {
            const int df = (target & 7) - (s & 7), dr = (target >> 3) - (s >> 3);
            return (df == 1 || df == -1) && dr == (p.color[i] == WHITE ? 1 : -1);
        }
        default: {
            const int d = line_dir[s][target];
            if (d < 0 || (p.type[i] == BISHOP && d < 4) || (p.type[i] == ROOK && d >= 4)) return false;
            for (const int8_t* r = rays[s][d]; *r != target; ++r)
                if (p.occ[*r]) return false;
            return true;
        }
    }
}

bool attacked(const position& p, int target, int by) {
    for (int i = 0; i < p.n; ++i)
        if (p.color[i] == by && p.sq[i] != target && attacks(p, i, target)) return true;
    return false;
}
bool in_check(const position& p, int c) { return attacked(p, p.king(c), c ^ 1); }

// ---- tables of the solver -------------------------------------------------------

struct solved_table {
    std::vector<int8_t> data[2];  // Nalimov layout; symmetric tables side 0 only
    bool done = false;
};
solved_table solved[EGTB_TABLES + 1];
// Signed table numbers by material (ten counts as a key): only 3 and 4 men.
struct material_key {
    int counts[10];
    int number;
};
std::vector<material_key> materials;

int find_material(const int counts[10]) {
    for (const auto& m : materials)
        if (std::memcmp(m.counts, counts, sizeof m.counts) == 0) return m.number;
    return 0;
}

int letter_type(char c) {
    switch (c) {
        case 'n': return KNIGHT;
        case 'b': return BISHOP;
        case 'r': return ROOK;
        case 'q': return QUEEN;
        default: return PAWN;
    }
}

void build_materials() {
    for (int t = 1; t <= 35; ++t) {
        int w[10] = {};
        int c = 0;
        for (const char* p = egtb_rows[t].name + 1; *p; ++p) {
            if (*p == 'k') {
                c = 1;
                continue;
            }
            ++w[c * 5 + letter_type(*p) - 1];
        }
        materials.push_back({{w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8], w[9]}, t});
        if (!egtb_rows[t].symmetric)
            materials.push_back({{w[5], w[6], w[7], w[8], w[9], w[0], w[1], w[2], w[3], w[4]}, -t});
    }
}

// Square lists of the engine's index members.
void square_lists(const position& p, int32_t white[16], int32_t black[16]) {
    int used[2][5] = {};
    for (int i = 0; i < 16; ++i) white[i] = black[i] = 0;
    for (int i = 0; i < p.n; ++i) {
        int32_t* l = p.color[i] == WHITE ? white : black;
        if (p.type[i] == KING)
            l[15] = p.sq[i];
        else
            l[3 * (p.type[i] - 1) + used[p.color[i]][p.type[i] - 1]++] = p.sq[i];
    }
}

// Stored code of a position of a solved table, for `stm`; 0 for bare kings.
int stored_value(const position& p, int stm) {
    int counts[10] = {};
    bool any = false;
    for (int i = 0; i < p.n; ++i)
        if (p.type[i] != KING) {
            ++counts[p.color[i] * 5 + p.type[i] - 1];
            any = true;
        }
    if (!any) return 0;
    const int n = find_material(counts);
    if (n == 0 || !solved[n < 0 ? -n : n].done) {
        std::fprintf(stderr, "egtb_solver: no solved table for a conversion\n");
        std::exit(2);
    }
    int32_t w[16], b[16];
    square_lists(p, w, b);
    const int table = n < 0 ? -n : n;
    const int side = n < 0 ? stm ^ 1 : stm;
    const uint32_t index = n < 0 ? egtb_index_fn(table, side)(b, w, 127, 1) : egtb_index_fn(table, side)(w, b, 127, 0);
    const auto& data = solved[table].data[egtb_rows[table].symmetric ? 0 : side];
    if (index >= data.size() || data[index] == 127) {
        std::fprintf(stderr, "egtb_solver: %s has no value at index %u\n", egtb_rows[table].name, index);
        std::exit(2);
    }
    return data[index];
}

// Plies of a stored code: wins odd, losses even.
int plies_of(int code) { return code > 0 ? 2 * (127 - code) - 1 : 2 * (code + 126); }

// ---- one table ------------------------------------------------------------------

class table_solver {
public:
    explicit table_solver(int number) : number_(number) {
        const char* name = egtb_rows[number].name;
        int c = 0;
        type_[n_] = KING;
        color_[n_++] = WHITE;
        type_[n_] = KING;
        color_[n_++] = BLACK;
        for (const char* p = name + 1; *p; ++p) {
            if (*p == 'k') {
                c = 1;
                continue;
            }
            type_[n_] = letter_type(*p);
            color_[n_++] = c;
            if (type_[n_ - 1] == PAWN) pawns_[c] = true;
        }
        any_pawn_ = pawns_[0] || pawns_[1];
        dom_[0] = any_pawn_ ? 32 : 16;
        dom_[1] = 64;
        base_ = static_cast<uint32_t>(dom_[0]) * 64;
        for (int i = 2; i < n_; ++i) {
            dom_[i] = type_[i] == PAWN ? 48 : 64;
            base_ *= static_cast<uint32_t>(dom_[i]);
        }
        ep_ = pawns_[0] && pawns_[1] && n_ == 4;
        total_ = base_ + (ep_ ? static_cast<uint32_t>(dom_[0]) * 64 * 48 * 2 : 0);
        for (int s = 0; s < 2; ++s) {
            state_[s].assign(total_, node_state{});
        }
    }

    void solve() {
        initialise_all();
        for (size_t ply = 0; ply < buckets_.size(); ++ply) {
            // Every entry of this level is in: in node order the look-ups stay close.
            std::sort(buckets_[ply].begin(), buckets_[ply].end());
            for (size_t k = 0; k < buckets_[ply].size(); ++k) {
                const uint64_t e = buckets_[ply][k];
                const uint32_t node = static_cast<uint32_t>(e);
                const int s = static_cast<int>((e >> 32) & 1);
                const bool candidate = (e >> 33) & 1;
                if (candidate) {
                    if (state_[s][node].res) continue;
                    state_[s][node].res = static_cast<uint16_t>(RESOLVED | WIN | ply);
                }
                propagate(s, node, static_cast<int>(ply));
            }
            std::vector<uint64_t>().swap(buckets_[ply]);
        }
    }

    // Writes the values into the Nalimov layout of both sides.
    void store(solved_table& out) {
        for (int s = 0; s < 2; ++s) {
            if (s == 1 && egtb_rows[number_].symmetric) continue;
            const uint32_t count = s ? egtb_rows[number_].positions_black : egtb_rows[number_].positions_white;
            std::vector<int8_t>& data = out.data[s];
            data.assign(count, 127);
            position p;
            int32_t w[16], b[16];
            for (uint32_t node = 0; node < total_; ++node) {
                if (state_[s][node].count == ILLEGAL) continue;
                int ep = 127;
                decode(node, s, p, &ep);
                square_lists(p, w, b);
                const uint32_t index = egtb_index_fn(number_, s)(w, b, ep, 0);
                if (index >= count) fail("index beyond the table", p, s);
                const int8_t v = static_cast<int8_t>(code(s, node));
                if (data[index] != 127 && data[index] != v) fail("two values for one index", p, s);
                data[index] = v;
            }
        }
        out.done = true;
    }

private:
    int number_;
    int n_ = 0;
    int type_[MAX_MEN] = {}, color_[MAX_MEN] = {};
    int dom_[MAX_MEN] = {};
    bool pawns_[2] = {false, false};
    bool any_pawn_ = false;
    bool ep_ = false;
    uint32_t base_ = 0, total_ = 0;
    // One record a node, so that a look-up from an un-move touches one cache line.
    struct node_state {
        uint16_t res = 0;         // 0 open; RESOLVED, WIN and the plies; DRAWN for a stalemate
        uint8_t count = ILLEGAL;  // children not known to win for the opponent; 255 illegal
        uint8_t conv_max = 0;     // longest conversion into a win of the opponent, plies + 1
    };
    std::vector<node_state> state_[2];
    std::vector<std::vector<uint64_t>> buckets_;

    [[noreturn]] void fail(const char* what, const position& p, int s) {
        std::fprintf(stderr, "egtb_solver: %s: %s, %s to move:", egtb_rows[number_].name, what, s ? "black" : "white");
        for (int i = 0; i < p.n; ++i) std::fprintf(stderr, " %c%d", "?PNBRQK"[p.type[i]], p.sq[i]);
        std::fprintf(stderr, "\n");
        std::exit(2);
    }

    void push(int ply, int s, uint32_t node, bool candidate) {
        if (ply >= 250) {
            position p;
            int ep;
            decode(node, s, p, &ep);
            fail("distance too long", p, s);
        }
        if (buckets_.size() <= static_cast<size_t>(ply)) buckets_.resize(static_cast<size_t>(ply) + 1);
        buckets_[static_cast<size_t>(ply)].push_back(node | (static_cast<uint64_t>(s) << 32) |
                                                     (static_cast<uint64_t>(candidate) << 33));
    }

    int code(int s, uint32_t node) const {
        const uint16_t r = state_[s][node].res;
        if (!(r & RESOLVED) || r == DRAWN) return 0;
        const int ply = r & 0x3FFF;
        return (r & WIN) ? 127 - (ply + 1) / 2 : ply / 2 - 126;
    }

    // ---- numbering --------------------------------------------------------------

    int king_index(int sq) const { return (sq >> 3) * 4 + (sq & 3); }
    int king_square(int idx) const { return (idx >> 2) * 8 + (idx & 3); }

    // The fold by the White king: files, and ranks without pawns.
    int fold_mask(int wk) const {
        int m = (wk & 7) >= 4 ? 7 : 0;
        if (!any_pawn_ && (wk >> 3) >= 4) m |= 56;
        return m;
    }

    // Node of the men's squares (folded here); `ep_target` is the square behind a pawn
    // that has just moved two squares when an enemy pawn stands beside it (127 none).
    uint32_t node_of(const int* sq, int stm, int ep_target) const {
        const int m = fold_mask(sq[0]);
        const uint32_t kk = static_cast<uint32_t>(king_index(sq[0] ^ m)) * 64 + static_cast<uint32_t>(sq[1] ^ m);
        if (ep_target == 127) {
            uint32_t idx = kk;
            for (int i = 2; i < n_; ++i)
                idx = idx * static_cast<uint32_t>(dom_[i]) +
                      static_cast<uint32_t>((sq[i] ^ m) - (type_[i] == PAWN ? 8 : 0));
            return idx;
        }
        // Men 2 and 3 are White's and Black's pawn; the side to move's takes.
        const int capturer = (sq[2 + stm] ^ m), victim = (sq[3 - stm] ^ m);
        const uint32_t dir = victim > capturer ? 1 : 0;
        return base_ + (kk * 48 + static_cast<uint32_t>(capturer - 8)) * 2 + dir;
    }

    void set_men(position& p) const {
        p.n = n_;
        for (int i = 0; i < n_; ++i) {
            p.type[i] = type_[i];
            p.color[i] = color_[i];
        }
    }

    // Squares of a node; `ep` receives the en-passant square (127 none, -1 no such node).
    void decode(uint32_t node, int s, position& p, int* ep) const {
        set_men(p);
        *ep = 127;
        if (node < base_) {
            uint32_t idx = node;
            for (int i = n_ - 1; i >= 2; --i) {
                const int v = static_cast<int>(idx % static_cast<uint32_t>(dom_[i]));
                idx /= static_cast<uint32_t>(dom_[i]);
                p.sq[i] = type_[i] == PAWN ? v + 8 : v;
            }
            p.sq[1] = static_cast<int>(idx % 64);
            p.sq[0] = king_square(static_cast<int>(idx / 64));
        } else {
            uint32_t idx = node - base_;
            const int dir = static_cast<int>(idx & 1);
            idx >>= 1;
            const int cap = static_cast<int>(idx % 48) + 8;
            idx /= 48;
            p.sq[1] = static_cast<int>(idx % 64);
            p.sq[0] = king_square(static_cast<int>(idx / 64));
            const int victim_sq = dir ? cap + 1 : cap - 1;
            p.sq[2 + s] = cap;
            p.sq[3 - s] = victim_sq & 63;
            *ep = s == WHITE ? victim_sq + 8 : victim_sq - 8;
            // A pawn off its fifth rank (fourth for Black) or beside the edge: no such node.
            if ((cap >> 3) != (s == WHITE ? 4 : 3) || (cap & 7) != (victim_sq & 7) + (dir ? -1 : 1)) *ep = -1;
        }
        p.fill();
    }

    // Calls f(node, position) for every node below base_, in order, without divisions.
    template <typename F>
    void for_each_base(F&& f) const {
        position p;
        set_men(p);
        int digit[MAX_MEN] = {};
        for (uint32_t node = 0; node < base_; ++node) {
            p.sq[0] = king_square(digit[0]);
            p.sq[1] = digit[1];
            for (int i = 2; i < n_; ++i) p.sq[i] = type_[i] == PAWN ? digit[i] + 8 : digit[i];
            p.fill();
            f(node, p);
            for (int i = n_ - 1; i >= 0; --i) {
                if (++digit[i] < (i == 1 ? 64 : dom_[i])) break;
                digit[i] = 0;
            }
        }
    }

    // Whether the pawn that moved two squares (at `landing`) can be taken en passant:
    // an enemy pawn beside it.
    bool ep_possible(const position& p, int landing) const {
        const int me = p.occ[landing] - 1;
        for (int d : {-1, 1}) {
            const int t = landing + d;
            if (t < 0 || t > 63 || (t >> 3) != (landing >> 3)) continue;
            const int m = p.occ[t] - 1;
            if (m >= 0 && p.type[m] == PAWN && p.color[m] != p.color[me]) return true;
        }
        return false;
    }

    // Legal positions: men on distinct squares, the side not to move not in check, and
    // after a double step the two squares it crossed empty.
    bool legal(const position& p, int s, int ep) const {
        if (ep < 0) return false;
        for (int i = 0; i < n_; ++i)
            if (p.occ[p.sq[i]] != i + 1) return false;
        if (ep != 127 && (p.occ[ep] || p.occ[s == WHITE ? ep + 8 : ep - 8])) return false;
        return !in_check(p, s ^ 1);
    }

    // ---- forward moves ----------------------------------------------------------

    struct child {
        bool conversion;
        int value;  // stored code of a conversion, for the opponent
    };

    // Whether a quiet move of man i to `to` keeps the mover's king safe. A man off every
    // line through its king cannot uncover it while the king is not in check.
    bool quiet_move_legal(position& p, int s, int i, int to, bool checked) const {
        const int from = p.sq[i];
        if (p.type[i] != KING && !checked && line_dir[p.king(s)][from] < 0) return true;
        p.occ[from] = 0;
        p.occ[to] = static_cast<int8_t>(i + 1);
        p.sq[i] = to;
        const bool safe = !in_check(p, s);
        p.sq[i] = from;
        p.occ[to] = 0;
        p.occ[from] = static_cast<int8_t>(i + 1);
        return safe;
    }

    // The move of man i to `to`: a conversion (capture, promotion) is made on a copy and
    // reported with the value of its table when the mover's king is safe; a legal quiet
    // move is reported as such.
    template <typename F>
    void try_move(position& p, int s, int i, int to, int promo, int ep_victim, bool checked, F&& report) const {
        int victim = p.occ[to] - 1;
        if (ep_victim >= 0) victim = ep_victim;
        if (victim < 0 && !promo) {
            if (quiet_move_legal(p, s, i, to, checked)) report(child{false, 0});
            return;
        }
        position c = p;
        c.sq[i] = to;
        if (promo) c.type[i] = promo;
        if (victim >= 0) {
            for (int k = victim; k + 1 < c.n && k + 1 < MAX_MEN; ++k) {
                c.sq[k] = c.sq[k + 1];
                c.type[k] = c.type[k + 1];
                c.color[k] = c.color[k + 1];
            }
            --c.n;
        }
        c.fill();
        if (in_check(c, s)) return;
        report(child{true, stored_value(c, s ^ 1)});
    }

    template <typename F>
    void moves(position& p, int s, int ep, F&& report) const {
        const bool checked = in_check(p, s);
        for (int i = 0; i < p.n; ++i) {
            if (p.color[i] != s) continue;
            const int from = p.sq[i];
            auto target_ok = [&](int to) {
                const int m = p.occ[to] - 1;
                return m < 0 || (p.color[m] != s && p.type[m] != KING);
            };
            switch (p.type[i]) {
                case KING:
                    for (const int8_t* k = king_steps[from]; *k >= 0; ++k)
                        if (target_ok(*k)) try_move(p, s, i, *k, 0, -1, checked, report);
                    break;
                case KNIGHT:
                    for (const int8_t* k = knight_steps[from]; *k >= 0; ++k)
                        if (target_ok(*k)) try_move(p, s, i, *k, 0, -1, checked, report);
                    break;
                case PAWN: {
                    const int up = s == WHITE ? 8 : -8;
                    const int last = s == WHITE ? 7 : 0, start = s == WHITE ? 1 : 6;
                    auto step = [&](int to) {
                        if ((to >> 3) == last)
                            for (int promo = QUEEN; promo >= KNIGHT; --promo)
                                try_move(p, s, i, to, promo, -1, checked, report);
                        else
                            try_move(p, s, i, to, 0, -1, checked, report);
                    };
                    const int one = from + up;
                    if (!p.occ[one]) {
                        step(one);
                        const int two = one + up;
                        if ((from >> 3) == start && !p.occ[two]) try_move(p, s, i, two, 0, -1, checked, report);
                    }
                    for (int df : {-1, 1}) {
                        if ((from & 7) + df < 0 || (from & 7) + df > 7) continue;
                        const int to = one + df;
                        const int m = p.occ[to] - 1;
                        if (m >= 0 && p.color[m] != s && p.type[m] != KING) step(to);
                        if (to == ep && m < 0) try_move(p, s, i, to, 0, p.occ[to - up] - 1, checked, report);
                    }
                    break;
                }
                default: {
                    const int d0 = p.type[i] == BISHOP ? 4 : 0, d1 = p.type[i] == ROOK ? 4 : 8;
                    for (int d = d0; d < d1; ++d)
                        for (const int8_t* r = rays[from][d]; *r >= 0; ++r) {
                            if (target_ok(*r)) try_move(p, s, i, *r, 0, -1, checked, report);
                            if (p.occ[*r]) break;
                        }
                }
            }
        }
    }

    // First pass: which nodes are legal (count 0) and which are not (255).
    void mark_legal() {
        for (int s = 0; s < 2; ++s) {
            for_each_base([&](uint32_t node, const position& p) {
                if (legal(p, s, 127)) state_[s][node].count = 0;
            });
            position p;
            int ep;
            for (uint32_t node = base_; node < total_; ++node) {
                decode(node, s, p, &ep);
                if (legal(p, s, ep)) state_[s][node].count = 0;
            }
        }
    }

    // Second pass: the moves of a legal node, its mates and its conversions.
    void initialise(int s, uint32_t node, position& p, int ep) {
        int count = 0, legal_moves = 0, fastest = 1000, longest = 0;
        moves(p, s, ep, [&](const child& c) {
            ++legal_moves;
            if (!c.conversion || c.value <= 0) ++count;
            if (c.conversion && c.value > 0) longest = std::max(longest, plies_of(c.value) + 1);
            if (c.conversion && c.value < 0) fastest = std::min(fastest, plies_of(c.value) + 1);
        });
        if (count > 250) fail("too many moves", p, s);
        state_[s][node].count = static_cast<uint8_t>(count);
        state_[s][node].conv_max = static_cast<uint8_t>(longest);
        if (legal_moves == 0) {
            if (in_check(p, s)) {
                state_[s][node].res = RESOLVED;  // mated now
                push(0, s, node, false);
            } else {
                state_[s][node].res = DRAWN;  // stalemate
            }
            return;
        }
        if (count == 0) {
            state_[s][node].res = static_cast<uint16_t>(RESOLVED | longest);
            push(longest, s, node, false);
            return;
        }
        if (fastest < 1000) push(fastest, s, node, true);
    }

    void initialise_all() {
        mark_legal();
        for (int s = 0; s < 2; ++s) {
            for_each_base([&](uint32_t node, position& p) {
                if (state_[s][node].count != ILLEGAL) initialise(s, node, p, 127);
            });
            position p;
            int ep;
            for (uint32_t node = base_; node < total_; ++node) {
                if (state_[s][node].count == ILLEGAL) continue;
                decode(node, s, p, &ep);
                initialise(s, node, p, ep);
            }
        }
    }

    // ---- un-moves -----------------------------------------------------------------

    // Every node of the mover (the side not to move in `x`) from which one move of it
    // reaches x.
    template <typename F>
    void predecessors(position& y, int s, bool ep_node, int ep, F&& report) const {
        const int mover = s ^ 1;
        // Moves man i back to `from`, reports the node and restores the position.
        auto emit = [&](int i, int from) {
            const int at = y.sq[i];
            y.occ[at] = 0;
            y.occ[from] = static_cast<int8_t>(i + 1);
            y.sq[i] = from;
            report(node_of(y.sq, mover, 127));
            // The same position right after a double step of the side now not to move.
            if (ep_)
                for (int k = 2; k < y.n; ++k) {
                    if (y.type[k] != PAWN || y.color[k] != s) continue;
                    const int landing = y.sq[k], behind = s == WHITE ? landing - 8 : landing + 8;
                    const int origin = s == WHITE ? landing - 16 : landing + 16;
                    if ((landing >> 3) != (s == WHITE ? 3 : 4) || y.occ[behind] || y.occ[origin]) continue;
                    if (ep_possible(y, landing)) report(node_of(y.sq, mover, behind));
                }
            y.sq[i] = at;
            y.occ[from] = 0;
            y.occ[at] = static_cast<int8_t>(i + 1);
        };
        if (ep_node) {
            // Only the double step of the pawn that may be taken.
            const int victim = y.occ[s == WHITE ? ep - 8 : ep + 8] - 1;
            emit(victim, s == WHITE ? ep + 8 : ep - 8);
            return;
        }
        for (int i = 0; i < y.n; ++i) {
            if (y.color[i] != mover) continue;
            const int at = y.sq[i];
            switch (y.type[i]) {
                case KING:
                    for (const int8_t* k = king_steps[at]; *k >= 0; ++k)
                        if (!y.occ[*k]) emit(i, *k);
                    break;
                case KNIGHT:
                    for (const int8_t* k = knight_steps[at]; *k >= 0; ++k)
                        if (!y.occ[*k]) emit(i, *k);
                    break;
                case PAWN: {
                    const int down = mover == WHITE ? -8 : 8;
                    const int rank = at >> 3;
                    const int from = at + down;
                    if (mover == WHITE ? rank < 2 : rank > 5) break;  // a pawn on its first square
                    if (y.occ[from]) break;
                    const bool two = rank == (mover == WHITE ? 3 : 4) && !y.occ[from + down] && !ep_possible(y, at);
                    emit(i, from);
                    if (two) emit(i, from + down);
                    break;
                }
                default: {
                    const int d0 = y.type[i] == BISHOP ? 4 : 0, d1 = y.type[i] == ROOK ? 4 : 8;
                    for (int d = d0; d < d1; ++d)
                        for (const int8_t* r = rays[at][d]; *r >= 0 && !y.occ[*r]; ++r) emit(i, *r);
                }
            }
        }
    }

    void propagate(int s, uint32_t node, int ply) {
        position x;
        int ep;
        decode(node, s, x, &ep);
        const bool win = state_[s][node].res & WIN;
        const int mover = s ^ 1;
        predecessors(x, s, node >= base_, ep, [&](uint32_t y) {
            if (state_[mover][y].count == ILLEGAL || state_[mover][y].res) return;
            if (!win) {
                state_[mover][y].res = static_cast<uint16_t>(RESOLVED | WIN | (ply + 1));
                push(ply + 1, mover, y, false);
            } else if (--state_[mover][y].count == 0) {
                const int loss = std::max(ply + 1, static_cast<int>(state_[mover][y].conv_max));
                state_[mover][y].res = static_cast<uint16_t>(RESOLVED | loss);
                push(loss, mover, y, false);
            }
        });
    }
};

bool file_size_is(const std::string& path, uint32_t size) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && static_cast<uint64_t>(st.st_size) == size;
}

bool write_file(const std::string& path, const std::vector<int8_t>& data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

// Solving order: three men, pawnless four men, one pawn, two pawns.
const int solve_order[35] = {2,  3,  4,  5,  1,  8,  10, 11, 13, 14, 15, 17, 18, 19, 20, 23, 25, 26,
                             28, 29, 30, 32, 33, 34, 35, 7,  9,  12, 16, 22, 24, 27, 31, 6,  21};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: egtb_solver <folder> [name...]\n");
        return 1;
    }
    const std::string dir = argv[1];
    const std::string stamp = dir + "/solved.stamp";
    const bool all = argc == 2;
    if (all) {
        bool complete = file_size_is(stamp, 3);
        for (int t = 1; t <= 35 && complete; ++t)
            for (int s = 0; s < 2; ++s) {
                if (s == 1 && egtb_rows[t].symmetric) continue;
                const uint32_t n = s ? egtb_rows[t].positions_black : egtb_rows[t].positions_white;
                complete = complete && file_size_is(dir + "/" + egtb_rows[t].name + (s ? ".nbb" : ".nbw"), n);
            }
        if (complete) {
            std::printf("tables in %s are complete\n", dir.c_str());
            return 0;
        }
    }
    mkdir(dir.c_str(), 0755);
    std::remove(stamp.c_str());
    init_geometry();
    egtb_build_index_tables();
    build_materials();
    const auto start = std::chrono::steady_clock::now();
    // With names given, solving stops after the last table named.
    int last = 34;
    if (!all)
        while (last > 0) {
            bool named = false;
            for (int a = 2; a < argc; ++a) named = named || egtb_rows[solve_order[last]].name == std::string(argv[a]);
            if (named) break;
            --last;
        }
    for (int o = 0; o <= last; ++o) {
        const int t = solve_order[o];
        bool wanted = all;
        for (int a = 2; a < argc; ++a) wanted = wanted || egtb_rows[t].name == std::string(argv[a]);
        const auto t0 = std::chrono::steady_clock::now();
        {
            table_solver solver(t);
            solver.solve();
            solver.store(solved[t]);
        }
        if (wanted)
            for (int s = 0; s < 2; ++s) {
                if (s == 1 && egtb_rows[t].symmetric) continue;
                const std::string path = dir + "/" + egtb_rows[t].name + (s ? ".nbb" : ".nbw");
                if (!write_file(path, solved[t].data[s])) {
                    std::fprintf(stderr, "egtb_solver: cannot write %s\n", path.c_str());
                    return 2;
                }
            }
        const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("%-6s %7.2f s\n", egtb_rows[t].name, secs);
        std::fflush(stdout);
    }
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("all tables %.1f s\n", secs);
    if (all) {
        FILE* f = std::fopen(stamp.c_str(), "w");
        if (f) {
            std::fputs("ok\n", f);
            std::fclose(f);
        }
    }
    return 0;
}
