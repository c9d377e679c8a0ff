// Static evaluation: material, positional terms, special endings and the margins the
// search uses for its lazy cut-offs, futility and delta pruning.
#pragma once

#include <cstdint>

// Per-side upper estimate of the positional part of the evaluation: the largest
// positional score seen for each side (the search resets it before each search).
extern int lazy_margin[2];
// 1 after a full or special-ending evaluation, 0 after a lazy answer from material.
extern int eval_complete;
// Evaluations made, and those answered lazily from material alone (statistics).
extern uint64_t eval_count;
extern uint64_t eval_lazy_count;
// Game stage of the last positional evaluation (0 opening .. 10 bare ending).
extern int eval_stage;

// Builds the evaluation tables and the king-pawn-king win table; once at start-up.
void eval_init();
// Smooths the passed-pawn, candidate and king-safety rows over the game stages; done
// once per run, on the first search (later calls do nothing).
void eval_prepare();
// What a search does before it starts: eval_prepare, then the positional score e of
// the root (eval_pieces) sets the margins to e + 60 (White) and 60 - e (Black).
// Returns e.
int eval_root_margins();

// Score in centipawns from the view of `side`. Answers from material alone when the
// margins put the position outside (alpha, beta).
int evaluate(int side, int alpha, int beta);

// Positional part from White's view (material excluded); sets eval_complete.
int eval_pieces();

// Per-piece terms from the piece side's view; valid only inside eval_pieces, which
// gathers the pawns, counts and stage they read.
int eval_knight(int side, int sq);
int eval_bishop(int side, int sq);
int eval_rook(int side, int sq);
int eval_queen(int side, int sq);
int eval_king(int side, int sq);

// King and pawn against king from the built-in win table, for the side with the pawn
// (`strong`); `side` is the side to move.
int eval_kpk(int strong_king, int weak_king, int pawn, int strong, int side);
// Whether the table says the position (the pawn's side `strong`) is won for the pawn.
bool kpk_win(int strong_king, int weak_king, int pawn, int strong, int side);

// Special endings where the weak side has only its king: the strong side has pieces
// only, or pawns only. Scores from the view of `side` (the side to move).
int eval_no_pawns(int side, int strong);
int eval_king_vs_pawns(int side, int strong);
// Whether the strong side's rook-file pawns on `corner_file` can be held by the
// defending king; reads the pawn lists of the last eval_pieces.
bool rook_pawn_draw(int strong, int corner_file, int side);
