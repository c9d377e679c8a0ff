// Bitbase generation from the Nalimov tables, the check of the bitbases against the
// tables, and the statistics of small endings.
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/board.h"
#include "core/fen.h"
#include "core/movegen.h"
#include "core/output.h"
#include "egtb/bitbase.h"
#include "egtb/egtb.h"
#include "egtb/index.h"

using namespace egtb_index;

namespace {

const char piece_letters[] = "UPNBRQK L";

// Men placed by bitbase_place, lifted before the next position.
int placed_squares[8];
int placed_count = 0;

// Win, draw and loss counts of an ending with the distance histogram and the quickest
// win and loss found.
struct ending_tally {
    long npos = 0, legal = 0, broken = 0, won = 0, drawn = 0, lost = 0;
    unsigned long histogram[1024] = {};
    int max_score = -32768, min_score = 32768;
    std::string max_fen, min_fen, broken_fen;

    void add(int side, int s) {
        if (s > 0)
            ++won;
        else if (s < 0)
            ++lost;
        else
            ++drawn;
        const int d = s > 0 ? 32767 - s : s < 0 ? -32767 - s : 0;
        const int slot = d + 512 < 0 ? 0 : d + 512 > 1023 ? 1023 : d + 512;
        ++histogram[slot];
        if (s > max_score) {
            max_score = s;
            max_fen = board_to_fen(side, false);
        }
        if (s < min_score) {
            min_score = s;
            min_fen = board_to_fen(side, false);
        }
    }
    void fail(int side) {
        if (!broken++) broken_fen = board_to_fen(side, false);
    }
    void print(bool none_when_empty) const {
        level_printf(LVL_NORMAL, "\nnpos %ld legal %ld, broken %ld won %ld draw %ld lost %ld\n", npos, legal, broken,
                     won, drawn, lost);
        bool any = false;
        for (int i = 0; i < 1024; ++i) {
            if (!histogram[i]) continue;
            any = true;
            const int d = i - 512;
            if (d < 0)
                level_printf(LVL_NORMAL, "-M%-3d: %10lu\n", -d, histogram[i]);
            else if (d == 0)
                level_printf(LVL_NORMAL, " Draw: %10lu\n", histogram[i]);
            else
                level_printf(LVL_NORMAL, " M%-3d: %10lu\n", d, histogram[i]);
        }
        if (!any && none_when_empty) level_printf(LVL_NORMAL, "none\n");
        const int hi = max_score == -32768 ? 0 : max_score, lo = min_score == 32768 ? 0 : min_score;
        level_printf(LVL_NORMAL, "max %d (mate in %d)\n%s\n", hi, hi > 0 ? 32767 - hi : 0, max_fen.c_str());
        level_printf(LVL_NORMAL, "min %d (mated in %d)\n%s\n", lo, lo < 0 ? -32767 - lo : 0, min_fen.c_str());
    }
};

// Puts a placement on the board and asks the tables for `side`: -1 when the side not
// to move stands in check, 0 when the tables answer nothing, 1 with the score.
int place_and_probe(int side, int men, const int* sq, const int* types, const int* colors, long* npos, long* legal,
                    int* score) {
    ++*npos;
    bitbase_place(men, sq, types, colors);
    if (in_check(side ^ 1)) return -1;
    ++*legal;
    return probe_egtb(side, score) ? 1 : 0;
}

// ---- generation ------------------------------------------------------------------

const char* format_name(const bitbase_descriptor& row) {
    if (row.numbering == BBN_PIECE_PAWNS || row.numbering == BBN_PIECE || row.numbering == BBN_BLOCKED) return "DTM";
    return (row.flags & BB_WDL) ? "W/D/L" : "W/D";
}

std::string ending_name(const bitbase_descriptor& row) {
    std::string name = "K";
    name += piece_letters[row.type1];
    if (row.kind == 3) name += piece_letters[row.type2];
    name += "K";
    if (row.kind == 2) name += piece_letters[row.type2];
    return name;
}

// Calls f(position, squares, types, colors, men) for every placement of a row's
// numbering: king pairs of the row's table, then the pieces on every free square
// (pawns on ranks 2-7).
template <typename F>
void for_each_row_position(const bitbase_descriptor& row, F&& f) {
    const bool pawns = row.type1 == PAWN || row.type2 == PAWN;
    const int table = pawns ? PAIRS_PAWNS : PAIRS_PAWNLESS;
    // The men besides the kings: White's one or two, then Black's.
    int types[4] = {KING, KING, row.type1, row.type2};
    int colors[4] = {WHITE, BLACK, WHITE, row.kind == 3 ? WHITE : BLACK};
    const int men = row.kind == 1 ? 3 : 4;
    int sq[4];
    for (int pair = 0; pair < pair_count[table]; ++pair) {
        sq[0] = pair_first[table][pair];
        sq[1] = pair_second[table][pair];
        const int lo2 = types[2] == PAWN ? 8 : 0, hi2 = types[2] == PAWN ? 56 : 64;
        for (sq[2] = lo2; sq[2] < hi2; ++sq[2]) {
            if (sq[2] == sq[0] || sq[2] == sq[1]) continue;
            if (men == 3) {
                f(sq, types, colors, men);
                continue;
            }
            if (row.numbering == BBN_BLOCKED) {
                if (sq[2] > 47) continue;
                sq[3] = sq[2] + 8;
                if (sq[3] != sq[0] && sq[3] != sq[1]) f(sq, types, colors, men);
                continue;
            }
            const int lo3 = types[3] == PAWN ? 8 : 0, hi3 = types[3] == PAWN ? 56 : 64;
            for (sq[3] = lo3; sq[3] < hi3; ++sq[3]) {
                if (sq[3] == sq[0] || sq[3] == sq[1] || sq[3] == sq[2]) continue;
                if (row.numbering == BBN_PAWN_PAIR && sq[3] < sq[2]) continue;  // an unordered pair
                f(sq, types, colors, men);
            }
        }
    }
}

bb_position row_position(const bitbase_descriptor& row, int side, const int* sq) {
    bb_position p{};
    p.stm = side;
    p.wk = sq[0];
    p.bk = sq[1];
    p.ep = -1;
    p.wtype[0] = row.type1;
    p.wsq[0] = sq[2];
    if (row.kind == 3) {
        p.nw = 2;
        p.wtype[1] = row.type2;
        p.wsq[1] = sq[3];
    } else {
        p.nw = 1;
    }
    if (row.kind == 2) {
        p.nb = 1;
        p.btype = row.type2;
        p.bsq = sq[3];
    }
    return p;
}

// Makes the file of one row and side; null when it failed.
uint8_t* generate(const bitbase_descriptor& row, int side, uint32_t* length) {
    const char* format = format_name(row);
    const bool dtm = format[0] == 'D', wdl = (row.flags & BB_WDL) != 0;
    const uint32_t size = dtm ? row.positions : wdl ? row.positions / 5 + 1 : row.positions / 8 + 1;
    level_printf(LVL_NORMAL, "Try to create %s bitbase in %s format\n", ending_name(row).c_str(), format);
    level_printf(LVL_NORMAL, "Try to allocate space for %d positions ", static_cast<int>(row.positions));
    level_printf(LVL_NORMAL, "%d bytes: ", static_cast<int>(size));
    uint8_t* data = static_cast<uint8_t*>(std::calloc(size, 1));
    if (!data) {
        level_printf(LVL_NORMAL, "failed\n");
        return nullptr;
    }
    level_printf(LVL_NORMAL, "ok\n");
    ending_tally tally;
    for_each_row_position(row, [&](const int* sq, const int* types, const int* colors, int men) {
        int s = 0;
        const int found = place_and_probe(side, men, sq, types, colors, &tally.npos, &tally.legal, &s);
        if (found < 0) return;
        if (!found) {
            tally.fail(side);
            return;
        }
        const int64_t n = bitbase_number(row, row_position(row, side, sq));
        if (n < 0 || static_cast<uint64_t>(n) >= row.positions) {
            tally.fail(side);
            return;
        }
        if (dtm)
            data[n] = static_cast<uint8_t>(static_cast<int8_t>(s > 0 ? 32767 - s : s < 0 ? -32767 - s : 0));
        else if (wdl)
            bitbase_wdl_add(data, static_cast<uint32_t>(n), s > 0 ? 1 : s < 0 ? 2 : 0);
        else if (s != 0)
            data[n >> 3] = static_cast<uint8_t>(data[n >> 3] | (1u << (n & 7)));
        tally.add(side, s);
    });
    tally.print(false);
    if (tally.broken) {
        level_printf(LVL_NORMAL, "broken %ld\n%s\n", tally.broken, tally.broken_fen.c_str());
        level_printf(LVL_NORMAL, "broken %ld\n", tally.broken);
        std::free(data);
        return nullptr;
    }
    *length = size;
    return data;
}

// Generates, checks and writes one file; counts it as made or failed.
void make_file(const bitbase_descriptor& row, int side, int* made, int* failed, long* total) {
    const std::string name = std::string(row.name) + (side ? ".bbb" : ".bbw");
    level_printf(LVL_NORMAL, "%s.%s\n", row.name, side ? "bbb" : "bbw");
    uint32_t length = 0;
    uint8_t* data = generate(row, side, &length);
    if (!data) {
        level_printf(LVL_NORMAL, "Oops, error generating table\n");
        ++*failed;
        return;
    }
    if (length != row.length) level_printf(LVL_NORMAL, "Ooops, length error!!!!!!\n");
    level_printf(LVL_NORMAL, "%s: length %lu CRC32 = 0x%08lxUL\n", name.c_str(), static_cast<unsigned long>(length),
                 static_cast<unsigned long>(crc32_standard(data, length)));
    FILE* f = open_file(name.c_str(), "wb");
    if (f) {
        if (std::fwrite(data, 1, length, f) != length) level_printf(LVL_NORMAL, "error writing %s\n", name.c_str());
        std::fclose(f);
    }
    ++*made;
    *total += length;
    std::free(data);
}

// ---- verification ------------------------------------------------------------------

struct verify_counts {
    long brok = 0, npos = 0, legal = 0;
    long win = 0, draw = 0, loss = 0;
    long cls[5] = {};                           // worthless, exact, lower, upper, unknown
    long correct[5][3] = {}, wrong[5][3] = {};  // by class; table win, draw, loss
};

const char* class_name(int c) {
    switch (c) {
        case BB_NONE: return "worthless";
        case BB_EXACT: return "exact";
        case BB_LOWER: return "lowerbound";
        case BB_UPPER: return "upperbound";
        default: return "unknown";
    }
}

void write_wrong(int side, int table, int cls, int score) {
    const int shown = table > 0 ? 32767 - table : table < 0 ? -32767 - table : 0;
    const std::string line =
        text_printf("%s c0 \"TBs %d, BBs %s:%d\";\n", board_to_fen(side, false).c_str(), shown, class_name(cls), score);
    level_printf(LVL_NORMAL, "%s", line.c_str());
    FILE* f = open_file("wrongbb.epd", "a", true);
    if (f) {
        std::fputs(line.c_str(), f);
        std::fclose(f);
    }
}

// Calls f() for every placement of an ending: White's king on files a-d (on the
// triangle a1-d1-d4 without pawns), Black's king on every square not next to it,
// the other men on every free square (pawns on ranks 2-7). `on_white_king` is told
// each square of White's king as it goes.
template <typename F, typename K>
void for_each_ending_position(int men, const int* types, F&& f, K&& on_white_king) {
    bool pawns = false;
    for (int i = 2; i < men; ++i) pawns |= types[i] == PAWN;
    int sq[8];
    for (int wk = 0; wk < 64; ++wk) {
        if ((wk & 7) > 3 || (!pawns && above_diagonal(wk))) continue;
        on_white_king(wk);
        sq[0] = wk;
        for (int bk = 0; bk < 64; ++bk) {
            if (king_distance[wk][bk] <= 1) continue;
            sq[1] = bk;
            // The other men, one loop each.
            int depth = 2;
            sq[2] = -1;
            while (depth >= 2) {
                if (depth == men) {
                    f(sq);
                    --depth;
                    continue;
                }
                const bool pawn = types[depth] == PAWN;
                int s = sq[depth] < 0 ? (pawn ? 8 : 0) : sq[depth] + 1;
                for (; s < (pawn ? 56 : 64); ++s) {
                    bool free = true;
                    for (int k = 0; k < depth; ++k) free = free && sq[k] != s;
                    if (free) break;
                }
                if (s >= (pawn ? 56 : 64)) {
                    sq[depth] = -1;
                    --depth;
                    continue;
                }
                sq[depth] = s;
                ++depth;
                if (depth < men) sq[depth] = -1;
            }
        }
    }
}

void verify_ending(int side, int men, const int* types, const int* colors) {
    std::string name = "K";
    for (int i = 2; i < men; ++i)
        if (colors[i] == WHITE) name += piece_letters[types[i]];
    name += "K";
    for (int i = 2; i < men; ++i)
        if (colors[i] == BLACK) name += piece_letters[types[i]];
    name += side ? " black to move" : " white to move";
    level_printf(LVL_NORMAL, "Testing bitbase: %s\n", name.c_str());
    verify_counts v;
    for_each_ending_position(
        men, types,
        [&](const int* sq) {
            int t = 0;
            const int found = place_and_probe(side, men, sq, types, colors, &v.npos, &v.legal, &t);
            if (found < 0) return;
            if (!found) {
                ++v.brok;
                return;
            }
            const int outcome = t > 0 ? 0 : t == 0 ? 1 : 2;
            (t > 0 ? v.win : t == 0 ? v.draw : v.loss)++;
            int b = 0;
            const int cls = bitbase_probe(side, &b);
            const int c = cls >= BB_NONE && cls <= BB_UPPER ? cls : 4;
            ++v.cls[c];
            bool wrong = false;
            if (c == BB_EXACT)
                wrong = (b > 0) != (t > 0) || (b < 0) != (t < 0);
            else if (c == BB_UPPER)
                wrong = (b < 0 && t >= 0) || (b == 0 && t > 0);
            else if (c == BB_LOWER)
                wrong = (b > 0 && t <= 0) || (b == 0 && t < 0);
            (wrong ? v.wrong : v.correct)[c][outcome]++;
            if (wrong) write_wrong(side, t, cls, b);
        },
        [](int) {});
    level_printf(LVL_NORMAL, "\nbrok %ld, npos %ld, legal %ld\n", v.brok, v.npos, v.legal);
    level_printf(LVL_NORMAL, "Nalimov: win %ld, draw %ld, loss %ld\n", v.win, v.draw, v.loss);
    level_printf(LVL_NORMAL, "worthless %ld, exact %ld, upper %ld, lower %ld, unknown %ld\n", v.cls[0], v.cls[1],
                 v.cls[3], v.cls[2], v.cls[4]);
    const struct {
        const char* label;
        int c;
    } rows[4] = {
        {"EXACT:      ", BB_EXACT}, {"UPPERBOUND: ", BB_UPPER}, {"LOWERBOUND: ", BB_LOWER}, {"WORTHLESS:", BB_NONE}};
    for (const auto& r : rows) {
        level_printf(LVL_NORMAL, "%s correct: win %ld, draw %ld, loss %ld\n", r.label, v.correct[r.c][0],
                     v.correct[r.c][1], v.correct[r.c][2]);
        level_printf(LVL_NORMAL, "  wrong  : win %ld, draw %ld, loss %ld\n", v.wrong[r.c][0], v.wrong[r.c][1],
                     v.wrong[r.c][2]);
    }
}

// Statistics of one ending into a tally.
void tally_ending(ending_tally& tally, int side, int men, const int* types, const int* colors, bool print_king) {
    for_each_ending_position(
        men, types,
        [&](const int* sq) {
            int s = 0;
            const int found = place_and_probe(side, men, sq, types, colors, &tally.npos, &tally.legal, &s);
            if (found == 0) tally.fail(side);
            if (found > 0) tally.add(side, s);
        },
        [&](int wk) {
            if (print_king) level_printf(LVL_NORMAL, "%d ", wk);
        });
}

// Men of an ending: the kings, White's pieces, Black's piece (types 0 left out).
int ending_men(int w1, int w2, int b1, int* types, int* colors) {
    int n = 0;
    types[n] = KING;
    colors[n++] = WHITE;
    types[n] = KING;
    colors[n++] = BLACK;
    for (int t : {w1, w2})
        if (t >= PAWN && t <= QUEEN) {
            types[n] = t;
            colors[n++] = WHITE;
        }
    if (b1 >= PAWN && b1 <= QUEEN) {
        types[n] = b1;
        colors[n++] = BLACK;
    }
    return n;
}

}  // namespace

void bitbase_place(int n, const int* squares, const int* types, const int* colors) {
    board_state& b = board;
    for (int i = 0; i < placed_count; ++i) {
        b.piece[placed_squares[i]] = EMPTY;
        b.color[placed_squares[i]] = NO_COLOR;
    }
    b.piece_count[WHITE] = b.piece_count[BLACK] = 0;
    b.material[WHITE] = b.material[BLACK] = 0;
    b.pawn_material[WHITE] = b.pawn_material[BLACK] = 0;
    b.piece_material[WHITE] = b.piece_material[BLACK] = 0;
    b.men[WHITE] = b.men[BLACK] = 0;
    for (auto& side_kinds : b.kinds)
        for (uint64_t& set : side_kinds) set = 0;
    for (int i = 0; i < n; ++i) {
        const int sq = squares[i], c = colors[i];
        b.piece[sq] = static_cast<uint32_t>(types[i]);
        b.color[sq] = static_cast<uint32_t>(c);
        b.men[c] |= 1ULL << sq;
        b.kinds[c][types[i] & 7] |= 1ULL << sq;
        placed_squares[i] = sq;
        if (types[i] == KING) {
            b.piece_list[c][0] = sq;
            b.list_index[sq] = 0;
        } else {
            const int k = ++b.piece_count[c];
            b.piece_list[c][k] = sq;
            b.list_index[sq] = static_cast<uint32_t>(k);
            b.material[c] += piece_value[types[i]];
            (types[i] == PAWN ? b.pawn_material : b.piece_material)[c] += piece_value[types[i]];
        }
    }
    placed_count = n;
    for (int c = 0; c < 2; ++c) b.piece_list[c][b.piece_count[c] + 1] = -1;
    b.castling_rights = 0;
    b.ep_square = -1;
}

void bitbase_clear_board() {
    std::memset(board.piece, 0, sizeof board.piece);
    for (auto& c : board.color) c = NO_COLOR;
    placed_count = 0;
}

void create_bitbases() {
    egtb_build_index_tables();
    bitbase_clear_board();
    int made = 0, failed = 0;
    long total = 0;
    for (int i = 0; i < bitbase_row_count; ++i) {
        const bitbase_descriptor& row = bitbase_rows[i];
        if (!row.name) continue;
        for (int side = 0; side < 2; ++side) make_file(row, side, &made, &failed, &total);
    }
    make_file(bitbase_blocked, WHITE, &made, &failed, &total);
    level_printf(LVL_NORMAL, "\nnsucc %d, nfail %d, size %d\n\n", made, failed, static_cast<int>(total));
}

void bitbase_verify() {
    egtb_build_index_tables();
    bitbase_clear_board();
    int types[4], colors[4];
    for (int side = 0; side < 2; ++side) {
        for (int owner = 0; owner < 2; ++owner)
            for (int t = PAWN; t <= QUEEN; ++t) {
                const int n = ending_men(owner ? 0 : t, 0, owner ? t : 0, types, colors);
                verify_ending(side, n, types, colors);
            }
        for (int w = PAWN; w <= QUEEN; ++w)
            for (int b = PAWN; b <= QUEEN; ++b) {
                const int n = ending_men(w, 0, b, types, colors);
                verify_ending(side, n, types, colors);
            }
        for (int owner = 0; owner < 2; ++owner)
            for (int hi = PAWN; hi <= QUEEN; ++hi)
                for (int lo = PAWN; lo <= hi; ++lo) {
                    int n = ending_men(hi, lo, 0, types, colors);
                    if (owner)
                        for (int i = 2; i < n; ++i) colors[i] = BLACK;
                    verify_ending(side, n, types, colors);
                }
    }
}

void ending_stats(int w1, int w2, int b1, int side) {
    egtb_build_index_tables();
    bitbase_clear_board();
    int types[5], colors[5];
    const int n = ending_men(w1, w2, b1, types, colors);
    ending_tally tally;
    tally_ending(tally, side, n, types, colors, true);
    tally.print(true);
}

void ending_stats_wide(int w1, int w2, int side) {
    egtb_build_index_tables();
    bitbase_clear_board();
    int types[5], colors[5];
    ending_tally tally;
    for (int b1 = PAWN; b1 <= QUEEN; ++b1) {
        const int n = ending_men(w1, w2, b1, types, colors);
        tally_ending(tally, side, n, types, colors, true);
    }
    tally.print(true);
}
