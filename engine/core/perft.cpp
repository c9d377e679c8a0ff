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
// Calls of perft until the input is looked at again.
constexpr uint32_t PERFT_POLL_INTERVAL = 8192;
uint32_t perft_poll_countdown = PERFT_POLL_INTERVAL;
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
        const int n = in_check_fn(side) ? generate_evasions(side, ply, list) : generate_legal_moves(side, ply, list);
        perft_counts[ply + 1] += n;
        return;
    }
    if (in_check_fn(side)) {
        const int n = generate_evasions(side, ply, list);
        perft_counts[ply + 1] += n;
        for (int i = 0; i < n; ++i) {
            const uint32_t m = list[i].move;
            make_move(side, m);
            perft(depth - 1, side ^ 1, ply + 1);
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
        perft(depth - 1, side ^ 1, ply + 1);
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

    const uint32_t start = millis();
    perft_stopped = 0;
    perft_poll_countdown = PERFT_POLL_INTERVAL;
    perft(depth, side, 0);
    const double seconds = (millis() - start) / 1000.0;
    in_check_fn = saved;
    if (perft_stopped) {
        level_printf(LVL_NORMAL, "perftest stopped after %.3f s\n", seconds);
        return perft_counts[depth];
    }

    for (int i = 1; i <= depth; ++i) level_printf(LVL_NORMAL, "%2d: %15.0f\n", i, perft_counts[i]);
    level_printf(LVL_NORMAL, "time %.3f s\n", seconds);
    return perft_counts[depth];
}
