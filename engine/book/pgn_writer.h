// PGN move text of the game record: move numbers, SAN with marks, comments and the
// expected moves, in lines of at most 79 characters. The interpreter's game records, the
// PGN tools and annotation write their games with it.
#pragma once

#include <cstddef>
#include <string>

// Movetext options: what each move's comment holds, and what else is written.
constexpr unsigned PGN_SCORES = 1;             // the score
constexpr unsigned PGN_TIMES = 2;              // the time the move took
constexpr unsigned PGN_RECORDED_VALUES = 4;    // the recorded value (the search depth)
constexpr unsigned PGN_SCORES_FROM_WHITE = 8;  // scores from White's side
constexpr unsigned PGN_EXPECTED_MOVES = 16;    // the move the engine expected, where another came
constexpr unsigned PGN_WITHOUT_MARKS = 32;     // annotation marks left out
// What a game record writes: PGN_DEFAULT_OPTIONS stands for it.
constexpr unsigned PGN_RECORD_OPTIONS = PGN_SCORES | PGN_TIMES | PGN_RECORDED_VALUES | PGN_EXPECTED_MOVES;
constexpr unsigned PGN_DEFAULT_OPTIONS = 0xFFFF;

// Tokens collected into lines: a token that would reach column 80 starts a new line.
struct pgn_line_writer {
    std::string text;
    size_t column = 0;
    void add(const std::string& token) {
        if (column > 0 && column + token.size() >= 80) {
            text += '\n';
            column = 0;
        }
        text += token;
        column += token.size();
    }
    // A word of a variation: after a blank, or at the start of a new line.
    void add_word(const std::string& word) {
        if (column + 1 + word.size() >= 80) {
            text += '\n';
            column = 0;
        } else {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
    }
};

// Score text of a comment: "+M03" (mate in 3 moves), "-M02" (mated in 2), "0.35".
std::string pgn_score_text(int score);

// The number that stands before the move of ply p: "12. " before a White move, "12..."
// before a Black one.
std::string pgn_move_number(int p);

// Movetext of plies first..last (ending with the result when not empty); `line_length`
// receives the length of the last line.
std::string pgn_movetext(const std::string& result, int first, int last, unsigned options, int* line_length = nullptr);

// The SetUp and FEN tags of a game that starts from a set-up position (the FEN with all
// six fields, as PGN readers require), "" for a game from the standard start.
std::string pgn_setup_tags();
