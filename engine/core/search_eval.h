// What the search needs of the static evaluation.
#pragma once

#include <cstdint>

// Score of the position for `side`; may answer lazily outside (alpha, beta).
int evaluate(int side, int alpha, int beta);
// Positional part of the evaluation, from White's point of view.
int eval_pieces();
// Derived tables, built on the first search of the run.
void eval_prepare();
// Per-side upper estimate of the positional part.
extern int lazy_margin[2];
// 1 after a complete evaluation, 0 after a lazy answer.
extern int eval_complete;
// Evaluations made.
extern uint64_t eval_count;
