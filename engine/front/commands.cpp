#include "core/types.h"
#include "front/commands.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/board.h"
#include "core/input.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/handlers.h"

FILE* command_input = nullptr;
std::string pending_line;
bool pending_line_waiting = false;

namespace {
// Files being read, innermost last.
std::vector<FILE*> input_stack;

// Next line of a command file, without its line end, in pieces of at most 8191
// characters: a longer line is handled piece by piece and never held whole. False at
// the end of the file and at a NUL byte.
bool read_file_line(FILE* f, std::string& line) {
    const text_read r = read_text_line(f, line, 8191, true);
    if (r == text_read::nul) report_nul_byte("The command file", "commands");
    if (r != text_read::line) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// Runs a line of the system shell (console dialogue only).
void run_shell(const std::string& cmd) {
    fflush(stdout);
    int status = std::system(cmd.c_str());
    (void)status;
}
}  // namespace

void push_command_input(FILE* f) {
    if (!f) return;
    input_stack.push_back(f);
    command_input = f;
}

namespace {
void pop_command_input() {
    if (!input_stack.empty()) {
        fclose(input_stack.back());
        input_stack.pop_back();
    }
    command_input = input_stack.empty() ? nullptr : input_stack.back();
}
}  // namespace

bool is_command_input(const std::string& name) {
    for (FILE* f : input_stack)
        if (names_file(name, f)) return true;
    return false;
}

void close_command_inputs() {
    while (!input_stack.empty()) pop_command_input();
}

bool read_input_line(std::string& line) {
    while (command_input) {
        if (read_file_line(command_input, line)) return true;
        pop_command_input();
    }
    return stdin_read_line(line);
}

std::optional<size_t> match_command(const char* name, const std::string& line) {
    size_t i = 0;
    while (i < line.size() && is_blank(line[i])) ++i;
    if (i >= line.size()) return std::nullopt;
    size_t k = 0;
    while (name[k] && i + k < line.size() &&
           std::tolower(static_cast<unsigned char>(name[k])) == std::tolower(static_cast<unsigned char>(line[i + k])))
        ++k;
    if (k == 0) return std::nullopt;
    size_t p = i + k;
    if (p < line.size() && line[p] != '=' && !is_blank(line[p])) return std::nullopt;
    while (p < line.size() && is_blank(line[p])) ++p;
    if (p < line.size() && line[p] == '=') {
        ++p;
        while (p < line.size() && is_blank(line[p])) ++p;
    }
    return p;
}

std::optional<size_t> match_option(const char* name, const std::string& line) {
    size_t i = 0;
    while (i < line.size() && is_blank(line[i])) ++i;
    size_t k = 0;
    while (name[k] && i + k < line.size() &&
           std::tolower(static_cast<unsigned char>(name[k])) == std::tolower(static_cast<unsigned char>(line[i + k])))
        ++k;
    if (name[k] != '\0') return std::nullopt;
    size_t p = i + k;
    while (p < line.size() && is_blank(line[p])) ++p;
    return p;
}

const command_entry* find_command(const std::string& line, size_t* arg_offset, bool usable_rows_only) {
    for (const command_entry* row = command_table; row->name; ++row) {
        if (usable_rows_only && row->flags == CMD_PLAIN) continue;
        if (auto at = match_command(row->name, line)) {
            if (arg_offset) *arg_offset = *at;
            return row;
        }
    }
    return nullptr;
}

void set_console_levels() { init_output_levels(); }

void set_xboard_levels(bool on) {
    for (int level : {LVL_MOVE, LVL_TIME, LVL_PROMPT, LVL_BOOK_REJECT, LVL_LEARNED}) output_levels[level] = on ? 0 : 1;
}

void set_uci_levels() {
    for (int& l : output_levels) l = 0;
    output_levels[LVL_UCI] = 1;
    output_levels[LVL_UCI_PROGRESS] = 1;
}

namespace {

// The prompt before a line typed: the side to move with its move number, or
// "pondering: ".
std::string reader_prompt(bool pondering) {
    if (pondering) return "pondering: ";
    const int number = (board.ply + 2 + (1 - side_to_move)) / 2 + move_number_offset;
    char buf[64];
    snprintf(buf, sizeof buf, "%s (%2d): ", side_to_move == WHITE ? "white" : "black", number);
    return buf;
}

// The reader's next line: the one a search left waiting, else the next of the command
// input (a script that ends gives way to the one that read it), else standard input.
// False at the end of standard input (reported).
bool next_line(bool pondering, std::string& line) {
    if (pending_line_waiting) {
        line = pending_line;
        pending_line_waiting = false;
        return true;
    }
    for (; command_input; pop_command_input()) {
        if (read_file_line(command_input, line)) {
            level_printf(LVL_ECHO, "input: %s\n", line.c_str());
            return true;
        }
    }
    level_printf(LVL_PROMPT, "%s", reader_prompt(pondering).c_str());
    if (!stdin_read_line(line)) {
        level_printf(LVL_ERROR, "End of file while attemting to read input: %s\n", stdin_error_text());
        return false;
    }
    level_printf(LVL_ECHO, "input: %s\n", line.c_str());
    return true;
}

// Cuts the blanks off the end of the line; the place of its first other character, or
// npos when nothing else is there.
size_t trim_line(std::string& line) {
    while (!line.empty() && is_blank(line.back())) line.pop_back();
    size_t first = 0;
    while (first < line.size() && is_blank(line[first])) ++first;
    return first == line.size() ? std::string::npos : first;
}

// While pondering under UCI, ponderhit and stop answer the search before anything else.
std::optional<int> uci_ponder_answer(const std::string& line) {
    level_printf(LVL_NORMAL, "test for ponderhit\n");
    if (match_command("ponderhit", line)) return CMD_PONDERHIT;
    if (match_command("stop", line)) return CMD_ACT;
    level_printf(LVL_NORMAL, "ponderhit failed\n");
    return std::nullopt;
}

// What a command run while pondering tells the ponder search: under UCI any command
// ends it (as a new game when it asked for nothing); a command that left force mode on
// breaks it; one whose row keeps the pondering lets it go on.
std::optional<int> pondering_outcome(const command_entry& row, int result) {
    if (uci_mode) return result != CMD_READ_ON ? result : CMD_NEW_GAME;
    if (force_mode) return CMD_PONDER_BROKEN;
    if (row.flags & CMD_KEEPS_PONDERING) return CMD_PONDER_GOES_ON;
    return std::nullopt;
}

// A line that is no move: a shell line (console only), quit, or a command of the table
// (while pondering only the rows usable then; any other line breaks the pondering and
// waits for the reader). The code for the reader to hand back, or none to read on.
std::optional<int> run_command_line(const std::string& line, size_t first, bool pondering, const std::string& reason) {
    if (line[first] == '!' && !ignore_system && !xboard_mode && !uci_mode) {
        run_shell(line.substr(first + 1));
        return std::nullopt;
    }
    if (match_command("quit", line)) return CMD_QUIT;
    size_t arg_at = 0;
    const command_entry* row = find_command(line, &arg_at, pondering);
    if (!row) {
        if (pondering) {
            pending_line = line;
            pending_line_waiting = true;
            return CMD_PONDER_BROKEN;
        }
        level_printf(LVL_ILLEGAL, "Illegal move (%s): %s\n", reason.c_str(), line.c_str());
        return std::nullopt;
    }
    const int result = row->handler(line.substr(arg_at));
    if (pondering)
        if (const auto outcome = pondering_outcome(*row, result)) return outcome;
    if (result != CMD_READ_ON) return result;
    return std::nullopt;
}

}  // namespace

uint32_t read_command(int* code) {
    *code = CMD_ACT;
    for (;;) {
        const bool pondering = search_state == SEARCH_PONDER;
        std::string line;
        if (!next_line(pondering, line)) {
            *code = CMD_QUIT;
            return 0;
        }
        const size_t first = trim_line(line);
        if (first == std::string::npos) continue;
        if (pondering && uci_mode)
            if (const auto answer = uci_ponder_answer(line)) {
                *code = *answer;
                return 0;
            }
        // A move first; a line that is none is a command.
        std::string reason = "unknown";
        if (const uint32_t move = parse_move(line, side_to_move, &reason, nullptr)) {
            if (game_has_room()) return move;
            level_printf(LVL_ERROR, "Move refused: the game has reached %d plies\n", MAX_GAME_PLY - 1);
            continue;
        }
        if (const auto result = run_command_line(line, first, pondering, reason)) {
            *code = *result;
            return 0;
        }
    }
}

int cmd_help(const std::string&) {
    for (const command_entry* row = command_table; row->name; ++row) level_printf(LVL_HELP, "%s\n", row->name);
    return CMD_READ_ON;
}
