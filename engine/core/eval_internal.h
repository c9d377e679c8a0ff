// What the positional evaluation gathers per call and the driver reads back.
#pragma once

#include <cstdint>

#include "core/board.h"
#include "core/eval_tables.h"

struct eval_work_t {
    int stage;
    int king[2];
    uint64_t king_zone[2];  // each king's square and its neighbours
    uint64_t pawns[2];      // pawn bitboards
    uint64_t men[2];        // squares of each side's men, king included
    uint64_t occupied;      // both sides' men
    int count[2][8];        // knights, bishops, rooks and queens per piece code
    int knight_sq[2][32];   // squares per piece kind, in piece-list order
    int bishop_sq[2][32];
    int rook_sq[2][32];
    int queen_sq[2][32];
    int pawn_on_color[2][2];  // pawns per square colour (0 light, 1 dark)
    uint32_t rammed_files;    // files where a pawn stands right in front of an enemy pawn
};
extern eval_work_t ew;

// Gathers kings, pawns and piece counts of both sides from the piece lists.
void gather_men();

// Empties the table of pawn-formation terms (the tables it is built from changed).
void clear_pawn_table();

// Generates the king-pawn-king win table.
void kpk_generate();
