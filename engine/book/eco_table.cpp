// The opening-name table. eco_table.inc is the output of "pelvat_pgn eco.pgn <out> e" on
// tests/data/eco.pgn; regenerate it the same way after a change of the position keys.
#include "book/eco.h"

const eco_entry eco_table[] = {
#include "book/eco_table.inc"
};
