// Bitbase rows, their files with the CRC check, their numbering and the probe.
#include "egtb/bitbase.h"

#include <cstdlib>
#include <cstring>

#include "core/board.h"
#include "core/output.h"
#include "core/state.h"
#include "egtb/egtb.h"
#include "egtb/index.h"

using namespace egtb_index;

uint32_t bitbase_probes = 0, bitbase_hits = 0;

namespace {

int dtm_score(int8_t v, int* score) {
    *score = v > 0 ? 32767 - v : v < 0 ? -32767 - v : 0;
    return BB_EXACT;
}

bool bit_set(const uint8_t* data, int64_t n) { return (data[n >> 3] >> (n & 7)) & 1; }

bool on_edge(int sq) { return (sq & 7) == 0 || (sq & 7) == 7 || (sq >> 3) == 0 || (sq >> 3) == 7; }

// A bound 0: class 2 when the stronger side is to move, class 3 when the weaker is.
int bound_zero(const bb_position& p, int* score) {
    *score = 0;
    return p.stm == WHITE ? BB_LOWER : BB_UPPER;
}

int piece_bound(const bb_position& p, int value, int* score) {
    *score = p.stm == WHITE ? value : -value;
    return p.stm == WHITE ? BB_LOWER : BB_UPPER;
}

int wdl_answer(int code, int win_bound, int loss_bound, int* score) {
    if (code == 0) {
        *score = 0;
        return BB_EXACT;
    }
    *score = code == 1 ? win_bound : loss_bound;
    return code == 1 ? BB_LOWER : BB_UPPER;
}

// Folds the squares as the numbering of the row's material wants them.
void fold(bb_position& p, bool pawns) {
    auto all = [&](auto f) {
        p.wk = f(p.wk);
        p.bk = f(p.bk);
        for (int i = 0; i < p.nw; ++i) p.wsq[i] = f(p.wsq[i]);
        if (p.nb) p.bsq = f(p.bsq);
        if (p.ep >= 0) p.ep = f(p.ep);
    };
    if (pawns) {
        const int m = file_mirror[p.wk];
        if (m) all([m](int s) { return s ^ m; });
        return;
    }
    const int q = quadrant[p.wk];
    if (q) all([q](int s) { return s ^ q; });
    if (above_diagonal(p.wk) || (on_diagonal(p.wk) && above_diagonal(p.bk))) all([](int s) { return reflect(s); });
}

int below(int sq, int a, int b, int c = 64) { return (a < sq) + (b < sq) + (c < sq); }

// Number of a pawn pair (both ranks 2-7) in scan order: lower square, then higher.
int pawn_pair_number(int lo, int hi) {
    lo -= 8;
    hi -= 8;
    return lo * 47 - lo * (lo - 1) / 2 + (hi - lo - 1);
}

// ---- probe functions ----------------------------------------------------------

int probe_dtm(const bitbase_descriptor& row, const bb_position& p, int* score) {
    const int64_t n = bitbase_number(row, p);
    if (n < 0) return BB_NONE;
    return dtm_score(static_cast<int8_t>(row.data[p.stm][n]), score);
}

// The common step of the bit rows: no answer without a number, a draw when the
// position's bit is clear; BIT_SET when the row's own rule decides.
constexpr int BIT_SET = -1;
int bit_row_draw(const bitbase_descriptor& row, const bb_position& p, int* score) {
    const int64_t n = bitbase_number(row, p);
    if (n < 0) return BB_NONE;
    if (bit_set(row.data[p.stm], n)) return BIT_SET;
    *score = 0;
    return BB_EXACT;
}

// Bit rows of one piece each without pawns: krkn, krkb, kqkn, kqkb.
int probe_each_bits(const bitbase_descriptor& row, const bb_position& p, int* score) {
    if (const int answer = bit_row_draw(row, p, score); answer != BIT_SET) return answer;
    if (row.type1 == ROOK && row.type2 == KNIGHT) {
        bb_position f = p;
        fold(f, false);
        if (f.wk == A1 && ((f.bk == C1 && f.wsq[0] == A2) || (f.bk == A3 && f.wsq[0] == B1))) return BB_NONE;
    }
    return piece_bound(p, 2 * piece_value[row.type1], score);
}

// Bit rows of two White pieces: kbnk (700), knpk, kbpk, kppk (800).
int probe_two_bits(const bitbase_descriptor& row, const bb_position& p, int* score) {
    if (const int answer = bit_row_draw(row, p, score); answer != BIT_SET) return answer;
    return piece_bound(p, row.numbering == BBN_TWO ? 700 : 800, score);
}

// knkp, kbkp: the pawn's side is the one that may win.
int probe_piece_vs_pawn_bits(const bitbase_descriptor& row, const bb_position& p, int* score) {
    if (const int answer = bit_row_draw(row, p, score); answer != BIT_SET) return answer;
    bb_position f = p;
    fold(f, true);
    const int bk = f.bk, bp = f.bsq;
    if (row.type1 == KNIGHT) {
        const bool near = king_distance[f.wk][bk] < 4;
        if (near && (bk == A1 || bk == A2) && (bp == A2 || bp == A3 || bp == A4)) return BB_NONE;
        if (near && (bk == A8 || bk == A7) && (bp == A7 || bp == A6 || bp == A5)) return BB_NONE;
    } else {
        if (bk == A1 && bp == A2 && (f.wk == C1 || f.wk == C2 || f.wk == C3)) return BB_NONE;
        if (bk == A8 && bp == A7 && (f.wk == C8 || f.wk == C7 || f.wk == C6)) return BB_NONE;
    }
    *score = p.stm == WHITE ? -500 : 500;
    return p.stm == WHITE ? BB_UPPER : BB_LOWER;
}

// W/D/L rows: krkp, kqkp, krkr, kqkr, kqkq.
int probe_wdl(const bitbase_descriptor& row, const bb_position& p, int* score) {
    const int64_t n = bitbase_number(row, p);
    if (n < 0) return BB_NONE;
    return wdl_answer(bitbase_wdl_code(row.data[p.stm], static_cast<uint32_t>(n)), 2 * piece_value[row.type1], -800,
                      score);
}

int probe_kpkp(const bitbase_descriptor& row, const bb_position& p, int* score) {
    if (p.ep >= 0) return BB_NONE;
    const int64_t n = bitbase_number(row, p);
    if (n < 0) return BB_NONE;
    bb_position f = p;
    fold(f, true);
    if (f.bsq == f.wsq[0] + 8 && bitbase_blocked.data[0]) {
        const int64_t b = bitbase_number(bitbase_blocked, p);
        if (b >= 0) return dtm_score(static_cast<int8_t>(bitbase_blocked.data[0][b]), score);
    }
    return wdl_answer(bitbase_wdl_code(row.data[p.stm], static_cast<uint32_t>(n)), 600, -600, score);
}

// ---- rows without a file --------------------------------------------------------

int probe_draw(const bitbase_descriptor&, const bb_position&, int* score) {
    *score = 0;
    return BB_EXACT;
}

// knkn, kbkn, kbkb: a draw but for a few mates in the corner.
int probe_minor_each(const bitbase_descriptor& row, const bb_position& p, int* score) {
    bb_position f = p;
    fold(f, false);
    const int w = f.wsq[0], b = f.bsq;
    bool open = false;
    if (row.type1 == KNIGHT) {
        open = (f.wk == A1 && ((f.bk == C2 && w == A2) || (f.bk == B3 && w == B1))) ||
               (f.bk == A1 && ((f.wk == C2 && b == A2) || (f.wk == B3 && b == B1)));
    } else if (row.type2 == KNIGHT) {
        open = (f.wk == A1 && ((f.bk == C1 && w == A2) || (f.bk == A3 && w == B1))) ||
               (f.bk == A1 && ((f.wk == C2 && b == A2) || (f.wk == B3 && b == B1)));
    } else {
        const auto any = [](int k, int s1, int s2, int s3) { return k == s1 || k == s2 || k == s3; };
        open = (f.wk == A1 && ((any(f.bk, C1, C2, C3) && w == A2) || (any(f.bk, A3, B3, C3) && w == B1))) ||
               (f.bk == A1 && ((any(f.wk, C1, C2, C3) && b == A2) || (any(f.wk, A3, B3, C3) && b == B1)));
    }
    if (open) return BB_NONE;
    *score = 0;
    return BB_EXACT;
}

int probe_knnk(const bitbase_descriptor&, const bb_position& p, int* score) {
    if (on_edge(p.bk) && king_distance[p.wk][p.bk] == 2) return bound_zero(p, score);
    *score = 0;
    return BB_EXACT;
}

int probe_kbbk(const bitbase_descriptor&, const bb_position& p, int* score) {
    const auto colour = [](int sq) { return ((sq & 7) + (sq >> 3)) & 1; };
    if (colour(p.wsq[0]) == colour(p.wsq[1])) {
        *score = 0;
        return BB_EXACT;
    }
    if (on_edge(p.bk) && king_distance[p.wk][p.bk] == 2) return bound_zero(p, score);
    if (p.stm == WHITE) {
        *score = 800;
        return BB_LOWER;
    }
    // The lone king may take a bishop beside it.
    const bool hanging = king_distance[p.bk][p.wsq[0]] == 1 || king_distance[p.bk][p.wsq[1]] == 1;
    *score = hanging ? 0 : -800;
    return BB_UPPER;
}

// krpk, krnk, krbk, krrk, kqpk, kqnk: the stronger side wins.
int probe_winning_two(const bitbase_descriptor&, const bb_position& p, int* score) {
    *score = p.stm == WHITE ? 1000 : 0;
    return p.stm == WHITE ? BB_LOWER : BB_UPPER;
}

}  // namespace

bitbase_descriptor bitbase_rows[] = {
    // One piece.
    {probe_dtm, "kpk", {}, {0xF0A5001Cu, 0xBCBC02C6u}, 0, 86688, 1, PAWN, 0, BBN_PIECE_PAWNS, 86688},
    {probe_dtm, "krk", {}, {0x8740EF53u, 0x18FEC0A6u}, 0, 28644, 1, ROOK, 0, BBN_PIECE, 28644},
    {probe_dtm, "kqk", {}, {0x5E78038Au, 0x5853E907u}, 0, 28644, 1, QUEEN, 0, BBN_PIECE, 28644},
    {probe_draw, nullptr, {}, {}, BB_NO_FILE, 0, 1, KNIGHT, 0, BBN_NONE, 0},
    {probe_draw, nullptr, {}, {}, BB_NO_FILE, 0, 1, BISHOP, 0, BBN_NONE, 0},
    // One piece each, the stronger first.
    {probe_kpkp, "kpkp", {}, {0x1B2BEDD1u, 0}, BB_WDL, 814868, 2, PAWN, PAWN, BBN_PAWN_EACH, 4074336},
    {probe_piece_vs_pawn_bits,
     "knkp",
     {},
     {0x0043461Bu, 0xFF21E06Bu},
     0,
     660997,
     2,
     KNIGHT,
     PAWN,
     BBN_PIECE_VS_PAWN,
     5287968},
    {probe_piece_vs_pawn_bits,
     "kbkp",
     {},
     {0xFD331CAEu, 0x43C588E9u},
     0,
     660997,
     2,
     BISHOP,
     PAWN,
     BBN_PIECE_VS_PAWN,
     5287968},
    {probe_wdl, "krkp", {}, {0xF75DF9CFu, 0xD8AC90DAu}, BB_WDL, 1057594, 2, ROOK, PAWN, BBN_PIECE_VS_PAWN, 5287968},
    {probe_each_bits, "krkn", {}, {0xA3546575u, 0x24EDF19Au}, 0, 218411, 2, ROOK, KNIGHT, BBN_EACH, 1747284},
    {probe_each_bits, "krkb", {}, {0xE6C2486Eu, 0xE7E1F204u}, 0, 218411, 2, ROOK, BISHOP, BBN_EACH, 1747284},
    {probe_wdl, "krkr", {}, {0xA9D9FC99u, 0}, BB_WDL, 349457, 2, ROOK, ROOK, BBN_EACH, 1747284},
    {probe_wdl, "kqkp", {}, {0x0DDF01E2u, 0x09BC5E65u}, BB_WDL, 1057594, 2, QUEEN, PAWN, BBN_PIECE_VS_PAWN, 5287968},
    {probe_each_bits, "kqkn", {}, {0x34954CD1u, 0x2A1882FCu}, 0, 218411, 2, QUEEN, KNIGHT, BBN_EACH, 1747284},
    {probe_each_bits, "kqkb", {}, {0x1993AC58u, 0xAE6A84D1u}, 0, 218411, 2, QUEEN, BISHOP, BBN_EACH, 1747284},
    {probe_wdl, "kqkr", {}, {0x6C9D0EEAu, 0x1D46E24Du}, BB_WDL, 349457, 2, QUEEN, ROOK, BBN_EACH, 1747284},
    {probe_wdl, "kqkq", {}, {0x06DCF330u, 0}, BB_WDL, 349457, 2, QUEEN, QUEEN, BBN_EACH, 1747284},
    {probe_minor_each, nullptr, {}, {}, BB_NO_FILE, 0, 2, KNIGHT, KNIGHT, BBN_NONE, 0},
    {probe_minor_each, nullptr, {}, {}, BB_NO_FILE, 0, 2, BISHOP, KNIGHT, BBN_NONE, 0},
    {probe_minor_each, nullptr, {}, {}, BB_NO_FILE, 0, 2, BISHOP, BISHOP, BBN_NONE, 0},
    // Two pieces on one side, the higher type first.
    {probe_two_bits, "kppk", {}, {0xC7C3B2B4u, 0xE2C5F7B3u}, 0, 254647, 3, PAWN, PAWN, BBN_PAWN_PAIR, 2037168},
    {probe_two_bits, "knpk", {}, {0xE0F2A103u, 0xBF2E9287u}, 0, 660997, 3, KNIGHT, PAWN, BBN_PIECE_AND_PAWN, 5287968},
    {probe_two_bits, "kbpk", {}, {0x6C3276DEu, 0x52D702E8u}, 0, 660997, 3, BISHOP, PAWN, BBN_PIECE_AND_PAWN, 5287968},
    {probe_two_bits, "kbnk", {}, {0xE390BF77u, 0xEB6F82BEu}, 0, 218411, 3, BISHOP, KNIGHT, BBN_TWO, 1747284},
    {probe_knnk, nullptr, {}, {}, BB_NO_FILE, 0, 3, KNIGHT, KNIGHT, BBN_NONE, 0},
    {probe_kbbk, nullptr, {}, {}, BB_NO_FILE, 0, 3, BISHOP, BISHOP, BBN_NONE, 0},
    {probe_winning_two, nullptr, {}, {}, BB_NO_FILE, 0, 3, ROOK, PAWN, BBN_NONE, 0},
    {probe_winning_two, nullptr, {}, {}, BB_NO_FILE, 0, 3, ROOK, KNIGHT, BBN_NONE, 0},
    {probe_winning_two, nullptr, {}, {}, BB_NO_FILE, 0, 3, ROOK, BISHOP, BBN_NONE, 0},
    {probe_winning_two, nullptr, {}, {}, BB_NO_FILE, 0, 3, ROOK, ROOK, BBN_NONE, 0},
    {probe_winning_two, nullptr, {}, {}, BB_NO_FILE, 0, 3, QUEEN, PAWN, BBN_NONE, 0},
    {probe_winning_two, nullptr, {}, {}, BB_NO_FILE, 0, 3, QUEEN, KNIGHT, BBN_NONE, 0},
};
const int bitbase_row_count = sizeof bitbase_rows / sizeof bitbase_rows[0];

bitbase_descriptor bitbase_blocked = {nullptr, "kpblk", {},   {0xD8DFCB18u, 0}, 0,    72240,
                                      2,       PAWN,    PAWN, BBN_BLOCKED,      72240};

namespace {

// Rows by material: [kind][type1][type2].
int row_index[4][6][6];
bool rows_indexed = false;

// Also builds the folding tables: the rows without a file answer before any bbpath.
void index_rows() {
    if (rows_indexed) return;
    egtb_build_index_tables();
    for (auto& k : row_index)
        for (auto& a : k)
            for (int& x : a) x = -1;
    for (int i = 0; i < bitbase_row_count; ++i) {
        const bitbase_descriptor& r = bitbase_rows[i];
        row_index[r.kind][r.type1][r.type2] = i;
    }
    rows_indexed = true;
}

const uint32_t powers_of_three[5] = {1, 3, 9, 27, 81};

}  // namespace

int bitbase_wdl_code(const uint8_t* data, uint32_t n) { return (data[n / 5] / powers_of_three[n % 5]) % 3; }

void bitbase_wdl_add(uint8_t* data, uint32_t n, int code) {
    data[n / 5] = static_cast<uint8_t>(data[n / 5] + code * static_cast<int>(powers_of_three[n % 5]));
}

int64_t bitbase_number(const bitbase_descriptor& row, bb_position p) {
    const bool pawns = row.type1 == PAWN || row.type2 == PAWN;
    fold(p, pawns);
    const int table = pawns ? PAIRS_PAWNS : PAIRS_PAWNLESS;
    const int pair = pair_number[table][p.wk][p.bk];
    if (pair >= pair_count[table]) return -1;
    switch (row.numbering) {
        case BBN_PIECE_PAWNS: return int64_t{pair} * 48 + (p.wsq[0] - 8);
        case BBN_PIECE: return int64_t{pair} * 62 + p.wsq[0] - below(p.wsq[0], p.wk, p.bk);
        case BBN_EACH:
        case BBN_TWO: {
            const int a = p.wsq[0];
            const int b = row.numbering == BBN_EACH ? p.bsq : p.wsq[1];
            return (int64_t{pair} * 62 + a - below(a, p.wk, p.bk)) * 61 + b - below(b, p.wk, p.bk, a);
        }
        case BBN_PIECE_AND_PAWN:
        case BBN_PIECE_VS_PAWN: {
            const int piece = p.wsq[0];
            const int pawn = row.numbering == BBN_PIECE_AND_PAWN ? p.wsq[1] : p.bsq;
            return (int64_t{pair} * 61 + piece - below(piece, p.wk, p.bk, pawn)) * 48 + (pawn - 8);
        }
        case BBN_PAWN_PAIR: {
            const int lo = p.wsq[0] < p.wsq[1] ? p.wsq[0] : p.wsq[1], hi = p.wsq[0] ^ p.wsq[1] ^ lo;
            return int64_t{pair} * 1128 + pawn_pair_number(lo, hi);
        }
        case BBN_PAWN_EACH:
            return (int64_t{pair} * 48 + (p.wsq[0] - 8)) * 47 + (p.bsq - 8) - (p.bsq > p.wsq[0] ? 1 : 0);
        case BBN_BLOCKED:
            if (p.wsq[0] > 47 || p.bsq != p.wsq[0] + 8) return -1;
            return int64_t{pair} * 40 + (p.wsq[0] - 8);
        default: return -1;
    }
}

int bitbase_probe(int side, int* score) {
    ++bitbase_probes;
    index_rows();
    const board_state& b = board;
    const int n = b.piece_count[WHITE] + b.piece_count[BLACK];
    if (n == 0) {
        *score = 0;
        ++bitbase_hits;
        return BB_EXACT;
    }
    if (n > 2) return BB_NONE;
    bb_position p{};
    p.stm = side;
    p.wk = b.piece_list[WHITE][0];
    p.bk = b.piece_list[BLACK][0];
    p.ep = b.ep_square;
    int types[2][2], squares[2][2], counts[2] = {0, 0};
    for (int c = 0; c < 2; ++c)
        for (int i = 1; i <= b.piece_count[c]; ++i) {
            const int sq = b.piece_list[c][i];
            types[c][counts[c]] = static_cast<int>(b.piece[sq]);
            squares[c][counts[c]++] = sq;
        }
    // White is to hold the stronger material; else mirror the board and swap the colours.
    bool swap;
    if (n == 1)
        swap = counts[BLACK] == 1;
    else if (counts[WHITE] == 1)
        swap = types[WHITE][0] < types[BLACK][0] || (types[WHITE][0] == types[BLACK][0] && side == BLACK);
    else
        swap = counts[BLACK] == 2;
    const int strong = swap ? BLACK : WHITE, weak = strong ^ 1;
    const int m = swap ? 56 : 0;
    if (swap) {
        p.stm ^= 1;
        p.wk = b.piece_list[BLACK][0] ^ 56;
        p.bk = b.piece_list[WHITE][0] ^ 56;
        if (p.ep >= 0) p.ep ^= 56;
    }
    p.nw = counts[strong];
    p.nb = counts[weak];
    for (int i = 0; i < p.nw; ++i) {
        p.wtype[i] = types[strong][i];
        p.wsq[i] = squares[strong][i] ^ m;
    }
    if (p.nw == 2 && p.wtype[1] > p.wtype[0]) {
        std::swap(p.wtype[0], p.wtype[1]);
        std::swap(p.wsq[0], p.wsq[1]);
    }
    if (p.nb) {
        p.btype = types[weak][0];
        p.bsq = squares[weak][0] ^ m;
    }
    int row;
    if (p.nw == 1 && p.nb == 0)
        row = row_index[1][p.wtype[0]][0];
    else if (p.nw == 1)
        row = row_index[2][p.wtype[0]][p.btype];
    else
        row = row_index[3][p.wtype[0]][p.wtype[1]];
    if (row < 0) return BB_NONE;
    const bitbase_descriptor& r = bitbase_rows[row];
    if (!(r.flags & BB_NO_FILE) && !r.data[p.stm]) return BB_NONE;
    const int cls = r.probe(r, p, score);
    if (cls) ++bitbase_hits;
    return cls;
}

void free_bitbases() {
    for (int i = 0; i < bitbase_row_count; ++i) {
        bitbase_descriptor& r = bitbase_rows[i];
        if (r.data[1] != r.data[0]) std::free(r.data[1]);
        std::free(r.data[0]);
        r.data[0] = r.data[1] = nullptr;
        r.flags &= ~(BB_LOADED_WHITE | BB_LOADED_BLACK);
    }
    std::free(bitbase_blocked.data[0]);
    bitbase_blocked.data[0] = nullptr;
    bitbase_blocked.flags &= ~BB_LOADED_WHITE;
}

namespace {

// Loads one file; true when it is in memory with the right CRC.
bool load_file(const std::string& path, uint32_t length, uint32_t crc, uint8_t** out) {
    FILE* f = open_for_reading(path, "rb");
    if (!f) return false;
    uint8_t* data = static_cast<uint8_t*>(std::malloc(length));
    bool ok = false;
    if (!data)
        level_printf(LVL_NORMAL, "Out of memory loading %s\n", path.c_str());
    else if (std::fread(data, 1, length, f) != length)
        level_printf(LVL_NORMAL, "error loading %s\n", path.c_str());
    else if (crc32_standard(data, length) != crc)
        level_printf(LVL_NORMAL, "CRC error in %s\n", path.c_str());
    else
        ok = true;
    std::fclose(f);
    if (!ok) {
        std::free(data);
        return false;
    }
    *out = data;
    return true;
}

}  // namespace

void bitbase_load(const std::string& directory) {
    egtb_build_index_tables();
    index_rows();
    free_bitbases();
    if (directory.empty()) return;
    const std::string prefix = directory + "/";
    int loaded = 0, failed = 0, total = 0;
    for (int i = 0; i < bitbase_row_count; ++i) {
        bitbase_descriptor& r = bitbase_rows[i];
        if (!r.name) continue;
        const bool same = r.kind == 2 && r.type1 == r.type2;
        for (int side = 0; side < (same ? 1 : 2); ++side) {
            const std::string path = prefix + r.name + (side ? ".bbb" : ".bbw");
            if (load_file(path, r.length, r.crc[side], &r.data[side])) {
                ++loaded;
                total += static_cast<int>(r.length);
                r.flags |= side ? BB_LOADED_BLACK : BB_LOADED_WHITE;
            } else {
                ++failed;
            }
        }
        if (same) r.data[1] = r.data[0];
    }
    if (load_file(prefix + bitbase_blocked.name + ".bbw", bitbase_blocked.length, bitbase_blocked.crc[0],
                  &bitbase_blocked.data[0])) {
        ++loaded;
        total += static_cast<int>(bitbase_blocked.length);
        bitbase_blocked.flags |= BB_LOADED_WHITE;
    } else {
        ++failed;
    }
    if (uci_mode)
        level_printf(LVL_UCI, "info string Loaded %d bitbases of size %d, %d failed\n", loaded, total, failed);
    else
        level_printf(LVL_NORMAL, "Loaded %d bitbases of size %d, %d failed\n", loaded, total, failed);
}
