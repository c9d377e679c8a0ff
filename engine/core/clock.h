// Clock records of the two sides, in seconds.
#pragma once

#include <cstdint>

struct clock_record {
    double pt = 600.0;       // primary control time (or the fixed time per move)
    double st = 200.0;       // secondary control time
    double inc = 0.0;        // increment per move
    double time_used = 0.0;  // seconds used in the current control
    double reserved = 0.0;
    int32_t pm = 60;  // moves in the primary control (0 = whole game)
    int32_t sm = 20;  // moves in the secondary control
    int32_t moves_left = 60;
    int32_t run = 0;          // 1 while the clock runs
    int32_t fixed = 0;        // pt is a fixed time per move
    int32_t is_on_sec = 0;    // the secondary control is reached
    int32_t has_sec = 0;      // a secondary control exists
    uint32_t start_tick = 0;  // millis() when the clock was started
};
extern clock_record clocks[2];  // 0 White, 1 Black
extern double game_time_60;     // time the control gives for 60 moves
extern int engine_move_count;   // engine moves since it left the book

// The fixed time per move of a search that other limits end (sd, a host's depth, node
// or mate limit alone, an analysis until stop): for the clock, no limit.
constexpr double UNTIMED_MOVE_SECONDS = 1e10;
// Seconds a move may take at most whatever its clock allows (a host's movetime beside
// its clock), 0 none. Read by allocate_time.
extern double move_time_cap;
// Whether the clocks are a control or a fixed time given by a command (level, xtime,
// time as a control, st), not the start-up clocks: sd keeps such a clock beside its depth.
extern bool clock_given;

// Start-up values of both records (no clock given, no cap on a move's time).
void init_clocks();
// Moves to go, time used, run and secondary flags back to the start of a game.
void reset_clocks();
// Both clocks become a fixed time per move of `seconds` (st, sd, the UCI go limits and
// annotation); the node limit is lifted.
void set_fixed_time_per_move(double seconds);
// Starts the clock of a colour from now.
void clock_start(int colour);
// Stops a running clock, charges the elapsed time and counts the move; returns seconds.
double clock_elapsed(int colour);

// Time for the next move of `colour`: planned, minimum and maximum seconds. The maximum
// never eats into the reserve a clock showing t seconds keeps for the moves to come in
// its control (this one included): min(1 s, 5 % of t) and 20 ms a move, the moves' part
// at most half of t.
void allocate_time(int colour, double* use, double* min, double* max);
// xtime (and time outside the xboard dialogue): "moves/seconds [moves/seconds inc]".
// 1 when the text was read, 0 when it was refused (the clock is then unchanged).
int clock_set_control(int colour, const char* text);
// level: "moves minutes[:seconds] increment". 1 / 0 as above.
int parse_level(int colour, const char* text);
// at: the clock shows "m[:ss]" as remaining time.
void clock_set_used(int colour, const char* text);
// Prints the two lines of a clock record at the time-control level.
void print_clock(int colour);
// Remaining time of the present control in seconds.
double clock_remaining(int colour);
