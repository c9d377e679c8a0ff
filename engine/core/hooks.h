// Calls from the search core, the book and the endgame tables into the command
// interpreter go through these hooks, which the interpreter registers at start-up; the
// lower layers link and run without them.
#pragma once

#include <cstdint>

struct engine_hooks {
    // Called by the search when its node count reaches the poll mark: 1 stops the search.
    int (*search_poll)() = nullptr;
    // Called by the root search on each new best move (test suites).
    void (*epd_check_solution)(uint32_t move, int depth, int score) = nullptr;
    // A new game for the PGN loaders and tools (start_new_game): the interpreter's
    // new_game, which starts its own records of the game beside the board's.
    void (*new_game)(int full) = nullptr;
    // Stores every learned position into the hash table (hash_store_learned per record);
    // returns how many were stored.
    int (*store_learned_positions)() = nullptr;
    // A new position was set up (FEN, board editor): the interpreter resets its game record.
    void (*position_set_up)() = nullptr;
    // Opening book: the move chosen for `side` among the root moves (0 = none), the
    // candidates printed at `print_level` in `print_mode`; `flagged` is set when the
    // book chose among real alternatives.
    uint32_t (*book_choose_move)(int side, const uint32_t* moves, int count, int print_level, int print_mode,
                                 int* flagged) = nullptr;
    // First move of the trosk opening for `side` among the root moves (0 = none).
    uint32_t (*trosk_first_move)(int side, const uint32_t* moves, int count) = nullptr;
    // Bitbase probe: 0 nothing found, 1 exact value, 2 lower bound, 3 upper bound.
    int (*bitbase_probe)(int side, int* value) = nullptr;
    // Endgame-table probe of the current position: false when no table answers; the
    // value as the tables give it.
    bool (*egtb_probe)(int side, int* value) = nullptr;
    // Root moves the search must leave out (test-suite avoid list, UCI searchmoves).
    bool (*root_move_excluded)(uint32_t move) = nullptr;
    // Whether a restricted root list (UCI searchmoves) is in force: no root hash store.
    bool (*root_list_restricted)() = nullptr;
    // The opening name of the present position is announced (after a ponder hit).
    void (*announce_opening)() = nullptr;
    // An analysis that reached the last depth waits here for commands until it ends.
    void (*analysis_wait)() = nullptr;
    // Long counts (perftest) look at the input here now and then: 1 stops them.
    int (*count_poll)() = nullptr;
};
extern engine_hooks hooks;
// Largest number of men the loaded endgame tables reach (0 = none).
extern int egtb_max_men;

inline int call_search_poll() { return hooks.search_poll ? hooks.search_poll() : 0; }
inline void call_epd_check_solution(uint32_t move, int depth, int score) {
    if (hooks.epd_check_solution) hooks.epd_check_solution(move, depth, score);
}
