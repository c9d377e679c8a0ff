// The command table, the matcher that finds a row for a line, and the reader that
// takes lines from the command input and dispatches them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

// What the command reader tells the game loop. A handler returns one of the codes
// that ask for action, or CMD_READ_ON.
enum command_code : int {
    CMD_READ_ON = 0,  // (handlers) nothing to do: the reader goes on
    CMD_QUIT = 0,     // (reader) quit, or the end of the input
    CMD_ACT = 1,      // a move typed, or the engine is to think or analyse
    CMD_NEW_GAME = 2,
    CMD_PONDER = 3,           // the engine is to ponder
    CMD_PONDERHIT = 5,        // (reader, UCI pondering) the expected move came
    CMD_PONDER_GOES_ON = 10,  // (reader, pondering) a command that lets the ponder search go on
    CMD_PONDER_BROKEN = -1,   // (reader, pondering) a line that ends the ponder search
};

using command_handler = int (*)(const std::string& arg);

// Flags of a table row.
enum : uint32_t {
    CMD_PLAIN = 0,            // read between searches only
    CMD_PONDER_OK = 1,        // usable while pondering
    CMD_AT_ONCE = 2,          // runs at once when it comes during a search
    CMD_UNREAD = 4,           // set beside CMD_AT_ONCE on its rows; nothing reads it
    CMD_KEEPS_PONDERING = 8,  // pondering goes on after it
    // The sets the rows use.
    CMD_PONDER_KEEPS = CMD_PONDER_OK | CMD_KEEPS_PONDERING,
    CMD_PONDER_AT_ONCE = CMD_PONDER_OK | CMD_AT_ONCE | CMD_UNREAD,
    CMD_ANYTIME = CMD_PONDER_AT_ONCE | CMD_KEEPS_PONDERING,
};

struct command_entry {
    const char* name;
    command_handler handler;
    uint32_t flags;  // CMD_ flags
};

constexpr int COMMAND_COUNT = 181;
// The rows in matching order, followed by an all-zero row.
extern const command_entry command_table[COMMAND_COUNT + 1];

// Reader state.
extern FILE* command_input;       // script or input file being read; null = standard input
extern std::string pending_line;  // a line that broke off a search or pondering
extern bool pending_line_waiting;

// Offset of the argument text in `line` when its first word is a non-empty prefix of
// `name` (without regard to case); nothing otherwise. Blanks and one '=' after the
// word are skipped.
std::optional<size_t> match_command(const char* name, const std::string& line);
// Offset of the text after the whole option name (no prefixes, '=' not skipped).
std::optional<size_t> match_option(const char* name, const std::string& line);
// The first table row that takes the line (rows with flags 0 skipped when asked).
const command_entry* find_command(const std::string& line, size_t* arg_offset, bool usable_rows_only = false);

// Reads and handles lines until one asks for action. Returns a legal move typed by the
// user (0 when none) and the code through `code` (CMD_ACT with a move, otherwise what
// the line asked for: a handler's code, CMD_QUIT, or one of the pondering codes).
uint32_t read_command(int* code);

// Output-level sets of the dialogues.
void set_console_levels();
void set_xboard_levels(bool on);
void set_uci_levels();

// Reads commands from a file until its end, then from the input that was read before
// (a script that names an input file goes on after it).
void push_command_input(FILE* f);
// Whether `name` is a command file being read (a log must not be written into it).
bool is_command_input(const std::string& name);
// Closes every command file: standard input is read next.
void close_command_inputs();
// Next raw line of the command input (files first, then standard input); false at the
// end of standard input.
bool read_input_line(std::string& line);
