// The engine's search: the alpha-beta node procedure, the quiescence search, the root
// search with iterative deepening, and the state they share with the command layer.
#pragma once

#include <cstdint>
#include <string>

#include "core/hooks.h"
#include "core/types.h"

// Result codes of think.
enum : int {
    THINK_BOOK = 1,
    THINK_WIN = 2,
    THINK_LOSS = 4,
    THINK_STALEMATE = 8,
    THINK_ONLY_MOVE = 0x10,
    THINK_MATED = 0x20,
    THINK_REPETITION = 0x40,
    THINK_FIFTY = 0x80,
    THINK_MATES = 0x100,  // the move found mates
    THINK_MATE_IN_ONE = THINK_WIN | THINK_MATES,
    THINK_NO_MATERIAL = 0x200,
    THINK_SEARCHED = 0x400,
    THINK_BOOK_MARK = 0x800,  // the book flagged its move (kept in the game record's flag word)
    THINK_BOOK_FLAGGED = THINK_BOOK | THINK_BOOK_MARK,
};

// ---- shared search state -----------------------------------------------------
extern uint32_t nodes_searched;   // every node of search and quiescence
extern uint32_t qnodes_searched;  // quiescence capture and check nodes
extern uint32_t poll_mark;        // node count of the next input poll
extern int abort_search;          // set when the search must unwind
extern uint16_t pv_hint[64];      // expected principal variation by ply
extern int iteration_depth;       // plies of the present iteration
extern int check_ply_limit, repcheck_ply_limit, tb_ply_limit, tb_men_limit;
extern int seldepth;  // deepest ply reached

// At the poll mark the interpreter looks at the clock and the input: true when the
// search must unwind (abort_search is then set).
inline bool search_stopped_at_poll() {
    if (nodes_searched < poll_mark) return false;
    poll_mark = nodes_searched + POLL_INTERVAL;
    if (!call_search_poll()) return false;
    abort_search = 1;
    return true;
}

// Time of the present search (seconds, from allocate_time) and its start (millis).
extern double usetime, mintime, maxtime;
extern double time_limit;  // the active limit: usetime, or maxtime after a fail low
extern int time_extended;
extern uint32_t search_start;

// Root progress, read by the statistics line.
extern int root_move_number;  // 1-based number of the root move being searched
extern int root_move_count;
extern char root_move_text[12];
extern int root_stored_depth;  // depth stored for the root before the search (analysis)
extern int think_game_end;     // think found no legal move (mate or stalemate)
extern int ponder_hit;         // a ponder search turned into the engine's own search
extern int stop_auto_play;     // think asks the game loop to end auto play
extern int book_miss_count;    // searches since the engine's last book move

// Extension kinds, as the statistics count them by remaining depth.
enum extension_kind : int {
    EXT_CHECK,
    EXT_REPCHECK,
    EXT_ONE_REPLY,
    EXT_THREAT,
    EXT_PAWN7,
    EXT_PAWN_ENDING,
    EXT_RECAPTURE,
    EXT_KINDS
};
// Remaining depths (whole plies) the tree figures tell apart; deeper nodes count in the last.
constexpr int TREE_DEPTHS = 16;

// Statistics of one search.
struct search_statistics {
    uint64_t pruned;
    uint64_t capture_generations, captures_generated;
    uint64_t bitbase_probes, bitbase_hits, egtb_probes, egtb_hits, tb_hits;
    uint64_t hash_errors;
    // The shape of the tree: nodes of the full-width search, nodes where a move
    // raised beta and those where it was the first move searched, null-move pre-searches,
    // tries and cut-offs, table hits and table cut-offs of the full-width search,
    // internal iterative deepening searches, extensions by kind and remaining depth,
    // and the node count at the end of each completed iteration.
    uint64_t full_nodes, beta_cuts, first_move_cuts;
    uint64_t null_verifications, null_tries, null_cuts;
    uint64_t table_hits, table_cuts, iid_searches;
    uint64_t extensions[EXT_KINDS][TREE_DEPTHS];
    uint64_t iteration_nodes[64];
};
extern search_statistics stats;
// Extensions of one kind granted in the present search, all depths together.
inline uint64_t extension_count(extension_kind kind) {
    uint64_t n = 0;
    for (uint64_t v : stats.extensions[kind]) n += v;
    return n;
}

// The last search's outcome, for the game loop and pondering.
extern uint16_t last_pv[PV_WORDS];  // continuation of the chosen move (chosen move first)
extern uint32_t last_ponder_reply;  // first reply of that variation (15 bits), 0 = none
extern std::string last_hint_text;  // coordinate text of the chosen move ("null" when none)
extern int last_think_code;         // result code of the last think
extern int last_think_score;        // its score
extern int last_think_depth;        // depth of its last finished iteration
// Best root move found so far by the running search (0 = none yet).
uint32_t current_best_move();

// Converts an endgame-table or bitbase value into a search score at `ply`.
inline int convert_table_value(int v, int ply) {
    if (v > 0) return 2 * v - ply - TABLE_WIN_OFFSET;
    if (v < 0) return 2 * v + ply + TABLE_LOSS_OFFSET;
    return 0;
}

// Adds the depth-weighted credit of a good move (depth in 1/64 ply) to the history
// table; both tables are halved when an entry grows too large.
void credit_history(int side, uint32_t move, int depth);
// The updates for a move that cut off or was best at `ply` (the root is ply 0): the
// mate killer above MATE_KILLER_SCORE, the history credit (with `history_too`, and
// never for a promotion or a move onto the square the opponent's last move reached),
// and the killer slots.
void reward_move(int side, uint32_t move, int score, int depth, int ply, bool history_too);

// Stores a node's result in the table; a permanent store (analysis at the root and
// its moves) takes the learned age, which no ordinary store replaces.
void store_search_result(int side, int score, int depth, int ply, int bound, uint32_t move, bool permanent);

// ---- entry points ------------------------------------------------------------
// The node search: score for `side`, `pv_out` receives the best move and its continuation.
int search(int alpha, int beta, int side, int depth, int ply, uint16_t* pv_out, int flags, int repeated);
// The quiescence entry node (depth below one ply).
int qsearch(int alpha, int beta, int side, int ply, uint16_t* pv_out, int flags);
int qsearch_node(int alpha, int beta, int side, int qdepth, int ply, uint16_t* pv_out);
int qsearch_check(int alpha, int beta, int side, int qdepth, int ply, uint16_t* pv_out, uint32_t hash_move);

// Whether a hash move may be used; see the node procedure.
int check_hash_move(int side, uint32_t move, uint16_t* pv_out, int score);

// Chooses the move of `side`: returns the move word (0 = none); the out-parameters may be null.
uint32_t think(int side, int* code_out, int* score_out, int* depth_out, uint16_t* pv_out);
// One pass over the root list; the best score.
int search_root(int alpha, int beta, int side, int depth_plies, uint16_t* pv_out, int flags);

// Thinks on the opponent's time (see ponder.cpp). Returns the engine's move after a ponder
// hit or the opponent's move typed meanwhile (0 = none); how it ended through `result_out`.
uint32_t ponder_search(ponder_outcome* result_out);
extern uint32_t ponder_expected;           // the move made for pondering (0 = none)
extern int ponder_root_ply;                // game ply of ponder_root_board (-1 = none)
extern uint32_t move_after_stop;           // opponent's move that stopped the ponder search
extern ponder_stop ponder_command_result;  // the command that ended the pondering
// While pondering, the position a line is read against (a typed reply above all), not
// the node the search stands on: the one before the expected move, or under UCI the
// position searched.
struct board_state;
extern board_state ponder_root_board;
extern int think_side;  // side of the present search

// Seconds since the search started (at least 0.001).
double search_elapsed();

// Text of a score as the console shows it ("Mat03", "-Mat02", "0.35").
std::string console_score_text(int score);
// Text of a time span as the console shows it.
std::string console_time_text(double seconds);
// Kinds of thinking line; each is shown by a code of two characters (thinking_code).
enum thinking_kind : int {
    THINKING_SCOUT_RAISED,  // "t+": a later move beat the best on the null window (a lower bound)
    THINKING_FIRST_FELL,    // "t-": the first move fell below its expected score (an upper bound)
    THINKING_NEW_BEST,      // "t ": a new best move
    THINKING_ONLY_MOVE,     // "om": the only legal move
    THINKING_FIRST_MOVE,    // "lm": the first move given by the trosk hook
    THINKING_BOOK,          // "bk": a book move
    THINKING_KIDS_MOVE,     // "km": a move drawn at random in kids mode
    THINKING_FAIL_LOW,      // "--": the iteration failed low (an upper bound)
    THINKING_FAIL_HIGH,     // "++": the iteration failed high (a lower bound)
    THINKING_ITERATION,     // ". ": an iteration finished
    THINKING_FINISHED,      // "f.": the search's last line after a finished iteration
    THINKING_UNFINISHED,    // "u.": the same after an iteration broken off
};
// The code a thinking line shows for its kind.
const char* thinking_code(thinking_kind kind);

// Where a thinking line stands in its search.
enum thinking_end : int {
    THINKING_GOES_ON = 0,     // the search goes on
    THINKING_PONDER_END = 1,  // the last line of a ponder search that met no hit
    THINKING_LAST = 2,        // the last line of a search
};

// The thinking line in the dialogue in force.
void print_thinking(const uint16_t* pv, int score, int depth, double seconds, thinking_kind kind, thinking_end end);
// UCI current-move report.
void print_current_move(int move_number, int moves_total, int depth);
// Statistics for the "." command and the xboard status request.
void print_search_stats();

// Clears the shared counters of a search (think does it; tests call it too).
void reset_search_counters();

// The expected line from `ply` on: the moves of `pv` up to its end word, then none.
void set_pv_hint(int ply, const uint16_t* pv);
// Copies a continuation: `dst` = move, then `src` up to and with its end word.
void pv_copy(uint16_t* dst, uint32_t move, const uint16_t* src);
