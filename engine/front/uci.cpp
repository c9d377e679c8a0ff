// UCI dialogue commands.
#include "core/types.h"
#include "front/uci.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <optional>

#include "core/board.h"
#include "core/clock.h"
#include "core/fen.h"
#include "core/hash.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/commands.h"
#include "front/engine_main.h"
#include "front/game_loop.h"
#include "front/handlers.h"
#include "front/logs.h"
#include "front/new_game.h"
#include "front/settings_args.h"
#include "front/uci_options.h"

int uci_recorded_ply = 0;
bool uci_position_refused = false;

namespace {

size_t skip_blanks(const std::string& s, size_t i) {
    while (i < s.size() && is_blank(s[i])) ++i;
    return i;
}

// The word at `i` (up to a blank), at most `max` characters.
std::string word_at(const std::string& s, size_t i, size_t max, size_t* end) {
    size_t j = i;
    while (j < s.size() && !is_blank(s[j])) ++j;
    if (end) *end = j;
    return s.substr(i, std::min(j - i, max));
}

long long read_go_number(const std::string& text, size_t* i) {
    const char* start = text.c_str() + *i;
    char* end = nullptr;
    long long v = std::strtoll(start, &end, 10);
    if (end == start) return 0;
    *i += static_cast<size_t>(end - start);
    // Some thirty thousand years in milliseconds either way: sums of these stay exact.
    constexpr long long limit = 1000000000000000LL;
    return v < -limit ? -limit : v > limit ? limit : v;
}
}  // namespace

bool uci_root_move_excluded(uint32_t move) {
    if (searchmoves_count <= 0) return false;
    for (int i = 0; i < searchmoves_count; ++i)
        if ((searchmoves_list[i] & MOVE_STORED) == (move & MOVE_STORED)) return false;
    return true;
}

bool uci_root_list_restricted() { return searchmoves_count > 0; }

int cmd_uci(const std::string&) {
    uci_mode = 1;
    notation_mode = 2;
    level_printf(LVL_UCI, "\nid name Orvik %s\n", release_label);
    level_printf(LVL_UCI, "id author the Orvik developers\n");
    for (int i = 0; i < uci_option_count; ++i)
        if (uci_options[i].announced) level_printf(LVL_UCI, "%s\n", uci_option_line(uci_options[i]).c_str());
    level_printf(LVL_UCI, "uciok\n");
    set_uci_levels();
    return 0;
}

int cmd_debug(const std::string& arg) {
    uci_debug = match_command("on", arg) ? 1 : 0;
    return 0;
}

int cmd_isready(const std::string&) {
    level_printf(LVL_UCI, "readyok\n");
    return 0;
}

// A new game as newgame starts one (the record of the last game finished, a new
// numbered log); under UCI nothing is searched after it.
int cmd_ucinewgame(const std::string& arg) {
    const int code = cmd_newgame(arg);
    return uci_mode ? CMD_READ_ON : code;
}

int cmd_stop(const std::string&) {
    force_mode = 1;
    return 0;
}

int cmd_setoption(const std::string& arg) {
    // A name matched without a value ends the command (a button acts all the same).
    std::string value;
    bool has_value = false;
    if (const uci_option* o = find_uci_option(arg, &value, &has_value)) {
        if (has_value || o->type == uci_option_type::button) o->set(value);
        return CMD_READ_ON;
    }
    if (uci_debug) level_printf(LVL_UCI, "info string ignore setoption %s\n", arg.c_str());
    return CMD_READ_ON;
}

int cmd_position(const std::string& arg) {
    uci_recorded_ply = 0;
    uci_position_refused = true;  // until the whole command is taken
    size_t i = skip_blanks(arg, 0);
    size_t end = 0;
    const std::string first = word_at(arg, i, 64, &end);
    auto same = [](std::string a, const char* b) {
        for (char& c : a) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return a == b;
    };
    if (same(first, "fen")) {
        const std::string text = arg.substr(end);
        int side = WHITE;
        size_t rest = 0;
        if (parse_fen(text, &side, false, &rest) != 0) {
            level_printf(LVL_UCI, "info string position refused: fen%s\n", text.c_str());
            return 0;
        }
        side_to_move = side;
        computer_side = side ^ 1;
        i = end + rest;
    } else if (same(first, "startpos")) {
        new_game(0);
        i = end;
    }
    const bool set_up = same(first, "fen") || same(first, "startpos");
    i = skip_blanks(arg, i);
    const std::string keyword = word_at(arg, i, 64, &end);
    if (!same(keyword, "moves")) {
        // Neither a position nor moves: what the host has is not known.
        if (!set_up) level_printf(LVL_UCI, "info string position refused: %s\n", arg.c_str());
        uci_position_refused = !set_up;
        return 0;
    }
    i = end;
    bool repeating = true;
    for (;;) {
        i = skip_blanks(arg, i);
        if (i >= arg.size()) break;
        const std::string word = word_at(arg, i, 19, &end);
        i = end;
        std::string reason = "unknown";
        const uint32_t move = parse_move(word, side_to_move, &reason, nullptr);
        if (!move) {
            level_printf(LVL_UCI, "info string position refused: illegal move (%s): %s\n", reason.c_str(),
                         word.c_str());
            return 0;
        }
        if (!game_has_room()) {
            level_printf(LVL_UCI, "info string position refused: the game has reached %d plies before %s\n",
                         MAX_GAME_PLY - 1, word.c_str());
            return 0;
        }
        const int again = replay_and_record_move(side_to_move, move, NO_SCORE, 0, repeating ? 1 : 0);
        // The host plays its games through position: the numbered log has a game in it
        // (ucinewgame then opens the next one).
        if (log_file) log_used = 1;
        if (repeating && again)
            uci_recorded_ply = board.ply;
        else
            repeating = false;
        side_to_move ^= 1;
    }
    uci_position_refused = false;
    return 0;
}

size_t parse_searchmoves(const std::string& text) {
    searchmoves_count = 0;
    size_t i = 0;
    for (;;) {
        i = skip_blanks(text, i);
        if (i >= text.size() || searchmoves_count > 300) break;
        size_t end = 0;
        const std::string word = word_at(text, i, 255, &end);
        const uint32_t move = parse_move(word, side_to_move, nullptr, nullptr);
        if (!move) break;
        searchmoves_list[searchmoves_count++] = move;
        i = end;
    }
    return i;
}

int uci_go(const std::string& arg) {
    search_state = SEARCH_PLAY;
    searchmoves_count = 0;
    long long wtime = 0, btime = 0, winc = 0, binc = 0, movestogo = 0, depth = 0, nodes = 0, mate = 0, movetime = 0;
    bool infinite = false, have_depth = false, have_mate = false, have_clock = false;
    static const char* const keywords[] = {"ponder",    "searchmoves", "wtime", "btime", "winc",     "binc",
                                           "movestogo", "depth",       "nodes", "mate",  "movetime", "infinite"};
    std::string rest = arg;
    for (;;) {
        int which = -1;
        std::optional<size_t> at;
        for (int k = 0; k < 12 && which < 0; ++k)
            if ((at = match_command(keywords[k], rest))) which = k;
        if (which < 0) break;
        size_t i = *at;
        // clang-format off
        switch (which) {
        case 0: search_state = SEARCH_PONDER; break;
        case 1: i += parse_searchmoves(rest.substr(i)); break;
        case 2: wtime = read_go_number(rest, &i); have_clock = true; break;
        case 3: btime = read_go_number(rest, &i); have_clock = true; break;
        case 4: winc = read_go_number(rest, &i); break;
        case 5: binc = read_go_number(rest, &i); break;
        case 6: movestogo = read_go_number(rest, &i); break;
        case 7: depth = read_go_number(rest, &i); have_depth = true; break;
        case 8: nodes = read_go_number(rest, &i); break;
        case 9: mate = read_go_number(rest, &i); have_mate = true; break;
        case 10: movetime = read_go_number(rest, &i); break;
        case 11: infinite = true; break;
        }
        // clang-format on
        rest = rest.substr(i);
    }
    (void)mate;
    max_depth = 0;
    if (nodes > 0) {
        node_limit = nodes >= 0xFFFFFFFFLL ? 0xFFFFFFFEu : static_cast<uint32_t>(nodes);
        return CMD_ACT;
    }
    node_limit = NO_NODE_LIMIT;
    if (movetime > 0) {
        set_fixed_time_per_move(static_cast<double>(movetime) / 1000.0);
        return CMD_ACT;
    }
    if (!infinite && !have_depth && !have_mate) {
        // Without a clock word the clocks stay as they are; a clock given at 0 or below
        // is a clock of 0, and an increment below 0 is none.
        if (!have_clock) return CMD_ACT;
        wtime = wtime < 0 ? 0 : wtime;
        btime = btime < 0 ? 0 : btime;
        winc = winc < 0 ? 0 : winc;
        binc = binc < 0 ? 0 : binc;
        if (movestogo < 0) movestogo = 0;
        if (movestogo > 100000) movestogo = 100000;
        if (autoplayer_delay >= 1 && search_state != SEARCH_ANALYSE) {
            const long long est = ((board.ply + 1) * static_cast<long long>(autoplayer_delay)) / 2;
            long long& own = side_to_move == BLACK ? btime : wtime;
            const long long reduced = own - est;
            if (reduced > autoplayer_delay * movestogo) own = reduced;
        }
        const long long times[2] = {wtime, btime};
        const long long incs[2] = {winc, binc};
        for (int c = 0; c < 2; ++c) {
            clock_record& r = clocks[c];
            r.pt = static_cast<double>(times[c]) / 1000.0;
            r.st = 0.0;
            r.inc = static_cast<double>(incs[c]) / 1000.0;
            r.time_used = 0.0;
            r.pm = static_cast<int>(movestogo);
            r.sm = 0;
            r.moves_left = static_cast<int>(movestogo);
            r.fixed = r.is_on_sec = r.has_sec = 0;
            r.run = 0;
        }
        // The host's clock runs from its "go": so does ours (a ponder search starts
        // the engine's clock at the ponder hit).
        if (search_state == SEARCH_PLAY) clock_start(side_to_move);
        return CMD_ACT;
    }
    set_fixed_time_per_move(10000000000.0);
    if (have_depth) max_depth = depth > 10000 ? 10000 : depth < 0 ? 0 : static_cast<int>(depth);
    if (infinite) search_state = SEARCH_ANALYSE;
    return CMD_ACT;
}
