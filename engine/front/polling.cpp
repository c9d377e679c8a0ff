// Input polling during a search and waiting while pondering.
#include "core/types.h"
#include "front/polling.h"

#include <cstring>

#include "core/board.h"
#include "core/clock.h"
#include "core/hash.h"
#include "core/input.h"
#include "core/output.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/commands.h"
#include "front/game_record.h"

int pipe_flag = 0;
int stop_by_input = 0;

namespace {
double last_progress = 0.0;    // seconds since the search start of the last UCI progress line
uint32_t progress_search = 0;  // the start (millis) of the search it belongs to

// Reads the waiting line of the search; false at the end of input (reported).
bool read_search_line(std::string& line) {
    level_printf(LVL_PROMPT, "%s", "");
    if (!stdin_read_line(line)) {
        level_printf(LVL_ERROR, "End of file while attemting to read input: %s\n", stdin_error_text());
        return false;
    }
    return true;
}

// The time between two looks at the input, in seconds of search.
constexpr double POLL_SECONDS = 0.02;

// Lines that run at once are taken one after another while whole ones wait, so that a
// host's burst of them is not answered half a second a line (a hundred at most, then
// the search has its turn).
constexpr int LINES_A_POLL = 100;

// Echoes a line read during a search, trims it into `line` and runs it when its row may
// run at once; true when nothing more is to be done with it (also for an empty line).
bool run_at_once(const std::string& input, std::string* line) {
    level_printf(LVL_ECHO, "input: %s\n", input.c_str());
    *line = input;
    while (!line->empty() && is_blank(line->back())) line->pop_back();
    size_t first = 0;
    while (first < line->size() && is_blank((*line)[first])) ++first;
    if (first == line->size()) return true;
    for (const command_entry* row = command_table; row->name; ++row) {
        if (!(row->flags & CMD_AT_ONCE)) continue;
        if (auto at = match_command(row->name, *line)) {
            row->handler(line->substr(*at));
            return true;
        }
    }
    return false;
}

// A line that arrives during a batch run: only "?" and "quit" stop the present search
// (quit the whole run); lines that run at once run, every other one is held back for
// after the run. True when the search is to stop.
bool batch_line_stops(const std::string& input) {
    std::string line;
    if (run_at_once(input, &line)) return false;
    if (match_command("?", line)) return true;
    if (match_command("quit", line)) {
        batch_run::hold(line);
        batch_run::ask_quit();
        return true;
    }
    batch_run::hold(line);
    return false;
}

// The input of the engine's own search, or of a count: 1 stops it.
int poll_own_search_input() {
    const bool batch = batch_run::active();
    if (batch && batch_run::quitting()) return 1;
    for (int taken = 0; taken < LINES_A_POLL; ++taken) {
        // At the end of the input a batch run goes on to its end.
        if (batch && (stdin_at_end() || batch_run::full())) return 0;
        if (!stdin_input_waiting() || !stdin_line_ready()) return 0;
        std::string line;
        if (batch ? !stdin_read_line(line) : !read_search_line(line)) {
            if (batch) return 0;
            stop_by_input = 1;
            return 1;
        }
        if (!line.empty() && line[0] == '.') {
            print_search_stats();
            stop_by_input = 0;
            continue;
        }
        stop_by_input = batch ? batch_line_stops(line) : command_during_search(line);
        if (stop_by_input) return 1;
    }
    return 0;
}

// While pondering, a line is read against the position of ponder_root_board, not the
// node the search stands on; that node is put back afterwards.
struct root_view {
    bool active = false;
    board_state saved_board;
    history_entry saved_history[6];
    int base = 0;
    root_view() {
        if (ponder_root_ply < 0) return;
        active = true;
        saved_board = board;
        base = ponder_root_ply + 1;
        for (int i = 0; i < 6; ++i) saved_history[i] = game_history[base + i];
        board = ponder_root_board;
    }
    ~root_view() {
        if (!active) return;
        board = saved_board;
        for (int i = 0; i < 6; ++i) game_history[base + i] = saved_history[i];
    }
};
}  // namespace

int search_poll() {
    const double elapsed_raw = (millis() - search_start) / 1000.0;
    const double elapsed = elapsed_raw < 0.05 ? 0.05 : elapsed_raw;
    const uint32_t nodes = nodes_searched;
    const double rate = nodes / elapsed;

    if (uci_mode && elapsed_raw >= 0.05) {
        // A new search prints at once; then a line every 4 s. The time stamp moves only
        // with a line printed, or the gap would never be reached.
        const bool new_search = search_start != progress_search || last_progress > elapsed_raw;
        progress_search = search_start;
        if ((new_search || elapsed_raw - last_progress >= 4.0) && nodes != 0) {
            level_printf(LVL_UCI_PROGRESS, "info nodes %lu nps %lu depth %d seldepth %d\n",
                         static_cast<unsigned long>(nodes), static_cast<unsigned long>(rate), iteration_depth,
                         seldepth);
            if (uci_show_hashfull && hash_table && hash_entries)
                level_printf(LVL_UCI_PROGRESS, "info hashfull %d\n", hash_fullness_permill());
            last_progress = elapsed_raw;
        } else if (new_search) {
            last_progress = elapsed_raw;
        }
    }

    // Input is looked at about every 20 ms of every search: a host's isready and stop are
    // answered at once, and so is the opponent's move while pondering (the host's clock
    // already runs for the engine). Under the clock the poll comes sooner at the very end
    // of the time: within a quarter of what remains.
    double interval = POLL_SECONDS * rate;
    if (search_state == SEARCH_PLAY && clock_limits_search()) {
        const double remaining = time_limit - elapsed_raw;
        if (remaining < 0.01) return 1;
        if (rate * remaining * 0.25 < interval) interval = rate * remaining * 0.25;
    }
    if (interval < 100.0) interval = 100.0;
    if (interval > 4.0e9) interval = 4.0e9;
    poll_mark = nodes + static_cast<uint32_t>(interval);

    if (search_state == SEARCH_PLAY) return poll_own_search_input();
    for (int taken = 0; taken < LINES_A_POLL; ++taken) {
        if (!stdin_input_waiting()) return 0;
        // Input waits but no whole line yet: look again at the next poll.
        if (!stdin_line_ready()) return 0;
        std::string line;
        if (search_state == SEARCH_PONDER) return wait_for_input();
        // Analysing.
        if (uci_mode) {
            if (!read_search_line(line)) return 1;
            if (command_during_search(line)) return 1;
            continue;
        }
        if (!stdin_read_line(line)) {
            level_printf(LVL_ERROR, "End of file while attemting to read input: %s\n", stdin_error_text());
            return 1;
        }
        if (!line.empty() && line[0] == '.') {
            print_search_stats();
            continue;
        }
        if (command_during_search(line)) return 1;
    }
    return 0;
}

int count_poll() { return poll_own_search_input(); }

int command_during_search(const std::string& input) {
    std::string line;
    if (run_at_once(input, &line)) return 0;
    pending_line = line;
    pending_line_waiting = true;
    return 1;
}

int wait_for_input() {
    const double elapsed = (millis() - search_start) / 1000.0;
    int code = CMD_ACT;
    uint32_t move = 0;
    {
        root_view view;
        move = read_command(&code);
        while (!move && code == CMD_PONDER_GOES_ON) {
            if (!stdin_input_waiting()) return 0;
            move = read_command(&code);
        }
    }
    if (!move && code != CMD_PONDERHIT) {
        if (uci_mode && code == CMD_NEW_GAME) return 0;
        move_after_stop = uci_mode ? current_best_move() : 0;
        search_state = SEARCH_PLAY;
        stop_by_input = 1;
        if (code == CMD_QUIT) ponder_command_result = PONDER_STOP_QUIT;
        if (code == CMD_NEW_GAME) ponder_command_result = PONDER_STOP_NEW_GAME;
        return 1;
    }
    search_state = SEARCH_PLAY;
    if (move && code != CMD_PONDERHIT && (move & MOVE_STORED) != (ponder_expected & MOVE_STORED)) {
        move_after_stop = move;
        stop_by_input = 1;
        return 1;
    }
    // Ponder hit: the search goes on as the engine's own.
    const int engine = think_side;
    const double used = clock_elapsed(engine ^ 1);
    if (record_length > 0 && record_length < MAX_GAME_PLY) ply_move_times[record_length] = used;
    clock_start(engine);
    ponder_hit = 1;
    allocate_time(engine, &usetime, &mintime, &maxtime);
    time_limit = usetime;
    return (elapsed >= time_limit || think_game_end) ? 1 : 0;
}

void analysis_wait() {
    // The analysis has reached its last depth: commands are read until one ends it.
    for (;;) {
        std::string line;
        if (!stdin_read_line(line)) {
            level_printf(LVL_ERROR, "End of file while attemting to read input: %s\n", stdin_error_text());
            stop_by_input = 1;
            return;
        }
        if (!line.empty() && line[0] == '.') {
            print_search_stats();
            continue;
        }
        if (command_during_search(line)) return;
        if (search_state != SEARCH_ANALYSE) return;
    }
}
