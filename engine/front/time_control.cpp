// Time-control commands.
#include <cstdlib>

#include "core/board.h"
#include "core/clock.h"
#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/handlers.h"

namespace {
// Remaining time t (seconds) on a clock: the control's time less what is used.
void set_remaining(int colour, double t) {
    clock_record& c = clocks[colour];
    const double control = c.is_on_sec ? c.st : c.pt;
    c.time_used = control * time_factor - t;
}

// A clock in centiseconds, as seconds: 0 (ignored) unless positive and finite, at most
// a thousand million seconds.
double centiseconds(const std::string& arg) {
    const double t = std::strtod(arg.c_str(), nullptr) / 100.0;
    if (!(t > 0.0)) return 0.0;
    return t < 1e9 ? t : 1e9;
}
}  // namespace

int cmd_time(const std::string& arg) {
    if (xboard_mode) {
        if (ignore_time) return 0;
        const double t = centiseconds(arg);
        if (t <= 0.0) return 0;
        set_remaining(computer_side, t);
        if (fritz_mode) set_remaining(computer_side ^ 1, t);
        const clock_record& c = clocks[computer_side];
        level_printf(LVL_NORMAL, "tc %.2f, tu %.2f, sec %.2f, i %.2f\n", c.is_on_sec ? c.st : c.pt, c.time_used, t, c.inc);
        return 0;
    }
    if (!clock_set_control(WHITE, arg.c_str()) || !clock_set_control(BLACK, arg.c_str()))
        level_printf(LVL_ERROR, "Error parsing time\n");
    return 0;
}

int cmd_xtime(const std::string& arg) {
    if (clock_set_control(WHITE, arg.c_str()) && clock_set_control(BLACK, arg.c_str())) {
        node_limit = 0xFFFFFFFFu;
        return 0;
    }
    level_printf(LVL_ERROR, "Error parsing time\n");
    return 0;
}

int cmd_otim(const std::string& arg) {
    if (ignore_time) return 0;
    const double t = centiseconds(arg);
    if (t <= 0.0) return 0;
    set_remaining(computer_side ^ 1, t);
    return 0;
}

int cmd_level(const std::string& arg) {
    if (parse_level(WHITE, arg.c_str()) && parse_level(BLACK, arg.c_str())) {
        node_limit = 0xFFFFFFFFu;
        return 0;
    }
    level_printf(LVL_ERROR, "Error parsing level\n");
    return 0;
}

int cmd_at(const std::string& arg) {
    clock_set_used(computer_side, arg.c_str());
    return 0;
}
