#include "core/clock.h"

#include "core/output.h"
#include "core/state.h"

clock_record clocks[2];
double game_time_60 = 0.0;
int engine_move_count = 0;

void init_clocks() {
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
