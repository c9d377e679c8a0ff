// Time-control commands.
#include <cstdlib>

#include "core/board.h"
#include "core/clock.h"
#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/commands.h"
#include "front/handlers.h"
#include "front/time_control.h"

namespace {
// Remaining time t (seconds) on a clock: the control's time less what is used.
void set_remaining(int colour, double t) {
    clock_record& c = clocks[colour];
    const double control = c.is_on_sec ? c.st : c.pt;
    c.time_used = control * time_factor - t;
}

// A clock in centiseconds, as seconds: a clock of 0 or below (or no number) is a clock
// of 0, the most a thousand million seconds.
double centiseconds(const std::string& arg) {
    const double t = std::strtod(arg.c_str(), nullptr) / 100.0;
    if (!(t > 0.0)) return 0.0;
    return t < 1e9 ? t : 1e9;
}

// The host's last time (the engine's time left) and otim (the opponent's), in seconds,
// with the position they were told in: a move played or taken back, or another
// position, leaves them behind.
struct told_time {
    bool told = false;
    double seconds = 0.0;
    uint64_t key = 0;
    int ply = 0;
};
told_time engine_told, opponent_told;

void tell(told_time& t, double seconds) {
    t.told = true;
    t.seconds = seconds;
    t.key = board.hash_key;
    t.ply = board.ply;
}

bool still_told(const told_time& t) { return t.told && t.key == board.hash_key && t.ply == board.ply; }

void set_engine_clock(double t) {
    set_remaining(computer_side, t);
    if (fritz_mode) set_remaining(computer_side ^ 1, t);
}
}  // namespace

void host_clocks_follow_engine() {
    if (still_told(engine_told)) set_engine_clock(engine_told.seconds);
    if (still_told(opponent_told)) set_remaining(computer_side ^ 1, opponent_told.seconds);
}

void host_clocks_forget() { engine_told.told = opponent_told.told = false; }

void host_new_game() {
    host_clocks_forget();
    if (!xboard_mode || max_depth == 0) return;
    max_depth = 0;
    if (!clock_given) init_clocks();
}

int cmd_time(const std::string& arg) {
    if (xboard_mode) {
        if (ignore_time) return CMD_READ_ON;
        const double t = centiseconds(arg);
        set_engine_clock(t);
        tell(engine_told, t);
        const clock_record& c = clocks[computer_side];
        level_printf(LVL_NORMAL, "tc %.2f, tu %.2f, sec %.2f, i %.2f\n", c.is_on_sec ? c.st : c.pt, c.time_used, t,
                     c.inc);
        return CMD_READ_ON;
    }
    if (!clock_set_control(WHITE, arg.c_str()) || !clock_set_control(BLACK, arg.c_str()))
        level_printf(LVL_ERROR, "Error parsing time\n");
    else
        host_clocks_forget();
    return CMD_READ_ON;
}

int cmd_xtime(const std::string& arg) {
    if (clock_set_control(WHITE, arg.c_str()) && clock_set_control(BLACK, arg.c_str())) {
        node_limit = NO_NODE_LIMIT;
        host_clocks_forget();
        return CMD_READ_ON;
    }
    level_printf(LVL_ERROR, "Error parsing time\n");
    return CMD_READ_ON;
}

int cmd_otim(const std::string& arg) {
    if (ignore_time) return CMD_READ_ON;
    const double t = centiseconds(arg);
    set_remaining(computer_side ^ 1, t);
    tell(opponent_told, t);
    return CMD_READ_ON;
}

int cmd_level(const std::string& arg) {
    if (parse_level(WHITE, arg.c_str()) && parse_level(BLACK, arg.c_str())) {
        node_limit = NO_NODE_LIMIT;
        host_clocks_forget();
        return CMD_READ_ON;
    }
    level_printf(LVL_ERROR, "Error parsing level\n");
    return CMD_READ_ON;
}

int cmd_at(const std::string& arg) {
    clock_set_used(computer_side, arg.c_str());
    return CMD_READ_ON;
}
