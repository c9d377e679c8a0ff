// Calls from the search core into the command interpreter go through these hooks,
// which the interpreter registers at start-up; the core links and runs without them.
#pragma once

#include <cstdint>

struct engine_hooks {
    // Called by the search when its node count reaches the poll mark: 1 stops the search.
    int (*search_poll)() = nullptr;
    // Called by the root search on each new best move (test suites).
    void (*epd_check_solution)(uint32_t move, int depth, int score) = nullptr;
    // Makes a game move and records it in the game record (the pondering search).
    void (*record_move)(int side, uint32_t move, int score, uint32_t flags) = nullptr;
    // Stores every learned position into the hash table (hash_store_learned per record);
    // returns how many were stored.
    int (*store_learned_positions)() = nullptr;
    // A new position was set up (FEN, board editor): the interpreter resets its game record.
    void (*position_set_up)() = nullptr;
};
extern engine_hooks hooks;

inline int call_search_poll() { return hooks.search_poll ? hooks.search_poll() : 0; }
inline void call_epd_check_solution(uint32_t move, int depth, int score) {
    if (hooks.epd_check_solution) hooks.epd_check_solution(move, depth, score);
}
