// Test suites (test, epdtest, cooktest).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Called by the root search on each new best move; does nothing while no suite runs.
void epd_check_solution(uint32_t move, int depth, int score);

// Whether the cooktest leaves this root move out (a solution move of the position).
bool suite_root_move_excluded(uint32_t move);

// ---- parts of the suites, for their tests ------------------------------------------

// The four FEN fields of an EPD line, joined by single spaces, into `out`; the offset
// after them (and after a halfmove clock and move number when present), or nothing
// when a field is missing.
std::optional<size_t> epd_read_fen_fields(const std::string& line, std::string& out);
// The next operation from `at`: opcode (a letter, then letters, digits, "_") and
// operand up to ";" or the end; the offset after the ";", or nothing when the opcode
// does not begin with a letter. An empty opcode means no more operations.
std::optional<size_t> epd_next_operation(const std::string& text, size_t at, std::string& opcode, std::string& operand);

// A script line without its line end ("\n" or "\r\n").
std::string suite_line_body(std::string line);

// The result files a tested position goes to.
enum : unsigned {
    SUITE_LOST = 1,    // lost.ci / lost.epd
    SUITE_HAIRY = 2,   // hairy.ci
    SUITE_CLEAN = 4,   // clean.ci
    SUITE_ECLEAN = 8,  // eclean.ci
    SUITE_RH = 16,     // rh.ci
};
unsigned suite_result_files(bool correct, uint32_t hit_nodes, uint32_t loss_nodes);

// The solution moves of the present position (15-bit moves) and whether they are moves
// to avoid; 0 moves switch the hook off.
void suite_set_solutions(const uint16_t* moves, int count, bool avoid);
// What the hook recorded for the present position.
struct suite_hits {
    uint32_t hit_nodes;
    double hit_time;
    uint32_t loss_nodes;
    uint32_t mate_nodes;
};
suite_hits suite_recorded();
// Whether a move is correct by the rule of the hook.
bool suite_move_correct(uint32_t move);
