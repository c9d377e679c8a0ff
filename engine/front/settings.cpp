// Settings commands.
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "core/clock.h"
#include "core/hash.h"
#include "core/output.h"
#include "core/settings.h"
#include "front/handlers.h"

namespace {
// A count: a real number, then k/K for thousands or m/M for millions; a value outside
// the signed 32-bit range gives the fallback.
long read_count(const std::string& arg, long fallback) {
    size_t i = 0;
    while (i < arg.size() && (arg[i] == ' ' || arg[i] == '\t')) ++i;
    const char* start = arg.c_str() + i;
    char* end = nullptr;
    double v = std::strtod(start, &end);
    if (end == start) v = 0.0;
    if (*end == 'k' || *end == 'K') v *= 1000.0;
    if (*end == 'm' || *end == 'M') v *= 1000000.0;
    if (!(v >= -2147483648.0 && v <= 2147483647.0)) return fallback;
    return static_cast<long>(std::trunc(v));
}
}  // namespace

int cmd_hash(const std::string& arg) {
    const long bytes = read_count(arg, 0);
    level_printf(LVL_NORMAL, "hash size wanted %ld\n", bytes);
    hash_alloc(bytes);
    return 0;
}

namespace {
// Both clocks become a fixed time per move of `seconds`.
void fixed_time_clocks(double seconds) {
    for (clock_record& c : clocks) {
        c.pt = c.st = seconds;
        c.inc = 0.0;
        c.time_used = 0.0;
        c.pm = c.sm = 1;
        c.moves_left = 1;
        c.fixed = 1;
        c.is_on_sec = 0;
        c.has_sec = 0;
        if (c.run) c.start_tick = millis();
    }
    game_time_60 = 60.0 * clocks[0].pt;
    node_limit = 0xFFFFFFFFu;
}

double read_real(const std::string& arg) {
    const char* start = arg.c_str();
    char* end = nullptr;
    double v = std::strtod(start, &end);
    return end == start ? 0.0 : v;
}
}  // namespace

int cmd_st(const std::string& arg) {
    const double v = read_real(arg);
    if (!(v > 0.0)) return 0;
    fixed_time_clocks(v);
    return 0;
}

int cmd_sd(const std::string& arg) {
    max_depth = static_cast<int>(read_count(arg, 0));
    fixed_time_clocks(10000000000.0);
    level_printf(LVL_NORMAL, "search depth=%d\n", max_depth);
    return 0;
}
int cmd_ut1(const std::string&) { return 0; }
int cmd_ut2(const std::string&) { return 0; }
int cmd_null_low(const std::string&) { return 0; }
int cmd_null_high(const std::string&) { return 0; }
int cmd_null_endgame(const std::string&) { return 0; }
int cmd_null_split(const std::string&) { return 0; }
int cmd_prune(const std::string&) { return 0; }
int cmd_qexact(const std::string&) { return 0; }
int cmd_deepen(const std::string&) { return 0; }
int cmd_fail_low_early(const std::string&) { return 0; }
int cmd_window(const std::string&) { return 0; }
int cmd_nodes(const std::string& arg) {
    const long v = read_count(arg, 0);
    node_limit = v <= 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
    max_depth = 0;
    level_printf(LVL_NORMAL, "search_nodes=%lu\n", static_cast<unsigned long>(node_limit));
    return 0;
}
int cmd_noise(const std::string&) { return 0; }
int cmd_book_random(const std::string&) { return 0; }
int cmd_book_split(const std::string&) { return 0; }
int cmd_book_mode(const std::string&) { return 0; }
int cmd_pval(const std::string&) { return 0; }
int cmd_rscore(const std::string& arg) {
    const double v = read_real(arg);
    if (!(v >= -20.0 && v <= -2.995)) {
        level_printf(LVL_NORMAL, "Value between -3 and -20 required\n");
        return 0;
    }
    rscore = static_cast<int>(v * 100.0);
    level_printf(LVL_NORMAL, "rscore = %d/100\n", rscore);
    return 0;
}

int cmd_rmoves(const std::string& arg) {
    const long v = std::strtol(arg.c_str(), nullptr, 10);
    if (v < 3 || v > 20) {
        level_printf(LVL_NORMAL, "Value between 3 and 20 required\n");
        return 0;
    }
    rmoves = static_cast<int>(v);
    level_printf(LVL_NORMAL, "rmove = %d\n", rmoves);
    return 0;
}
int cmd_icheck(const std::string&) { return 0; }
int cmd_irepcheck(const std::string&) { return 0; }
int cmd_irecapture(const std::string&) { return 0; }
int cmd_ipawn7(const std::string&) { return 0; }
int cmd_inullthreat(const std::string&) { return 0; }
int cmd_ionerep(const std::string&) { return 0; }
int cmd_ipawne(const std::string&) { return 0; }
int cmd_nval(const std::string&) { return 0; }
int cmd_tu(const std::string&) { return 0; }
int cmd_fritz(const std::string&) { return 0; }
int cmd_autokibitz(const std::string&) { return 0; }
int cmd_op_info(const std::string&) { return 0; }
int cmd_ignore_time(const std::string&) { return 0; }
int cmd_eml_mode(const std::string&) { return 0; }
int cmd_kids_mode(const std::string&) { return 0; }
int cmd_trosk_mode(const std::string&) { return 0; }
int cmd_nmoves_inctime(const std::string&) { return 0; }
int cmd_tb_usage(const std::string&) { return 0; }
int cmd_overwrite_vgm(const std::string&) { return 0; }
int cmd_mintime_factor(const std::string&) { return 0; }
int cmd_comm_only(const std::string&) { return 0; }
int cmd_show_book(const std::string&) { return 0; }
int cmd_max_PV_WB(const std::string&) { return 0; }
int cmd_max_PV_tellics(const std::string&) { return 0; }
int cmd_space_in_PV(const std::string&) { return 0; }
int cmd_move_number_in_PV(const std::string&) { return 0; }
int cmd_bell(const std::string&) { return 0; }
int cmd_min_learn_tc(const std::string&) { return 0; }
int cmd_show_eco(const std::string&) { return 0; }
int cmd_posentries(const std::string&) { return 0; }
int cmd_ignore_system(const std::string&) { return 0; }
int cmd_factor(const std::string&) { return 0; }
