// Process-wide settings: the values the commands of the same names set and the
// search, clocks, book, learning and output read. Values in 1/64 ply where noted.
#pragma once

#include <cstdint>

// Search.
extern int null_low;                                                             // 1/64 ply
extern int null_high;                                                            // 1/64 ply
extern int null_endgame;                                                         // 1/64 ply
extern int null_split;                                                           // 1/64 ply
extern int icheck, irepcheck, irecapture, ipawn7, inullthreat, ipawne, ionerep;  // 1/64 ply
extern int prune;
extern int deepen;
extern int fail_low_early;
extern int window;
extern int ut1, ut2;
extern int qexact;
// Bits of the quiescence mode (qsearch_mask), which qexact chooses.
enum : int {
    Q_SKIP_LOSERS = 1,         // delta pruning of captures in the capture nodes
    Q_ALL_MOVES_IN_CHECK = 2,  // the check node searches every evasion, not only captures
    Q_CHECK_WINNERS = 4,       // a capture node whose stand-pat beats alpha answers a check
    Q_CHECK_ALWAYS = 8,        // a capture node answers a check before standing pat
};
extern int qsearch_mask;
// The opening's first move without the book: as White at the game's first ply, as Black
// at its second.
enum : int { TROSK_AS_WHITE = 1, TROSK_AS_BLACK = 2 };
extern int trosk_mode;
extern int tb_usage;
constexpr uint32_t NO_NODE_LIMIT = 0xFFFFFFFFu;
constexpr uint32_t MOST_NODES = NO_NODE_LIMIT - 1;  // the largest node limit
extern uint32_t node_limit;                         // NO_NODE_LIMIT = none
// A node limit alone (nodes) searches by the count whatever the clock says; a host's go
// that gives a node limit beside its clock sets this, and the search ends at the first.
extern bool clock_with_node_limit;
// Whether the clock (or the fixed time per move) may end the search.
inline bool clock_limits_search() { return node_limit == NO_NODE_LIMIT || clock_with_node_limit; }
extern uint32_t noise;
extern int max_depth;   // plies, 0 = no limit
extern int mate_limit;  // moves: a mate found in at most so many ends the search, 0 = none

// Parts of the search and evaluation that the strength harness switches off one at a
// time to measure what each is worth (bench/ablation.sh); all are on in play. Set from
// the environment variable ORVIK_OFF, a comma-separated list of the names below.
enum : uint32_t {
    OFF_VERIFY = 1u << 0,         // the null move's reduced pre-search
    OFF_KILLERS = 1u << 1,        // killer and mate-killer moves
    OFF_HISTORY = 1u << 2,        // history credits
    OFF_TABLE_CUTS = 1u << 3,     // cut-offs and bounds from the transposition table
    OFF_THREAT_BIT = 1u << 4,     // the mate-threat bit of table entries
    OFF_LAZY = 1u << 5,           // lazy evaluation from material
    OFF_PAWNS = 1u << 6,          // pawn structure (passed pawns apart)
    OFF_PASSERS = 1u << 7,        // passed and candidate pawns
    OFF_KING = 1u << 8,           // king safety and pawn shield
    OFF_MOBILITY = 1u << 9,       // bishop and rook mobility
    OFF_ROOKS_QUEENS = 1u << 10,  // rook and queen file, rank and king terms
    OFF_ENDINGS = 1u << 11,       // special endings and the scaling of drawish material
    OFF_IMBALANCE = 1u << 12,     // bishop pair, bishop colours, closed centre, like-piece scaling
};
extern uint32_t features_off;
inline bool feature_on(uint32_t f) { return (features_off & f) == 0; }
// Reads a list such as "killers,lazy"; false (and nothing set) on an unknown name.
bool parse_features_off(const char* text, uint32_t* out);

// Clocks.
extern int nmoves_inctime;
extern double mintime_factor;
extern double time_factor;
extern int hard;  // pondering switch
extern int ignore_time;

// Evaluation.
extern int pval;  // positional scale, 192 = 1.0
extern int nval;  // 1 "new" piece values, 0 "old"

// Game loop and resignation.
extern int rscore;  // centipawns
extern int rmoves;
extern int resign_on;
extern int bell;
// Any value on ends the search after one iteration; KIDS_RANDOM_MOVES plays a random
// legal move instead of searching.
constexpr int KIDS_RANDOM_MOVES = 1;
extern int kids_mode;
extern int eml_mode;

// Book and learning.
extern int use_book;
extern int book_random, book_split, book_mode, overwrite_vgm, show_book;
extern int book_learn;
extern int pos_learn;
extern int posentries;
extern double min_learn_tc;
extern int margin_book_learn_white, margin_book_learn_black, margin_pos_learn;

// Output and ICS.
extern int show_eco;
extern int max_PV_WB, max_PV_tellics;
extern int space_in_PV, move_number_in_PV;
extern int pv_marks;  // variation marks ({HT}, H, R ...); test suites switch them off
extern int autokibitz, op_info;
extern int ignore_system;

// Thinking output: UCI options and the ICS mate announcement that the search's output reads.
extern int uci_show_hashfull;  // UCI option: "info hashfull" lines
extern int uci_egtb_info;      // UCI option "Show add. EGTB info": 2 always, anything else final lines only
extern int uci_debug;          // UCI debug mode
extern int four_men_only;      // UCI option: only the 3- and 4-men tables are probed
extern int autoplayer_delay;   // UCI option: milliseconds a host loses per move (ms)
extern int
    announce_mate_on;  // announce_mate: tell the ICS a mate found     // once set, "!" lines no longer reach the shell
