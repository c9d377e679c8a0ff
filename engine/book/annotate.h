// Annotation of a game: the engine searches the game's positions from the end backwards
// and comments the moves where it prefers another one.
#pragma once

#include <string>

// Plies of a game the annotation keeps records for.
constexpr int ANNOTATE_MAX_PLIES = 960;

// Whether a suggestion is written: always without a margin (below 0) or without a score
// of the game's own move, else only when it is at least `margin` better than that score.
bool suggestion_written(bool game_move_scored, int suggestion_score, int game_score, int margin);

// Annotates game `number` of `in` and appends it to `out`. `side` 'w'/'W' or 'b'/'B'
// analyses that side's moves only; plies `first_ply`..`last_ply` (-1: from the start, to
// the end); a suggestion for a move whose own score is known is written only when it is
// at least `margin` better (margin -1: always). The output is opened before the analysis:
// nothing is analysed when it cannot be, nor when the game is not in `in`.
void annotate_games(const std::string& in, int number, const std::string& out, int first_ply, int last_ply, int margin,
                    char side, double seconds);
