// The engine's PGN reader: a counting character reader, the tag section, bracketed text
// (tags, comments, variations), the move-text tokens, and the replay of a game's moves
// on the engine's board. Shared by read_pgn, book_parse, the book builders, the PGN
// tools and annotation.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/recorded_game.h"

// Line feeds read since the present file was opened.
extern long pgn_line;

// Capture of the characters read (the ECO tagger and the filter keep a game's text).
// `length` counts every character read, also those that found no room.
struct pgn_echo {
    std::string text;
    size_t length = 0;
    size_t capacity = 0;  // 0: nothing attached
    void attach(size_t cap) {
        text.clear();
        length = 0;
        capacity = cap;
    }
    void detach() { attach(0); }
    void clear() {
        text.clear();
        length = 0;
    }
    bool fitted(size_t spare) const { return length + spare < capacity; }
};
extern pgn_echo pgn_echo_buffer;

// The next character of the file that pgn_pass::open opened; EOF from a NUL byte on,
// which ends the text with a message.
int pgn_getc(FILE* f);

// Game result codes.
enum : int { PGN_WHITE_WON = 1, PGN_BLACK_WON = -1, PGN_DRAW = 0, PGN_UNKNOWN = -2 };
const char* pgn_result_text(int result);

struct pgn_tags {
    int result = PGN_UNKNOWN;
    std::string fen;   // value of the FEN tag, "" when none
    std::string last;  // text of the last tag
};
struct pgn_tag_options {
    int echo_level = -1;                  // above 0: each tag printed at level 8
    FILE* copy = nullptr;                 // with echo_level >= 0 the tags are written here...
    const char* const* skip = nullptr;    // ...except these (null-ended list of names)
    const char* const* wanted = nullptr;  // null-ended list of names whose values are kept
    std::string* values = nullptr;        // one per wanted name, cleared first
};
// Reads a game's tag section from the current character `c`; returns the first
// character after it (the move text's first, or EOF).
int pgn_read_tags(FILE* f, int c, pgn_tags* tags, const pgn_tag_options* options = nullptr);
// Reads to the close character matching `open` (already read); the text (at most
// size - 1 characters) into `out` when given; returns the character after it.
int pgn_read_balanced(FILE* f, int open, int close, std::string* out, size_t size);
// Skips blanks, comments and variations: the first character of the next token. The
// comments' texts are appended to `comments` when given.
int pgn_skip_to_token(FILE* f, int c, std::string* comments = nullptr);
bool is_result_token(const std::string& token);
// The value of a tag whose first word is `name` (any letter case).
bool pgn_tag_value(const std::string& tag, const char* name, std::string* value);

// One pass over a PGN file: the current character, the games and the move tokens.
struct pgn_pass {
    FILE* f = nullptr;
    int c = EOF;
    long ngames = 0;
    long nmoves = 0;
    bool token_at_line_end = false;  // the last token ended at a line feed
    bool in_game = false;            // the present game's move text is not read to its end
    bool keep_comments = false;      // next_token gathers the comments before the token...
    std::string comments;            // ...here

    bool open(const std::string& name, const char* mode);
    void close();
    // Reads the next game's tags; false at the end of the file. Counts the game.
    bool next_game(pgn_tags* tags, const pgn_tag_options* options = nullptr);
    // The next move token of the game, its move number taken off; false at the end of
    // the game's move text. Counts the token and prints "." at every 10000th.
    bool next_token(std::string* token);
    // "\n%ld lines: ngames = %ld nmoves = %ld\n"
    void print_counts() const;
};

// Board-only start of a game (the book builders and book_parse): the start position or
// the FEN tag's; the side to move.
bool pgn_set_up_board(const pgn_tags& tags, int* side);
// The start of a game that is recorded (loaders and tools): start_new_game(full), no
// opening named, and the FEN.
bool pgn_set_up_game(const pgn_tags& tags, int* side, int full = NEW_GAME_RECORD_ONLY);

// Reads `token` as a move of `side`; a move that does not parse is reported as
// "bad move in <what> ..." with the board diagram, and 0 is returned.
uint32_t pgn_parse_move(const pgn_pass& p, const std::string& token, int side, int* annotation, const char* what);

// What pgn_next_move found: a move; the end of the game's move text; the game cut at the
// ply limit (reported); a move that does not parse (reported). After a cut or a bad move
// the rest of the game is passed over by the next pgn_pass::next_game.
enum class pgn_step : int { move, end, cut, bad };
// The next move of the present game for `side` while the board holds fewer than
// `ply_limit` plies: the move and its annotation (when asked for); bad moves are reported
// as pgn_parse_move does.
pgn_step pgn_next_move(pgn_pass& p, int side, int ply_limit, const char* what, uint32_t* move, int* annotation);

// Plies a game may reach when its moves are only made on the board (the builders), and
// when they are recorded (loaders and tools).
constexpr int PGN_BOARD_PLY_LIMIT = 960;
int pgn_record_ply_limit();
// The message when a game is cut at `plies`.
void pgn_report_cut(long game, int plies);

// read_pgn: game `number` (from 1) of the file becomes the present game; a number beyond
// the file's games is said, and the present game stays.
int pgn_load_game(const std::string& file, int number);
// The same, keeping the values of the wanted tags; 1 when the game was found and
// loaded without a bad move.
int pgn_load_game_tags(const std::string& file, int number, const char* const* wanted, std::string* values);
// book_parse: every move of every game checked; false when the file cannot be read. The
// board is left at the last game's end (the command starts a new game after it).
bool book_parse(const std::string& file);
