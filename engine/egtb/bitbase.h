// Bitbases: small tables of three- and four-man endings held in memory, their files,
// their numbering, the probe the search asks, and their generation from the Nalimov
// tables with the checks and statistics that go with it.
#pragma once

#include <cstdint>
#include <string>

// Classes of a bitbase answer.
enum : int { BB_NONE = 0, BB_EXACT = 1, BB_LOWER = 2, BB_UPPER = 3 };

// Flags of a row.
enum : uint32_t { BB_NO_FILE = 1, BB_WDL = 2, BB_LOADED_WHITE = 4, BB_LOADED_BLACK = 8 };

// A position after normalisation: White holds the stronger material.
struct bb_position {
    int stm;
    int wk, bk;
    int nw, nb;            // pieces besides the kings
    int wtype[2], wsq[2];  // White's pieces, the higher type first
    int btype, bsq;        // Black's piece
    int ep;                // en-passant square, -1 none
};

struct bitbase_descriptor;
using bitbase_probe_function = int (*)(const bitbase_descriptor& row, const bb_position& p, int* score);

// Numbering of the positions of a row's file.
enum bb_numbering : int {
    BBN_NONE,
    BBN_PIECE_PAWNS,     // kpk: pair x 48 + pawn
    BBN_PIECE,           // krk, kqk: pair x 62 + piece
    BBN_EACH,            // krkn ...: (pair x 62 + a) x 61 + b, without pawns
    BBN_TWO,             // kbnk: as BBN_EACH with both pieces White's
    BBN_PIECE_AND_PAWN,  // knpk, kbpk: (pair x 61 + piece) x 48 + pawn
    BBN_PIECE_VS_PAWN,   // knkp ...: the same with Black's pawn
    BBN_PAWN_PAIR,       // kppk: pair x 1128 + pawn pair
    BBN_PAWN_EACH,       // kpkp: (pair x 48 + White's pawn) x 47 + Black's pawn
    BBN_BLOCKED,         // kpblk: pair x 40 + White's pawn (ranks 2-6), Black's in front
};

struct bitbase_descriptor {
    bitbase_probe_function probe;
    const char* name;  // none for rows without a file
    uint8_t* data[2];  // White to move, Black to move
    uint32_t crc[2];
    uint32_t flags;
    uint32_t length;
    // How the row is found and numbered.
    int kind;          // 1 one piece, 2 one each, 3 two on one side
    int type1, type2;  // the stronger or higher type first
    bb_numbering numbering;
    uint32_t positions;  // numbers of the file
};

// The rows with files in file order, the blocked-pawn file, and every row.
extern bitbase_descriptor bitbase_rows[];
extern const int bitbase_row_count;
extern bitbase_descriptor bitbase_blocked;  // kpblk.bbw
extern uint32_t bitbase_probes, bitbase_hits;

// Classes 0 none, 1 exact, 2 lower bound, 3 upper bound; score for the side to move.
int bitbase_probe(int side, int* score);
// Loads every file of `directory` (the bbpath work); prints its summary.
void bitbase_load(const std::string& directory);
void free_bitbases();
// Reads and adds the code of position n in a W/D/L buffer (five positions a byte).
int bitbase_wdl_code(const uint8_t* data, uint32_t n);
void bitbase_wdl_add(uint8_t* data, uint32_t n, int code);
// Folds a normalised position and returns its number in the row's file, or -1 when
// the row has no numbering for it.
int64_t bitbase_number(const bitbase_descriptor& row, bb_position p);

// ---- generation and checks (bitbase_gen.cpp) -------------------------------------

// Writes every bitbase file into the current directory.
void create_bitbases();
// Compares the loaded bitbases with the Nalimov tables position by position.
void bitbase_verify();
// Statistics of an ending from the tables: White's two pieces (second 0 for none),
// Black's piece (0 none), side to move.
void ending_stats(int w1, int w2, int b1, int side);
// The same summed over every type of Black's piece.
void ending_stats_wide(int w1, int w2, int side);

// Empties the engine's board for the men bitbase_place puts on it.
void bitbase_clear_board();
// Puts men on the engine's board (kings first in each colour's list), with no castling
// right and no en-passant square; the previous position's men are lifted first.
void bitbase_place(int n, const int* squares, const int* types, const int* colors);
