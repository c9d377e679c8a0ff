// Test suites (test, epdtest, cooktest).
#pragma once

#include <cstdint>

// Called by the root search on each new best move; does nothing while no suite runs.
void epd_check_solution(uint32_t move, int depth, int score);
