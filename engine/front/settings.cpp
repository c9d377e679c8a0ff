// Settings commands.
#include <cerrno>
#include <cmath>
#include <cstdlib>

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

int cmd_st(const std::string&) { return 0; }
int cmd_sd(const std::string&) { return 0; }
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
int cmd_nodes(const std::string&) { return 0; }
int cmd_noise(const std::string&) { return 0; }
int cmd_book_random(const std::string&) { return 0; }
int cmd_book_split(const std::string&) { return 0; }
int cmd_book_mode(const std::string&) { return 0; }
int cmd_pval(const std::string&) { return 0; }
int cmd_rscore(const std::string&) { return 0; }
int cmd_rmoves(const std::string&) { return 0; }
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
