// Speed benchmark and ending tests.
#include "front/benchmark.h"

#include <cstdio>
#include <cstring>

#include "core/board.h"
#include "core/eval.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/output.h"
#include "core/state.h"
#include "egtb/bitbase.h"
#include "egtb/egtb.h"
#include "egtb/index.h"
#include "front/commands.h"
#include "front/egtb_commands.h"
#include "front/handlers.h"
#include "front/new_game.h"

uint32_t (*benchmark_clock)() = millis;
uint32_t benchmark_calibration_ms = 500;
double benchmark_run_seconds = 5.0;
uint32_t attack_table[2][64];

namespace {

// What the timed routines work on: they take no arguments.
int bench_side = WHITE;
int list_moves = 0, list_captures = 0;
move_list_entry* capture_start = nullptr;

void time_eval() { evaluate(bench_side, -30000, 30000); }
void time_incheck() { in_check_fn(bench_side); }
void time_inck_lm0() { in_check(WHITE); }
void time_inck_lm1() { in_check(BLACK); }
void time_inck_hm0() { in_check_by_rays(WHITE); }
void time_inck_hm1() { in_check_by_rays(BLACK); }
void time_movelist() { generate_moves(bench_side, 0, move_list_start[0]); }
void time_make_unmake_moves() {
    for (int i = 0; i < list_moves; ++i) {
        make_move(bench_side, move_list_start[0][i].move);
        unmake_move(bench_side, move_list_start[0][i].move);
    }
}
void time_caplist() { generate_captures(bench_side, 0); }
void time_make_unmake_captures() {
    for (int i = 0; i < list_captures; ++i) {
        make_move(bench_side, capture_start[i].move);
        unmake_move(bench_side, capture_start[i].move);
    }
}

// Adds one attack on a square: the count and the attacker's flag.
void mark(uint32_t* table, int sq, uint32_t flag) { table[sq] = (table[sq] + 1) | flag; }

uint32_t runs_ms(void (*routine)(), long n) {
    const uint32_t t0 = benchmark_clock();
    for (long i = 0; i < n; ++i) routine();
    return benchmark_clock() - t0;
}

}  // namespace

void build_attack_tables() {
    static const uint32_t flags[7] = {0, 0x4000, 0x2800, 0x1800, 0x400, 0x200, 0x100};
    const board_state& b = board;
    for (int side = 0; side < 2; ++side) {
        uint32_t* table = attack_table[side];
        std::memset(table, 0, sizeof attack_table[side]);
        for (int i = b.piece_count[side]; i >= 0; --i) {
            const int sq = b.piece_list[side][i];
            if (sq < 0) continue;
            const uint32_t p = b.piece[sq];
            const uint32_t flag = flags[p < 7 ? p : 0];
            switch (p) {
                case PAWN:
                case KNIGHT:
                case KING: {
                    const int kind = p == PAWN && side == BLACK ? BLACK_PAWN_KIND : static_cast<int>(p);
                    for (uint64_t m = attack_mask[kind][sq]; m; m &= m - 1) mark(table, __builtin_ctzll(m), flag);
                    break;
                }
                default:
                    for (int d = 0; d < 8; ++d) {
                        if (!slides_along(d, p)) continue;
                        for (int k = 0; k < ray_length[sq][d]; ++k) {
                            const int t = ray_squares[sq][d][k];
                            mark(table, t, flag);
                            if (b.piece[t] != EMPTY) break;
                        }
                    }
            }
        }
    }
}

void bench_routine(void (*routine)(), const char* label, int moves) {
    // Calibration: the count doubles until a run takes longer than the calibration
    // time, but no further than a bounded count, whatever the routine does.
    constexpr long MAX_CALIBRATION_CALLS = 1L << 30;
    long n = 20000;
    uint32_t ms;
    while ((ms = runs_ms(routine, n)) <= benchmark_calibration_ms && n < MAX_CALIBRATION_CALLS) n *= 2;
    if (ms == 0) {
        // A billion calls in no measurable time: the routine costs nothing here.
        level_printf(LVL_BOOK, "%8s: no measurable time in %ld calls\n", label, n);
        return;
    }
    const long m = static_cast<long>(benchmark_run_seconds / (ms * 0.001) * static_cast<double>(n));
    const double seconds = runs_ms(routine, m) * 0.001;
    const double t = seconds > 0 ? seconds : 0.001;
    level_printf(LVL_BOOK, "%8s: %9.1f calls/s, %7.3f us/call", label, m / t, t * 1000000.0 / static_cast<double>(m));
    if (moves == 0) {
        level_printf(LVL_BOOK, "\n");
        return;
    }
    const double k = static_cast<double>(m) * moves;
    level_printf(LVL_BOOK, ", %9.1f mv/s, %7.3f us/mv %2d\n", k / t, t * 1000000.0 / k, moves);
}

namespace {
// Making and taking back the moves of a list: with no move there is nothing to time.
void bench_make_unmake(void (*routine)(), const char* label, int moves, const char* what) {
    if (moves == 0)
        level_printf(LVL_BOOK, "%8s: nothing to time, no %s\n", label, what);
    else
        bench_routine(routine, label, moves);
}
}  // namespace

void speed_test(int side) {
    bench_side = side;
    bench_routine(time_eval, "eval", 0);
    bench_routine(build_attack_tables, "ataks", 0);
    bench_routine(time_incheck, "incheck", 0);
    bench_routine(time_inck_lm0, "inck_lm0", 0);
    bench_routine(time_inck_lm1, "inck_lm1", 0);
    for (int twice = 0; twice < 2; ++twice) {
        bench_routine(time_inck_hm0, "inck_hm0", 0);
        bench_routine(time_inck_hm1, "inck_hm1", 0);
    }
    list_moves = generate_moves(side, 0, move_list_start[0]);
    bench_routine(time_movelist, "movelist", list_moves);
    move_list_start[1] = move_list_start[0] + list_moves;
    bench_make_unmake(time_make_unmake_moves, "Mum(nc)", list_moves, "moves");
    list_captures = generate_captures(side, 0);
    capture_start = move_list_start[0];
    bench_routine(time_caplist, "caplist", list_captures);
    move_list_start[1] = capture_start + list_captures;
    bench_make_unmake(time_make_unmake_captures, "Mum(c)", list_captures, "captures");
}

void kbpk_test() {
    bitbase_clear_board();
    FILE* epd = open_file("kbpk.epd", "w", true);
    const int types[4] = {KING, KING, BISHOP, PAWN};
    const int colors[4] = {WHITE, BLACK, WHITE, WHITE};
    for (int side = 0; side < 2; ++side) {
        int legal = 0, wrong_draws = 0, wrong_losses = 0, draws = 0, lost = 0;
        const int t = side == WHITE ? 1 : 0, u = 1 - t;
        for (int wk = 0; wk < 64; ++wk) {
            level_printf(LVL_NORMAL, "%d\n", wk);
            for (int bk = 0; bk < 64; ++bk) {
                if (king_distance[wk][bk] <= 1) continue;
                for (int bs = 0; bs < 64; ++bs) {
                    if (((bs & 7) + (bs >> 3)) % 2 == 0 || bs == wk || bs == bk) continue;  // light squares
                    for (int ps = H2; ps <= H7; ps += 8) {
                        if (ps == wk || ps == bk || ps == bs) continue;
                        const int sq[4] = {wk, bk, bs, ps};
                        bitbase_place(4, sq, types, colors);
                        if (in_check(side ^ 1)) continue;
                        ++legal;
                        const int b = king_distance[bk][H8], w = king_distance[wk][H8];
                        int p = king_distance[ps][H8];
                        if (p > 5) p = 5;
                        const int v = w < p ? w : p;
                        const bool rule_draw =
                            b < 2 || b < v - t || (b < w - t && b < p + u) || (b < v + u && (bs & 7) == 7 && bs > ps);
                        int score = 0;
                        if (!probe_egtb(side, &score)) continue;
                        const bool table_lost = side == WHITE ? score > 0 : score < 0;
                        (table_lost ? lost : draws)++;
                        if (rule_draw && table_lost) {
                            const std::string fen = board_to_fen(side, false);
                            level_printf(LVL_NORMAL, "%s Koret %s tb %s\n", fen.c_str(), "Draw", "lost");
                            if (epd) std::fprintf(epd, "%s\n", fen.c_str());
                            ++wrong_draws;
                        } else if (!rule_draw && !table_lost) {
                            ++wrong_losses;
                        }
                    }
                }
            }
        }
        level_printf(LVL_NORMAL, "Out of %d positions: wrong draws=%d, wrong losses %d\n", legal, wrong_draws,
                     wrong_losses);
        level_printf(LVL_NORMAL, "%d draws, %d lost positions\n", draws, lost);
    }
    new_game(NEW_GAME_FULL);
    if (epd) std::fclose(epd);
    egtb_build_index_tables();
    int pairs = 0;
    for (int k1 = 0; k1 < 64; ++k1)
        for (int k2 = 0; k2 < 64; ++k2)
            pairs += egtb_index::pair_number[egtb_index::PAIRS_PAWNLESS][k1][k2] != egtb_index::NO_PAIR;
    std::printf("%d legal\n", pairs);
    std::fflush(stdout);
    ending_stats(QUEEN, PAWN, QUEEN, WHITE);
    ending_stats(QUEEN, PAWN, QUEEN, BLACK);
}

void ending_tests() {
    static const int runs[17][4] = {{4, 1, 4, 1}, {4, 1, 4, 0}, {4, 3, 4, 1}, {4, 3, 4, 0}, {4, 2, 4, 1}, {4, 2, 4, 0},
                                    {1, 1, 1, 1}, {1, 1, 1, 0}, {1, 1, 4, 1}, {1, 1, 4, 0}, {4, 4, 4, 0}, {5, 1, 5, 0},
                                    {5, 1, 5, 1}, {5, 3, 5, 0}, {5, 3, 5, 1}, {2, 2, 2, 1}, {2, 2, 2, 0}};
    for (const auto& r : runs) ending_stats(r[0], r[1], r[2], r[3]);
    ending_stats_wide(2, 2, 0);
}

int cmd_speed(const std::string&) {
    // Its move lists are made and taken back whole: a king taken would come back last
    // in its list.
    if (refuse_king_capture_position(side_to_move)) return CMD_READ_ON;
    speed_test(side_to_move);
    return CMD_READ_ON;
}

int cmd_kbpk(const std::string&) {
    kbpk_test();
    return CMD_READ_ON;
}

int cmd_xtest(const std::string&) {
    on_scratch_board(ending_tests);
    return CMD_READ_ON;
}
