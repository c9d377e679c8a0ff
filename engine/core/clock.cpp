#include "core/clock.h"

#include <cstdlib>

#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"
#include "core/types.h"

clock_record clocks[2];
double game_time_60 = 0.0;
int engine_move_count = 0;
double move_time_cap = 0.0;
bool clock_given = false;

void init_clocks() {
    move_time_cap = 0.0;
    clock_given = false;
    for (clock_record& c : clocks) {
        c = clock_record{};
        c.pt = 600.0;
        c.st = 200.0;
        c.inc = 0.0;
        c.pm = 60;
        c.sm = 20;
        c.fixed = 0;
        c.is_on_sec = 0;
    }
    reset_clocks();
}

void reset_clocks() {
    for (clock_record& c : clocks) {
        c.moves_left = c.pm;
        c.time_used = 0.0;
        c.run = 0;
        c.is_on_sec = 0;
    }
}

void set_fixed_time_per_move(double seconds) {
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
    node_limit = NO_NODE_LIMIT;
}

void clock_start(int colour) {
    clock_record& c = clocks[colour];
    c.start_tick = millis();
    c.run = 1;
}

double clock_elapsed(int colour) {
    clock_record& c = clocks[colour];
    double elapsed = c.run == 1 ? (millis() - c.start_tick) * 0.001 : 0.0;
    c.time_used += fritz_mode ? elapsed : elapsed - c.inc;
    c.run = 0;
    if (!c.fixed && c.moves_left != 0) {
        if (--c.moves_left == 0) {
            if (c.has_sec) {
                c.moves_left = c.sm;
                c.time_used -= c.is_on_sec ? c.st : c.pt;
                c.is_on_sec = 1;
            } else {
                c.moves_left = c.pm;
                c.time_used -= c.pt;
            }
        }
    }
    return elapsed;
}

namespace {
const char* colour_name(int colour) { return colour == 0 ? "white" : "black"; }

// Reads a move count: an integer of at least 0, or "sd" (sudden death) as 0.
bool read_moves(const char*& p, int* out) {
    while (*p == ' ' || *p == '\t') ++p;
    if ((p[0] == 's' || p[0] == 'S') && (p[1] == 'd' || p[1] == 'D')) {
        p += 2;
        *out = 0;
        return true;
    }
    char* end = nullptr;
    long v = std::strtol(p, &end, 10);
    if (end == p || v < 0 || v > 100000) return false;
    p = end;
    *out = static_cast<int>(v);
    return true;
}

bool read_seconds(const char*& p, double* out) {
    while (*p == ' ' || *p == '\t') ++p;
    char* end = nullptr;
    double v = std::strtod(p, &end);
    if (end == p || !(v > 0.0) || v > 1e9) return false;
    p = end;
    *out = v;
    return true;
}

void skip_slash(const char*& p) {
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '/') ++p;
}

bool at_end(const char* p) {
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
    return *p == '\0';
}

// Common tail of the control commands: restart, messages and the 60-move time.
void control_set(int colour) {
    clock_record& c = clocks[colour];
    c.time_used = 0.0;
    c.fixed = 0;
    c.is_on_sec = 0;
    c.moves_left = c.pm;
    if (c.run) c.start_tick = millis();
    clock_given = true;
    print_clock(colour);
    game_time_60 = c.pm < 1 ? c.inc * 60.0 + c.pt : (c.pt / c.pm + c.inc) * 60.0;
}
}  // namespace

void print_clock(int colour) {
    const clock_record& c = clocks[colour];
    level_printf(LVL_TIME, "%s: pt %.2f pm %d st %.2f sm %d inc %.2f\n", colour_name(colour), c.pt, c.pm, c.st, c.sm,
                 c.inc);
    level_printf(LVL_TIME, "number of moves left %d, time_used %.2f, is_on_sec %d run %d\n", c.moves_left, c.time_used,
                 c.is_on_sec, c.run);
}

double clock_remaining(int colour) {
    const clock_record& c = clocks[colour];
    return (c.is_on_sec ? c.st : c.pt) - c.time_used;
}

int clock_set_control(int colour, const char* text) {
    const char* p = text;
    int pm = 0, sm = 0;
    double pt = 0.0, st = 0.0, inc = 0.0;
    if (!read_moves(p, &pm)) return 0;
    skip_slash(p);
    if (!read_seconds(p, &pt)) return 0;
    bool second = false;
    if (!at_end(p)) {
        if (!read_moves(p, &sm)) return 0;
        skip_slash(p);
        if (!read_seconds(p, &st)) return 0;
        while (*p == ' ' || *p == '\t') ++p;
        char* end = nullptr;
        inc = std::strtod(p, &end);
        if (end == p || inc < 0.0) return 0;
        p = end;
        if (!at_end(p)) return 0;
        second = true;
    }
    clock_record& c = clocks[colour];
    c.pt = pt;
    c.pm = pm;
    if (second) {
        c.sm = sm;
        c.st = st;
        c.has_sec = 1;
        c.inc = inc;
    }
    control_set(colour);
    return 1;
}

int parse_level(int colour, const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    char* end = nullptr;
    long moves = std::strtol(p, &end, 10);
    if (end == p || moves < 0 || moves > 100000) return 0;
    p = end;
    while (*p == ' ' || *p == '\t') ++p;
    double minutes = std::strtod(p, &end);
    if (end == p || minutes < 0.0 || minutes > 1e7) return 0;
    p = end;
    long seconds = 0;
    if (*p == ':') {
        ++p;
        seconds = std::strtol(p, &end, 10);
        if (end == p || seconds < 0 || seconds > 60) return 0;
        p = end;
    }
    const double base = minutes * 60.0 + static_cast<double>(seconds);
    while (*p == ' ' || *p == '\t') ++p;
    double increment = std::strtod(p, &end);
    if (end == p || increment < 0.0 || increment > 1e6) return 0;
    p = end;
    if (!at_end(p)) return 0;
    // An increment alone is a clock too (level 0 0 2); no time at all is none.
    if (!(base > 0.0) && !(increment > 0.0)) return 0;
    clock_record& c = clocks[colour];
    c.pt = base / time_factor;
    c.pm = static_cast<int>(moves);
    c.inc = increment / time_factor;
    c.has_sec = 0;
    control_set(colour);
    return 1;
}

void clock_set_used(int colour, const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    char* end = nullptr;
    double minutes = std::strtod(p, &end);
    if (end == p) minutes = 0.0;
    p = end;
    long seconds = 0;
    if (*p == ':') {
        ++p;
        seconds = std::strtol(p, &end, 10);
        if (seconds < 0) seconds = 0;
    }
    double total = minutes * 60.0 + static_cast<double>(seconds);
    if (!(total > 0.0)) return;
    if (total > 1e9) total = 1e9;
    clock_record& c = clocks[colour];
    c.time_used = (c.is_on_sec ? c.st : c.pt) - total;
}

namespace {
// Fixed time per move: above 10 s a second is kept, above 3 s a tenth; a short fixed
// time keeps 20 ms and a twentieth of itself (a tenth at most) for the move's overhead.
double fixed_move_time(double t) {
    if (t > FIXED_LONG) return t - 1.0;
    if (t > FIXED_MEDIUM) return t - 0.1;
    const double keep = MOVE_OVERHEAD + 0.05 * t;
    return t - (keep < 0.1 ? keep : 0.1);
}

// What a clock showing `t` seconds keeps back for `moves` moves to come in its control.
double clock_reserve(double t, int moves) {
    if (!(t > 0.0)) return 0.0;
    const double margin = t * 0.05 < 1.0 ? t * 0.05 : 1.0;
    double overheads = MOVE_OVERHEAD * (moves > 0 ? moves : 1);
    if (overheads > 0.5 * t) overheads = 0.5 * t;
    return margin + overheads;
}
}  // namespace

void allocate_time(int colour, double* use, double* min, double* max) {
    const clock_record& c = clocks[colour];
    double usetime, mintime_v, maxtime_v;
    double control = c.is_on_sec ? c.st : c.pt;
    double used = c.time_used;
    int n = c.moves_left;
    if (c.fixed) {
        const double t = fixed_move_time(c.pt);
        usetime = mintime_v = maxtime_v = t > 0.0 ? t : 0.0;
        control = c.pt;
        used = c.time_used;
    } else {
        if (c.run) used += (millis() - c.start_tick) * 0.001;
        double t = control - used;  // on the clock now
        if (!(t > 0.0)) t = 0.0;
        if (!(t < 1e12)) t = 1e12;
        const double increment = c.inc > 0.0 && c.inc < 1e9 ? c.inc : 0.0;
        if (n < 1) n = increment <= 0.0 ? MOVES_TO_GO : MOVES_TO_GO_WITH_INCREMENT;
        const double reserve = clock_reserve(t, n);
        // A second is kept back (two from 31 s on); a clock too short for that (below
        // 10 s, where the second is more than a tenth of it) keeps the smaller reserve
        // and pays each move's overhead out of the increment.
        double left = t - CLOCK_SPARE;
        double inc = increment;
        bool tight = false;
        if (left >= CLOCK_SECOND_SPARE) {
            left -= CLOCK_SPARE;
        } else if (t < CLOCK_TIGHT && reserve < CLOCK_SPARE) {
            left = t - reserve;
            inc = increment > MOVE_OVERHEAD ? increment - MOVE_OVERHEAD : 0.0;
            tight = true;
        }
        usetime = ((n - 1) * inc + left) / n;
        if (n > MOVES_TO_GO) n = MOVES_TO_GO;
        maxtime_v = n >= MAXTIME_LONG_RUN ? MAXTIME_LONG_FACTOR * usetime : (n + 1) * usetime * 0.5;
        if (hard && n > PONDER_MIN_MOVES) {
            usetime *= PONDER_TIME_FACTOR;
            maxtime_v *= PONDER_TIME_FACTOR;
        }
        if (n > EARLY_MOVES_TO_GO && engine_move_count < nmoves_inctime)
            usetime *= 1.0 + static_cast<double>(nmoves_inctime - engine_move_count) / nmoves_inctime;
        if (left <= maxtime_v) {
            if (left <= usetime) {
                usetime = maxtime_v = left;
            } else {
                maxtime_v = 2.0 * usetime;
                if (maxtime_v > left) maxtime_v = left;
            }
        }
        // Never more than the clock can pay with the reserve kept; on a tight clock
        // one move takes at most a third of what lies above the reserve.
        double cap = t - reserve;
        if (tight) cap /= 3.0;
        if (maxtime_v > cap) maxtime_v = cap;
        if (usetime > maxtime_v) usetime = maxtime_v;
        if (move_time_cap > 0.0) {
            const double most = fixed_move_time(move_time_cap);
            if (maxtime_v > most) maxtime_v = most;
            if (usetime > most) usetime = most;
        }
        mintime_v = mintime_factor * usetime;
    }
    if (!uci_mode)
        level_printf(LVL_TIME, "usetime = %.2f, mintime = %.2f maxtime = %.2f tl %.2f ml %d tu %.2f\n", usetime,
                     mintime_v, maxtime_v, control, n, used);
    if (use) *use = usetime;
    if (min) *min = mintime_v;
    if (max) *max = maxtime_v;
}
