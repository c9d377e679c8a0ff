// Speed benchmark of the engine's hot routines and the ending test commands.
#pragma once

#include <cstdint>

// Times the hot routines for `side` on the present position; 13 lines at level 0.
void speed_test(int side);
// Times one routine (about five seconds after a calibration of at most about a billion
// calls) and prints its line; `moves` is the per-call move count of the per-move rates
// (0 none). A routine that takes no measurable time says so instead.
void bench_routine(void (*routine)(), const char* label, int moves);
// The attack arrays of both sides: per square a count of attackers and their flags.
void build_attack_tables();
extern uint32_t attack_table[2][64];
// The kbpk command: the built-in rule of K+B+rook pawn against K checked by the tables.
void kbpk_test();
// The xtest command: statistics of a list of five-man endings.
void ending_tests();

// The clock the benchmark reads (milliseconds), the calibration run's length and the
// measured run's; tests put a clock of their own, or short runs, here.
extern uint32_t (*benchmark_clock)();
extern uint32_t benchmark_calibration_ms;  // 500
extern double benchmark_run_seconds;       // 5.0
