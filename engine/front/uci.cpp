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

// "name <option> value <text>": 0 no match, 1 matched without a value, 2 with a value.
int setoption_match(const char* option, const std::string& arg, std::string* value) {
    auto at_name = match_option("name", arg);
    if (!at_name) return 0;
    const std::string rest = arg.substr(*at_name);
    auto at_option = match_option(option, rest);
    if (!at_option) return 0;
    const std::string after = rest.substr(*at_option);
    auto at_value = match_option("value", after);
    if (!at_value) return 1;
    *value = after.substr(*at_value, 1023);
    return 2;
}

void debug_echo(const char* format, const std::string& text) {
    if (uci_debug) level_printf(LVL_UCI, format, text.c_str());
}

void debug_echo(const char* format, int value) {
    if (uci_debug) level_printf(LVL_UCI, format, value);
}

// A spin option in percent of a ply, stored in 1/64 ply.
int setoption_spin(const char* option, int& target, const std::string& arg) {
    std::string value;
    const int m = setoption_match(option, arg, &value);
    if (m == 0) return 0;
    if (m == 1) return 1;
    const int v = read_integer_arg(value);
    level_printf(LVL_UCI, "info string %s=%d\n", option, v);
    const long long scaled = static_cast<long long>(v) * 64 / 100;
    target = limit_plies_setting(static_cast<int>(scaled > INT_MAX ? INT_MAX : scaled < INT_MIN ? INT_MIN : scaled));
    return 1;
}

int clamp_option(const std::string& value, int low, int high) {
    const int v = read_integer_arg(value);
    return v < low ? low : v > high ? high : v;
}

// Value matched against a list of option words, tried in order.
bool value_is(const std::string& value, const char* word) { return match_option(word, value).has_value(); }

int percent(int sixty_fourths) { return sixty_fourths * 100 / 64; }

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

bool uci_boolean(const std::string& value) {
    const size_t i = skip_blanks(value, 0);
    if (value.size() - i < 4) return false;
    std::string w = value.substr(i, 4);
    for (char& c : w) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return w == "true";
}

bool uci_root_move_excluded(uint32_t move) {
    if (searchmoves_count <= 0) return false;
    for (int i = 0; i < searchmoves_count; ++i)
        if ((searchmoves_list[i] & 0x7FFF) == (move & 0x7FFF)) return false;
    return true;
}

bool uci_root_list_restricted() { return searchmoves_count > 0; }

int cmd_uci(const std::string&) {
    uci_mode = 1;
    notation_mode = 2;
    level_printf(LVL_UCI, "\nid name Orvik %s\n", release_label);
    level_printf(LVL_UCI, "id author the Orvik developers\n");
    level_printf(LVL_UCI, "option name Ponder type check default false\n");
    level_printf(LVL_UCI, "option name Hash type spin default 1 min 1 max %ld\n", hash_max_megabytes());
    level_printf(LVL_UCI, "option name NalimovCache type spin min 1 max 64 default 2\n");
    level_printf(LVL_UCI, "option name NalimovPath type string default <empty>\n");
    level_printf(LVL_UCI, "option name Position Learning type check default true\n");
    level_printf(LVL_UCI, "option name Log File type check default false\n");
    level_printf(LVL_UCI, "option name %s type check default false\n", "Show hash performance");
    level_printf(LVL_UCI, "option name %s type combo default %s var %s var %s var %s\n", "Show add. EGTB info",
                 "at end of search", "never", "at end of search", "allways");
    level_printf(LVL_UCI, "option name %s type combo default %s var %s var %s var %s var %s var %s var %s\n",
                 "Endgame-Database Usage", "Normal", "Never", "Only at root", "Very Low", "Low", "Normal", "High");
    level_printf(LVL_UCI, "option name Use only 3 and 4-men TBs type check default %s\n", four_men_only ? "true" : "false");
    level_printf(LVL_UCI, "option name OwnBook type check default true\n");
    level_printf(LVL_UCI, "option name BookFile type string default kvbook.bin\n");
    level_printf(LVL_UCI, "option name LearnBookFile type string default kvlearn.bin\n");
    level_printf(LVL_UCI, "option name BookLearning type check default %s\n", (book_learn & 2) ? "true" : "false");
    level_printf(LVL_UCI, "option name Book Random type check default %s\n", book_random ? "true" : "false");
    level_printf(LVL_UCI, "option name %s type string default <empty>\n", "BitbasePath");
    level_printf(LVL_UCI, "option name Selectivity type combo default Normal var None var Normal var Risky\n");
    level_printf(LVL_UCI, "option name Extensions type combo default Normal var Normal var Aggressive\n");
    level_printf(LVL_UCI, "option name %s type spin min 0 max 15 default %d\n", "Add. time for so many moves", nmoves_inctime);
    const struct {
        const char* name;
        int max;
        int value;
    } spins[] = {
        {"null_high", 600, null_high},
        {"null_low", 600, null_low},
        {"null_endgame", 600, null_endgame},
        {"null_split", 2000, null_split},
        {"Recapture extension", 100, irecapture},
        {"Check extension", 100, icheck},
        {"Perpetual check extension", 100, irepcheck},
        {"Mate threat extension", 100, inullthreat},
        {"Passed pawn extension", 100, ipawn7},
    };
    for (const auto& s : spins)
        level_printf(LVL_UCI, "option name %s type spin min %d max %d default %d\n", s.name, 0, s.max, percent(s.value));
    level_printf(LVL_UCI, "option name %s type spin min 0 max 2000 default %d\n", "Autoplayer delay (ms)", autoplayer_delay);
    level_printf(LVL_UCI, "option name Clear Hash type button\n");
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
    return uci_mode ? 0 : code;
}

int cmd_stop(const std::string&) {
    force_mode = 1;
    return 0;
}

int cmd_setoption(const std::string& arg) {
    // Options 1 to 15: a matched name without a value ends the command.
    std::string value;
    int m;
    if ((m = setoption_match("ponder", arg, &value))) {
        if (m == 2) {
            hard = uci_boolean(value) ? 1 : 0;
            debug_echo("info string do_ponder=%d\n", hard);
        }
        return 0;
    }
    if ((m = setoption_match("BitbasePath", arg, &value))) {
        if (m == 2) {
            const size_t i = skip_blanks(value, 0);
            std::string head = value.substr(i, 7);
            for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (head == "<empty>") value.clear();
            debug_echo("info string bbpath=%s\n", value);
            cmd_bbpath(value);
        }
        return 0;
    }
    if ((m = setoption_match("NalimovPath", arg, &value))) {
        if (m == 2) {
            debug_echo("info string tbldir=%s\n", value);
            cmd_tbldir(value);
        }
        return 0;
    }
    if ((m = setoption_match("BookFile", arg, &value))) {
        if (m == 2) cmd_book_file(value);
        return 0;
    }
    if ((m = setoption_match("LearnBookFile", arg, &value))) {
        if (m == 2) cmd_lbook_file(value);
        return 0;
    }
    if ((m = setoption_match("hash", arg, &value))) {
        if (m == 2) {
            debug_echo("info string hash=%s\n", value);
            // The announced range holds before the size in bytes is formed.
            const long megabytes = clamp_option(value, 1, static_cast<int>(hash_max_megabytes()));
            hash_alloc(megabytes * 1048576L);
        }
        return 0;
    }
    if ((m = setoption_match("Add. time for so many moves", arg, &value))) {
        if (m == 2) {
            nmoves_inctime = read_integer_arg(value);
            debug_echo("info string nmoves_inctime=%d\n", nmoves_inctime);
        }
        return 0;
    }
    if ((m = setoption_match("Autoplayer delay (ms)", arg, &value))) {
        if (m == 2) {
            autoplayer_delay = read_integer_arg(value);
            debug_echo("info string autoplayer_delay=%d ms\n", autoplayer_delay);
        }
        return 0;
    }
    if ((m = setoption_match("OwnBook", arg, &value))) {
        if (m == 2) {
            use_book = uci_boolean(value) ? 1 : 0;
            debug_echo("use_book=%d\n", use_book);
        }
        return 0;
    }
    if ((m = setoption_match("Use only 3 and 4-men TBs", arg, &value))) {
        if (m == 2) {
            four_men_only = uci_boolean(value) ? 1 : 0;
            debug_echo("four_men_only=%d\n", four_men_only);
        }
        return 0;
    }
    if ((m = setoption_match("Book Random", arg, &value))) {
        if (m == 2) {
            book_random = uci_boolean(value) ? 1 : 0;
            debug_echo("book_random=%d\n", book_random);
        }
        return 0;
    }
    if ((m = setoption_match("BookLearning", arg, &value))) {
        if (m == 2) {
            if (uci_boolean(value))
                book_learn |= 2;
            else
                book_learn &= ~2;
            debug_echo("do_book_learn=%d\n", book_learn);
        }
        return 0;
    }
    if ((m = setoption_match("NalimovCache", arg, &value))) {
        if (m == 2) {
            const int megabytes = clamp_option(value, 1, 64);
            cmd_egtb_cache(std::to_string(megabytes) + "M");
        }
        return 0;
    }
    if ((m = setoption_match("Position Learning", arg, &value))) {
        if (m == 2) {
            debug_echo("info string pos_learn=%s\n", value);
            cmd_pos_learn(uci_boolean(value) ? "1" : "0");
        }
        return 0;
    }
    if ((m = setoption_match("Log File", arg, &value))) {
        if (m == 2) {
            debug_echo("info string Log File=%s\n", value);
            cmd_auto_log(uci_boolean(value) ? "1" : "0");
        }
        return 0;
    }

    // Options 16 to 21.
    if ((m = setoption_match("Show hash performance", arg, &value))) {
        if (m == 2) {
            uci_show_hashfull = uci_boolean(value) ? 1 : 0;
            if (uci_show_hashfull) level_printf(LVL_UCI, "info string I am showing hash_found/hash_probe as Hash\n");
        }
        return 0;
    }
    if ((m = setoption_match("Clear Hash", arg, &value))) {
        debug_echo("%s", std::string("info string clear hash detected\n"));
        hash_clear();
        return 0;
    }
    if ((m = setoption_match("Selectivity", arg, &value))) {
        if (m == 2) {
            if (value_is(value, "None")) {
                null_high = null_low = null_endgame = 0;
                prune = 0;
            } else if (value_is(value, "Risky")) {
                null_high = 256;
                null_low = 192;
                null_endgame = 192;
                null_split = 288;
                prune = 1;
            } else {
                null_high = 192;
                null_low = 192;
                null_endgame = 128;
                prune = 1;
            }
            debug_echo("Selectivity=%s\n", value);
        }
        return 0;
    }
    if ((m = setoption_match("Endgame-Database Usage", arg, &value))) {
        if (m == 2) {
            if (value_is(value, "Never"))
                tb_usage = -1;
            else if (value_is(value, "Only at root"))
                tb_usage = 0;
            else if (value_is(value, "Very Low"))
                tb_usage = 1;
            else if (value_is(value, "Low"))
                tb_usage = 2;
            else if (value_is(value, "Normal"))
                tb_usage = 3;
            else if (value_is(value, "High"))
                tb_usage = 4;
            else
                tb_usage = 3;
            debug_echo("tb_usage=%d\n", tb_usage);
        }
        return 0;
    }
    if ((m = setoption_match("Show add. EGTB info", arg, &value))) {
        if (m == 2) {
            if (value_is(value, "never"))
                uci_egtb_info = 0;
            else if (value_is(value, "allways"))
                uci_egtb_info = 2;
            else
                uci_egtb_info = 1;
            debug_echo("show egtb=%d\n", uci_egtb_info);
        }
        return 0;
    }
    if ((m = setoption_match("Extensions", arg, &value))) {
        if (m == 2) {
            irepcheck = irecapture = value_is(value, "Aggressive") ? 64 : 38;
            debug_echo("Extensions=%s\n", value);
        }
        return 0;
    }

    // Options 22 to 31: percent of a ply.
    if (setoption_spin("null_high", null_high, arg)) return 0;
    if (setoption_spin("null_low", null_low, arg)) return 0;
    if (setoption_spin("null_endgame", null_endgame, arg)) return 0;
    if (setoption_spin("null_split", null_split, arg)) return 0;
    if (setoption_spin("Recapture extension", irecapture, arg)) return 0;
    if (setoption_spin("Check extension", icheck, arg)) return 0;
    if (setoption_spin("Mate threat extension", inullthreat, arg)) return 0;
    if (setoption_spin("Perpetual check extension", irepcheck, arg)) return 0;
    if (setoption_spin("Passed pawn extension", ipawn7, arg)) return 0;
    if (setoption_spin("Pawn endgame extension", ipawne, arg)) return 0;

    debug_echo("info string ignore setoption %s\n", arg);
    return 0;
}

int cmd_position(const std::string& arg) {
    uci_recorded_ply = 0;
    uci_position_refused = true;   // until the whole command is taken
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
            level_printf(LVL_UCI, "info string position refused: illegal move (%s): %s\n", reason.c_str(), word.c_str());
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
    search_state = 0;
    searchmoves_count = 0;
    long long wtime = 0, btime = 0, winc = 0, binc = 0, movestogo = 0, depth = 0, nodes = 0, mate = 0, movetime = 0;
    bool infinite = false, have_depth = false, have_mate = false, have_clock = false;
    static const char* const keywords[] = {"ponder", "searchmoves", "wtime", "btime",    "winc",    "binc",
                                           "movestogo", "depth",    "nodes", "mate", "movetime", "infinite"};
    std::string rest = arg;
    for (;;) {
        int which = -1;
        std::optional<size_t> at;
        for (int k = 0; k < 12 && which < 0; ++k)
            if ((at = match_command(keywords[k], rest))) which = k;
        if (which < 0) break;
        size_t i = *at;
        switch (which) {
        case 0: search_state = 1; break;
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
        rest = rest.substr(i);
    }
    (void)mate;
    max_depth = 0;
    if (nodes > 0) {
        node_limit = nodes >= 0xFFFFFFFFLL ? 0xFFFFFFFEu : static_cast<uint32_t>(nodes);
        return 1;
    }
    node_limit = 0xFFFFFFFFu;
    if (movetime > 0) {
        set_fixed_time_per_move(static_cast<double>(movetime) / 1000.0);
        return 1;
    }
    if (!infinite && !have_depth && !have_mate) {
        // Without a clock word the clocks stay as they are; a clock given at 0 or below
        // is a clock of 0, and an increment below 0 is none.
        if (!have_clock) return 1;
        wtime = wtime < 0 ? 0 : wtime;
        btime = btime < 0 ? 0 : btime;
        winc = winc < 0 ? 0 : winc;
        binc = binc < 0 ? 0 : binc;
        if (movestogo < 0) movestogo = 0;
        if (movestogo > 100000) movestogo = 100000;
        if (autoplayer_delay >= 1 && search_state <= 1) {
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
        if (search_state == 0) clock_start(side_to_move);
        return 1;
    }
    set_fixed_time_per_move(10000000000.0);
    if (have_depth) max_depth = depth > 10000 ? 10000 : depth < 0 ? 0 : static_cast<int>(depth);
    if (infinite) search_state = 2;
    return 1;
}
