#include "core/perft.h"

#include "core/board.h"
#include "core/hooks.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/output.h"
#include "core/settings.h"

double perft_counts[64];
int perft_stopped = 0;

namespace {
// Calls of perft (the nodes above the last ply) until the input is looked at again.
constexpr uint32_t PERFT_POLL_INTERVAL = 8192;
uint32_t perft_poll_countdown = PERFT_POLL_INTERVAL;

// The legal moves of `side` at `ply`: the leaves below it.
inline int legal_move_count(int side, int ply) {
    move_list_entry* list = move_list_start[ply];
    return in_check_fn(side) ? generate_evasions(side, ply, list) : generate_legal_moves(side, ply, list);
}

// The count below a move just made: the last ply is counted here, without a call.
inline void count_below(int depth, int side, int ply) {
    if (depth <= 1)
        perft_counts[ply + 1] += legal_move_count(side, ply);
    else
        perft(depth, side, ply);
}
}  // namespace

void perft(int depth, int side, int ply) {
    if (perft_stopped) return;
    if (--perft_poll_countdown == 0) {
        perft_poll_countdown = PERFT_POLL_INTERVAL;
        if (hooks.count_poll && hooks.count_poll()) {
            perft_stopped = 1;
            return;
        }
    }
    move_list_entry* list = move_list_start[ply];
    if (depth <= 1) {
        perft_counts[ply + 1] += legal_move_count(side, ply);
        return;
    }
    if (in_check_fn(side)) {
        const int n = generate_evasions(side, ply, list);
        perft_counts[ply + 1] += n;
        for (int i = 0; i < n; ++i) {
            const uint32_t m = list[i].move;
            make_move(side, m);
            count_below(depth - 1, side ^ 1, ply + 1);
            unmake_move(side, m);
            if (perft_stopped) return;
        }
        return;
    }
    const int n = generate_moves(side, ply, list);
    const int k = board.piece_list[side][0];
    pin_set pins;
    find_pins(side, k, pins);
    for (int i = 0; i < n; ++i) {
        const uint32_t m = list[i].move;
        const int from = move_from(m);
        if (from == k || (m & MOVE_EP)) {
            // King moves and en passant are tested after making them.
            make_move(side, m);
            if (in_check_fn(side)) {
                unmake_move(side, m);
                continue;
            }
        } else {
            if (on_line(k, from) && !pins.allows(k, from, move_to(m))) continue;
            make_move(side, m);
        }
        perft_counts[ply + 1] += 1;
        count_below(depth - 1, side ^ 1, ply + 1);
        unmake_move(side, m);
        if (perft_stopped) return;
    }
}

double perftest(int depth, int side) {
    if (refuse_king_capture_position(side)) return 0.0;
    if (depth < 1) depth = 1;
    if (depth > 63) depth = 63;
    for (int i = 0; i <= depth; ++i) perft_counts[i] = 0;

    // The piece-list check test pays off with few men on the board.
    int men = board.piece_count[WHITE] + board.piece_count[BLACK];
    if (relative_rank(WHITE, board.piece_list[WHITE][0]) == 0) men += ut1;
    if (relative_rank(BLACK, board.piece_list[BLACK][0]) == 0) men += ut1;
    bool (*saved)(int) = in_check_fn;
    in_check_fn = men < ut2 ? in_check : in_check_by_rays;

    // Depth by depth, so that a count stopped by the input still has every ply it
    // finished, each printed as it is done. The last two plies come from one walk: a
    // walk of its own for the last but one would cost a few per cent of the count.
    const uint32_t start = millis();
    perft_stopped = 0;
    perft_poll_countdown = PERFT_POLL_INTERVAL;
    double finished[64] = {};
    int done = 0;
    while (done < depth) {
        const int d = done + 1 == depth - 1 ? depth : done + 1;
        for (int i = 0; i <= d; ++i) perft_counts[i] = 0;
        perft(d, side, 0);
        if (perft_stopped) break;
        while (done < d) {
            ++done;
            finished[done] = perft_counts[done];
            level_printf(LVL_NORMAL, "%2d: %15.0f\n", done, finished[done]);
        }
    }
    const double seconds = (millis() - start) / 1000.0;
    in_check_fn = saved;
    for (int i = 0; i <= depth; ++i) perft_counts[i] = i <= done ? finished[i] : 0;
    if (perft_stopped) {
        level_printf(LVL_NORMAL, "perftest stopped after %.3f s\n", seconds);
        return done ? finished[done] : 0.0;
    }
    level_printf(LVL_NORMAL, "time %.3f s\n", seconds);
    return finished[depth];
}
