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
    notation_mode = NOTATION_COORDINATES;
    level_printf(LVL_UCI, "\nid name Orvik %s\n", release_label);
    level_printf(LVL_UCI, "id author the Orvik developers\n");
    for (int i = 0; i < uci_option_count; ++i)
        if (uci_options[i].announced) level_printf(LVL_UCI, "%s\n", uci_option_line(uci_options[i]).c_str());
    level_printf(LVL_UCI, "uciok\n");
    set_uci_levels();
    return CMD_READ_ON;
}

int cmd_debug(const std::string& arg) {
    uci_debug = match_command("on", arg) ? 1 : 0;
    return CMD_READ_ON;
}

int cmd_isready(const std::string&) {
    level_printf(LVL_UCI, "readyok\n");
    return CMD_READ_ON;
}

// A new game as newgame starts one (the record of the last game finished, a new
// numbered log); under UCI nothing is searched after it.
int cmd_ucinewgame(const std::string& arg) {
    const int code = cmd_newgame(arg);
    return uci_mode ? CMD_READ_ON : code;
}

int cmd_stop(const std::string&) {
    force_mode = 1;
    return CMD_READ_ON;
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
            return CMD_READ_ON;
        }
        side_to_move = side;
        computer_side = side ^ 1;
        i = end + rest;
    } else if (same(first, "startpos")) {
        new_game(NEW_GAME_RECORD_ONLY);
        i = end;
    }
    const bool set_up = same(first, "fen") || same(first, "startpos");
    i = skip_blanks(arg, i);
    const std::string keyword = word_at(arg, i, 64, &end);
    if (!same(keyword, "moves")) {
        // Neither a position nor moves: what the host has is not known.
        if (!set_up) level_printf(LVL_UCI, "info string position refused: %s\n", arg.c_str());
        uci_position_refused = !set_up;
        return CMD_READ_ON;
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
            return CMD_READ_ON;
        }
        if (!game_has_room()) {
            level_printf(LVL_UCI, "info string position refused: the game has reached %d plies before %s\n",
                         MAX_GAME_PLY - 1, word.c_str());
            return CMD_READ_ON;
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
    return CMD_READ_ON;
}

namespace {

// What the words of a go line ask for.
struct go_request {
    long long wtime = 0, btime = 0, winc = 0, binc = 0, movestogo = 0, depth = 0, nodes = 0, mate = 0, movetime = 0;
    bool ponder = false, clock = false, has_depth = false, has_mate = false, infinite = false;
};

// One word of go: whether a number or a list of moves follows it, where the number
// goes, and what the word's presence sets.
enum class go_argument { none, number, moves };
struct go_word {
    const char* name;
    go_argument argument;
    long long go_request::*number;
    bool go_request::*given;
};

// clang-format off
const go_word go_words[] = {
    {"ponder",      go_argument::none,   nullptr,                &go_request::ponder},
    {"searchmoves", go_argument::moves,  nullptr,                nullptr},
    {"wtime",       go_argument::number, &go_request::wtime,     &go_request::clock},
    {"btime",       go_argument::number, &go_request::btime,     &go_request::clock},
    {"winc",        go_argument::number, &go_request::winc,      nullptr},
    {"binc",        go_argument::number, &go_request::binc,      nullptr},
    {"movestogo",   go_argument::number, &go_request::movestogo, nullptr},
    {"depth",       go_argument::number, &go_request::depth,     &go_request::has_depth},
    {"nodes",       go_argument::number, &go_request::nodes,     nullptr},
    {"mate",        go_argument::number, &go_request::mate,      &go_request::has_mate},
    {"movetime",    go_argument::number, &go_request::movetime,  nullptr},
    {"infinite",    go_argument::none,   nullptr,                &go_request::infinite},
};
// clang-format on

// Whether the text begins with one of the words of go.
bool begins_go_word(const std::string& text) {
    for (const go_word& w : go_words)
        if (match_command(w.name, text)) return true;
    return false;
}

}  // namespace

// A word that is no legal move is passed over (the host's list may hold a move of
// another position); the first word of go ends the list.
size_t parse_searchmoves(const std::string& text) {
    searchmoves_count = 0;
    size_t i = 0;
    for (;;) {
        i = skip_blanks(text, i);
        if (i >= text.size() || searchmoves_count > 300 || begins_go_word(text.substr(i))) break;
        size_t end = 0;
        const std::string word = word_at(text, i, 255, &end);
        if (const uint32_t move = parse_move(word, side_to_move, nullptr, nullptr))
            searchmoves_list[searchmoves_count++] = move;
        else
            level_printf(LVL_UCI, "info string searchmoves: %s is not a legal move\n", word.c_str());
        i = end;
    }
    return i;
}

namespace {

// Reads the words from left to right; the first that is none of them ends the reading.
go_request read_go(const std::string& arg) {
    go_request g;
    std::string rest = arg;
    for (;;) {
        const go_word* word = nullptr;
        std::optional<size_t> at;
        for (const go_word& w : go_words)
            if ((at = match_command(w.name, rest))) {
                word = &w;
                break;
            }
        if (!word) return g;
        size_t i = *at;
        if (word->argument == go_argument::number) g.*(word->number) = read_go_number(rest, &i);
        if (word->argument == go_argument::moves) i += parse_searchmoves(rest.substr(i));
        if (word->given) g.*(word->given) = true;
        rest = rest.substr(i);
    }
}

// The host's clocks become both records: a clock given at 0 or below is a clock of 0,
// an increment below 0 is none. With an autoplayer delay the side to move's clock keeps
// back what the host is expected to spend on the moves of the game so far.
void set_host_clocks(go_request g) {
    g.wtime = std::max(g.wtime, 0LL);
    g.btime = std::max(g.btime, 0LL);
    g.winc = std::max(g.winc, 0LL);
    g.binc = std::max(g.binc, 0LL);
    g.movestogo = std::clamp(g.movestogo, 0LL, 100000LL);
    if (autoplayer_delay >= 1 && search_state != SEARCH_ANALYSE) {
        const long long est = ((board.ply + 1) * static_cast<long long>(autoplayer_delay)) / 2;
        long long& own = side_to_move == BLACK ? g.btime : g.wtime;
        const long long reduced = own - est;
        if (reduced > autoplayer_delay * g.movestogo) own = reduced;
    }
    const long long times[2] = {g.wtime, g.btime};
    const long long incs[2] = {g.winc, g.binc};
    for (int c = 0; c < 2; ++c) {
        clock_record& r = clocks[c];
        r.pt = static_cast<double>(times[c]) / 1000.0;
        r.st = 0.0;
        r.inc = static_cast<double>(incs[c]) / 1000.0;
        r.time_used = 0.0;
        r.pm = static_cast<int>(g.movestogo);
        r.sm = 0;
        r.moves_left = static_cast<int>(g.movestogo);
        r.fixed = r.is_on_sec = r.has_sec = 0;
        r.run = 0;
    }
    // The host's clock runs from its "go": so does ours (a ponder search starts the
    // engine's clock at the ponder hit).
    if (search_state == SEARCH_PLAY) clock_start(side_to_move);
}

// The time the search may take: an analysis until stop; the clock, with movetime as
// the most a move may take when both are given; movetime; or no limit of time when a
// depth or mate limit is given alone. Otherwise the clocks stay as they are (a node
// limit alone searches by its count).
void set_go_time(const go_request& g) {
    move_time_cap = 0.0;
    const double movetime = static_cast<double>(g.movetime) / 1000.0;
    if (g.infinite) {
        set_fixed_time_per_move(UNTIMED_MOVE_SECONDS);
    } else if (g.clock) {
        set_host_clocks(g);
        if (g.movetime > 0) move_time_cap = movetime;
    } else if (g.movetime > 0) {
        set_fixed_time_per_move(movetime);
    } else if (g.has_depth || g.has_mate) {
        set_fixed_time_per_move(UNTIMED_MOVE_SECONDS);
    }
}

// Every limit given is a limit, and the search ends at the first it reaches: a depth of
// 0 or below is a depth of 1; a mate in n ends the search when found, or when the n
// moves' depth is searched without it. An analysis ("infinite") runs until stop.
void set_go_limits(const go_request& g) {
    constexpr long long MOST_PLIES = 10000;
    max_depth = 0;
    mate_limit = 0;
    node_limit = NO_NODE_LIMIT;
    clock_with_node_limit = g.clock || g.movetime > 0;
    if (g.infinite) return;
    if (g.nodes > 0) node_limit = g.nodes > MOST_NODES ? MOST_NODES : static_cast<uint32_t>(g.nodes);
    if (g.has_depth) max_depth = static_cast<int>(std::clamp(g.depth, 1LL, MOST_PLIES));
    if (g.has_mate) {
        mate_limit = static_cast<int>(std::clamp(g.mate, 1LL, MOST_PLIES / 2));
        const int plies = 2 * mate_limit - 1;
        if (max_depth == 0 || plies < max_depth) max_depth = plies;
    }
}

}  // namespace

int uci_go(const std::string& arg) {
    search_state = SEARCH_PLAY;
    searchmoves_count = 0;
    const go_request g = read_go(arg);
    if (g.ponder) search_state = SEARCH_PONDER;
    set_go_time(g);
    set_go_limits(g);
    if (g.infinite) search_state = SEARCH_ANALYSE;
    return CMD_ACT;
}
