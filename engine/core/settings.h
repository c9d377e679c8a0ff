// Process-wide settings: the values the commands of the same names set and the
// search, clocks, book, learning and output read. Values in 1/64 ply where noted.
#pragma once

#include <cstdint>

// Search.
extern int null_low;        // 1/64 ply
extern int null_high;       // 1/64 ply
extern int null_endgame;    // 1/64 ply
extern int null_split;      // 1/64 ply
extern int icheck, irepcheck, irecapture, ipawn7, inullthreat, ipawne, ionerep;  // 1/64 ply
extern int prune;
extern int deepen;
extern int fail_low_early;
extern int window;
extern int ut1, ut2;
extern int qexact;
extern int qsearch_mask;
extern int trosk_mode;
extern int tb_usage;
extern uint32_t node_limit;   // 0xFFFFFFFF = none
extern uint32_t noise;
extern int max_depth;         // plies, 0 = no limit

// Clocks.
extern int nmoves_inctime;
extern double mintime_factor;
extern double time_factor;
extern int hard;              // pondering switch
extern int ignore_time;

// Evaluation.
extern int pval;              // positional scale, 192 = 1.0
extern int nval;              // 1 "new" piece values, 0 "old"

// Game loop and resignation.
extern int rscore;            // centipawns
extern int rmoves;
extern int resign_on;
extern int bell;
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
extern int pv_marks;          // variation marks ({HT}, H, R ...); test suites switch them off
extern int autokibitz, op_info;
extern int ignore_system;

// Thinking output: UCI options and the ICS mate announcement that the search's output reads.
extern int uci_show_hashfull;  // UCI option: "info hashfull" lines
extern int uci_egtb_info;      // UCI option "Show add. EGTB info": 2 always, anything else final lines only
extern int uci_debug;          // UCI debug mode
extern int four_men_only;      // UCI option: only the 3- and 4-men tables are probed
extern int autoplayer_delay;   // UCI option: milliseconds a host loses per move (ms)
extern int announce_mate_on;   // announce_mate: tell the ICS a mate found     // once set, "!" lines no longer reach the shell
