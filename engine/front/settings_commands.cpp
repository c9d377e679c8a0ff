// Settings commands: each reads its argument, stores one process-wide value and echoes
// what it took (level 8); refused values print a message and keep the setting.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "book/book_file.h"
#include "core/types.h"
#include "core/board.h"
#include "core/clock.h"
#include "core/hash.h"
#include "core/movegen.h"
#include "core/output.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/commands.h"
#include "front/handlers.h"
#include "front/learning.h"
#include "front/settings_args.h"

namespace {
const char* skip_blanks(const std::string& arg) {
    const char* p = arg.c_str();
    while (*p && is_blank(*p)) ++p;
    return p;
}
}  // namespace

// ---- argument readers ----------------------------------------------------------

int read_integer_arg(const std::string& arg) {
    const char* start = skip_blanks(arg);
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(start, &end, 10);
    if (end == start) return 0;
    if (v > INT_MAX) v = INT_MAX;
    if (v < INT_MIN) v = INT_MIN;
    return static_cast<int>(v);
}

double read_real_arg(const std::string& arg) {
    const char* start = skip_blanks(arg);
    char* end = nullptr;
    double v = std::strtod(start, &end);
    if (end == start || !std::isfinite(v)) return 0.0;
    return v;
}

int limit_plies_setting(int sixty_fourths) {
    return sixty_fourths < -PLIES_SETTING_LIMIT  ? -PLIES_SETTING_LIMIT
           : sixty_fourths > PLIES_SETTING_LIMIT ? PLIES_SETTING_LIMIT
                                                 : sixty_fourths;
}

int read_plies_arg(const std::string& arg, double* typed) {
    const double v = read_real_arg(arg);
    if (typed) *typed = v;
    const double scaled = std::trunc(v * 64.0);
    if (scaled > INT_MAX) return INT_MAX;
    if (scaled < INT_MIN) return INT_MIN;
    return static_cast<int>(scaled);
}

double read_count_value(const std::string& arg) {
    const char* start = skip_blanks(arg);
    char* end = nullptr;
    double v = std::strtod(start, &end);
    if (end == start) {
        v = 0.0;
        end = const_cast<char*>(start);
    }
    if (*end == 'k' || *end == 'K') v *= 1000.0;
    if (*end == 'm' || *end == 'M') v *= 1000000.0;
    return v;
}

long read_count_arg(const std::string& arg, long fallback) {
    const double v = read_count_value(arg);
    if (!(v >= -2147483648.0 && v <= 2147483647.0)) return fallback;
    return static_cast<long>(std::trunc(v));
}

namespace {

// Sets an integer setting and echoes "<name> = <value>".
int set_integer(int& target, const char* name, const std::string& arg) {
    target = read_integer_arg(arg);
    level_printf(LVL_NORMAL, "%s = %d\n", name, target);
    return CMD_READ_ON;
}

// Sets an integer setting held within [lo, hi], the range in which the search's
// arithmetic with it stays exact; a value outside is limited, and the echo says so.
int set_integer_within(int& target, const char* name, const std::string& arg, int lo, int hi) {
    const int v = read_integer_arg(arg);
    target = v < lo ? lo : v > hi ? hi : v;
    if (target != v)
        level_printf(LVL_NORMAL, "%s = %d (limited to %d..%d)\n", name, target, lo, hi);
    else
        level_printf(LVL_NORMAL, "%s = %d\n", name, target);
    return CMD_READ_ON;
}

// Sets a setting in 1/64 ply and echoes the typed value; a value beyond PLIES_SETTING_LIMIT
// is limited to it, and the echo gives the value taken.
int set_plies(int& target, const char* name, const std::string& arg) {
    double typed = 0.0;
    const int v = read_plies_arg(arg, &typed);
    target = limit_plies_setting(v);
    if (target != v)
        level_printf(LVL_NORMAL, "%s = %.2f (limited to %d..%d plies)\n", name, target / 64.0,
                     -PLIES_SETTING_LIMIT / 64, PLIES_SETTING_LIMIT / 64);
    else
        level_printf(LVL_NORMAL, "%s = %.2f\n", name, typed);
    return CMD_READ_ON;
}

}  // namespace

// ---- search ------------------------------------------------------------------

int cmd_null_low(const std::string& arg) { return set_plies(null_low, "null_low", arg); }
int cmd_null_high(const std::string& arg) { return set_plies(null_high, "null_high", arg); }
int cmd_null_endgame(const std::string& arg) { return set_plies(null_endgame, "null_endgame", arg); }
int cmd_null_split(const std::string& arg) { return set_plies(null_split, "null_split", arg); }
int cmd_icheck(const std::string& arg) { return set_plies(icheck, "icheck", arg); }
int cmd_irepcheck(const std::string& arg) { return set_plies(irepcheck, "irepcheck", arg); }
int cmd_irecapture(const std::string& arg) { return set_plies(irecapture, "irecapture", arg); }
int cmd_ipawn7(const std::string& arg) { return set_plies(ipawn7, "ipawn7", arg); }
int cmd_inullthreat(const std::string& arg) { return set_plies(inullthreat, "inulltreat", arg); }
int cmd_ipawne(const std::string& arg) { return set_plies(ipawne, "ipawne", arg); }
int cmd_ionerep(const std::string& arg) { return set_plies(ionerep, "ionerep", arg); }

int cmd_prune(const std::string& arg) { return set_integer(prune, "prune", arg); }
int cmd_deepen(const std::string& arg) { return set_integer(deepen, "deepen", arg); }
int cmd_fail_low_early(const std::string& arg) { return set_integer(fail_low_early, "fail_low_early", arg); }
int cmd_window(const std::string& arg) { return set_integer_within(window, "window", arg, 1, 30001); }
int cmd_ut1(const std::string& arg) { return set_integer_within(ut1, "ut1", arg, -1000, 1000); }
int cmd_ut2(const std::string& arg) { return set_integer_within(ut2, "ut2", arg, -1000, 1000); }
int cmd_trosk_mode(const std::string& arg) { return set_integer(trosk_mode, "trosk_mode", arg); }
int cmd_tb_usage(const std::string& arg) { return set_integer(tb_usage, "tb_usage", arg); }

int qsearch_mask_for(int q) {
    constexpr int skip = Q_SKIP_LOSERS, all = Q_ALL_MOVES_IN_CHECK, winners = Q_CHECK_WINNERS, always = Q_CHECK_ALWAYS;
    // clang-format off
    static const int masks[10] = {
        skip | winners,          // 0 and any value outside 1..9
        skip,                    // 1
        skip | all | winners,    // 2
        skip | all | always,     // 3
        skip | always,           // 4
        winners,                 // 5
        0,                       // 6
        all | winners,           // 7
        all | always,            // 8
        always,                  // 9
    };
    // clang-format on
    return (q >= 1 && q <= 9) ? masks[q] : masks[0];
}

std::string qsearch_mask_text(int mask) {
    std::string t;
    if (mask & Q_SKIP_LOSERS) t += "SKIP_LOOSERS,";
    if (mask & Q_CHECK_WINNERS) t += "CHECK_CHECK_WINNERS,";
    if (mask & Q_CHECK_ALWAYS) t += "CHECK_CHECK_ALWAYS,";
    if (mask & Q_ALL_MOVES_IN_CHECK) t += "ALL_MOVES_IN_CHECK,";
    if (t.empty()) return "NOTHING";
    t.pop_back();
    return t;
}

int cmd_qexact(const std::string& arg) {
    qexact = read_integer_arg(arg);
    qsearch_mask = qsearch_mask_for(qexact);
    level_printf(LVL_NORMAL, "exact_qsearch = %d\n", qexact);
    level_printf(LVL_NORMAL, "qsearch_mask = %s\n", qsearch_mask_text(qsearch_mask).c_str());
    return CMD_READ_ON;
}

int cmd_nodes(const std::string& arg) {
    const long v = read_count_arg(arg, 0);
    node_limit = v <= 0 ? NO_NODE_LIMIT : static_cast<uint32_t>(v);
    clock_with_node_limit = false;
    max_depth = 0;
    level_printf(LVL_NORMAL, "search_nodes=%lu\n", static_cast<unsigned long>(node_limit));
    return CMD_READ_ON;
}

int cmd_noise(const std::string& arg) {
    const long v = read_count_arg(arg, 0);
    noise = v < 0 ? 0u : static_cast<uint32_t>(v);
    level_printf(LVL_NORMAL, "noise=%lu\n", static_cast<unsigned long>(noise));
    return CMD_READ_ON;
}

int cmd_sd(const std::string& arg) {
    // A depth of 0 or below (or out of range) is a depth of 1: the search is to end. A
    // clock a command gave stays a limit beside the depth (a host sends level, then sd);
    // otherwise the depth alone limits the search.
    const long depth = read_count_arg(arg, 0);
    max_depth = depth < 1 ? 1 : static_cast<int>(depth);
    if (clock_given)
        node_limit = NO_NODE_LIMIT;
    else
        set_fixed_time_per_move(UNTIMED_MOVE_SECONDS);
    level_printf(LVL_NORMAL, "search depth=%d\n", max_depth);
    return CMD_READ_ON;
}

int cmd_st(const std::string& arg) {
    const double v = read_real_arg(arg);
    if (!(v > 0.0)) return CMD_READ_ON;
    set_fixed_time_per_move(v);
    clock_given = true;
    return CMD_READ_ON;
}

int cmd_hash(const std::string& arg) {
    // Not limited to 32 bits: a table of gigabytes is asked for in bytes. A size beyond the
    // largest table is taken down to it by hash_alloc, which says so.
    const double v = std::trunc(read_count_value(arg));
    const long bytes = std::isnan(v) ? 0 : v >= 9.0e18 ? LONG_MAX : v <= -9.0e18 ? LONG_MIN : static_cast<long>(v);
    level_printf(LVL_NORMAL, "hash size wanted %ld\n", bytes);
    hash_alloc(bytes);
    return CMD_READ_ON;
}

// ---- clocks ------------------------------------------------------------------

int cmd_nmoves_inctime(const std::string& arg) { return set_integer(nmoves_inctime, "nmoves_inctime", arg); }

int cmd_mintime_factor(const std::string& arg) {
    mintime_factor = read_real_arg(arg);
    level_printf(LVL_NORMAL, "mintime_factor = %.2f\n", mintime_factor);
    return CMD_READ_ON;
}

int cmd_factor(const std::string& arg) {
    const double v = read_real_arg(arg);
    if (!(v >= 1.0)) {
        level_printf(LVL_NORMAL, "Value >= 1.0 needed\n");
        return CMD_READ_ON;
    }
    time_factor = 1.0 / v;
    level_printf(LVL_NORMAL, "factor = %.2f\n", v);
    return CMD_READ_ON;
}

int cmd_ignore_time(const std::string& arg) { return set_integer(ignore_time, "ignore_time", arg); }

// ---- evaluation ----------------------------------------------------------------

int cmd_pval(const std::string& arg) {
    const double v = read_real_arg(arg);
    if (!(v >= 0.5 && v <= 2.0)) {
        level_printf(LVL_NORMAL, "Value between 0.5 an 2.0 required\n");
        return CMD_READ_ON;
    }
    pval = static_cast<int>(v * 192.0);
    level_printf(LVL_NORMAL, "pval = %d/256\n", pval * 256 / 192);
    return CMD_READ_ON;
}

int cmd_nval(const std::string& arg) {
    nval = read_integer_arg(arg) != 0 ? 1 : 0;
    const int32_t* set = nval ? piece_values_new : piece_values_old;
    for (int i = 0; i < 8; ++i) piece_value[i] = set[i];
    recompute_board();  // material sums follow the new values
    level_printf(LVL_NORMAL, "Using %s piece values\n", nval ? "new" : "old");
    return CMD_READ_ON;
}

// ---- game loop and resignation -------------------------------------------------

int cmd_rscore(const std::string& arg) {
    const double v = read_real_arg(arg);
    if (!(v >= -20.0 && v <= -2.995)) {
        level_printf(LVL_NORMAL, "Value between -3 and -20 required\n");
        return CMD_READ_ON;
    }
    rscore = static_cast<int>(v * 100.0);
    level_printf(LVL_NORMAL, "rscore = %d/100\n", rscore);
    return CMD_READ_ON;
}

int cmd_rmoves(const std::string& arg) {
    const int v = read_integer_arg(arg);
    if (v < 3 || v > 20) {
        level_printf(LVL_NORMAL, "Value between 3 and 20 required\n");
        return CMD_READ_ON;
    }
    rmoves = v;
    level_printf(LVL_NORMAL, "rmove = %d\n", rmoves);
    return CMD_READ_ON;
}

int cmd_bell(const std::string& arg) {
    bell = read_integer_arg(arg);
    return CMD_READ_ON;
}

int cmd_eml_mode(const std::string& arg) { return set_integer(eml_mode, "eml_mode", arg); }
int cmd_kids_mode(const std::string& arg) { return set_integer(kids_mode, "kids_mode", arg); }

// ---- book and learning ---------------------------------------------------------

int cmd_book_random(const std::string& arg) { return set_integer(book_random, "book_random", arg); }
int cmd_book_split(const std::string& arg) { return set_integer(book_split, "book_split", arg); }
int cmd_book_mode(const std::string& arg) { return set_integer(book_mode, "book_mode", arg); }
int cmd_overwrite_vgm(const std::string& arg) { return set_integer(overwrite_vgm, "overwrite_vgm", arg); }
int cmd_show_book(const std::string& arg) { return set_integer(show_book, "show_book", arg); }

int cmd_min_learn_tc(const std::string& arg) {
    const long v = read_integer_arg(arg);
    min_learn_tc = static_cast<double>(v);
    level_printf(LVL_NORMAL, "min_learn_tc = %ld\n", v);
    return CMD_READ_ON;
}

int cmd_posentries(const std::string& arg) {
    int n = read_integer_arg(arg);
    if (n < 10000) {
        n = 10000;
        level_printf(LVL_NORMAL, "adjusted to %d, will not accept smaller numbers\n", n);
    } else if (n > 100000) {
        n = 100000;
        level_printf(LVL_NORMAL, "adjusted to %d, will not accept larger numbers\n", n);
    }
    posentries = n;
    level_printf(LVL_NORMAL, "posentries = %d\n", posentries);
    if (learnpos_bin_file) {
        unsigned char header[128];
        std::fseek(learnpos_bin_file, 0, SEEK_SET);
        if (std::fread(header, 1, sizeof header, learnpos_bin_file) == sizeof header) {
            const uint32_t capacity = get_le32(header);
            if (capacity > static_cast<uint32_t>(n)) {
                level_printf(LVL_NORMAL, "cannot make it smaller\n");
                return CMD_READ_ON;
            }
            if (capacity == static_cast<uint32_t>(n)) {
                level_printf(LVL_NORMAL, "same size ...\n");
                return CMD_READ_ON;
            }
            const int held = learned_positions_held();
            release_learned_positions();
            if (held >= static_cast<int>(capacity)) put_le32(header + 12, capacity);
            put_le32(header, static_cast<uint32_t>(n));
            std::fseek(learnpos_bin_file, 0, SEEK_SET);
            std::fwrite(header, 1, sizeof header, learnpos_bin_file);
        }
        std::fclose(learnpos_bin_file);
        learnpos_bin_file = nullptr;
    }
    load_learned_positions();
    return CMD_READ_ON;
}

// ---- output and ICS ------------------------------------------------------------

int cmd_show_eco(const std::string& arg) { return set_integer(show_eco, "show_eco", arg); }
int cmd_max_PV_WB(const std::string& arg) { return set_integer(max_PV_WB, "max_PV_WB", arg); }
int cmd_max_PV_tellics(const std::string& arg) { return set_integer(max_PV_tellics, "max_PV_tellics", arg); }
int cmd_space_in_PV(const std::string& arg) { return set_integer(space_in_PV, "space_in_PV", arg); }
int cmd_move_number_in_PV(const std::string& arg) { return set_integer(move_number_in_PV, "move_number_in_PV", arg); }
int cmd_comm_only(const std::string& arg) { return set_integer(comm_only, "comm_only", arg); }
int cmd_autokibitz(const std::string& arg) { return set_integer(autokibitz, "autokibitz", arg); }
int cmd_op_info(const std::string& arg) { return set_integer(op_info, "op_info", arg); }

int cmd_fritz(const std::string&) {
    fritz_mode = 1;
    return CMD_READ_ON;
}

int cmd_ignore_system(const std::string&) {
    ignore_system = 1;
    return CMD_READ_ON;
}

int cmd_tu(const std::string&) {
    int top = 0;
    for (int i = MOVE_STACK_SIZE - 1; i >= 0; --i)
        if (move_stack[i].move != 0) {
            top = i;
            break;
        }
    level_printf(LVL_NORMAL, "tu=%d, maxdepth = %d\n", top, seldepth);
    return CMD_READ_ON;
}
