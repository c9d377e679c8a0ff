#include "book/pgn_tools.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <vector>

#include "book/eco.h"
#include "book/pgn_reader.h"
#include "book/pgn_writer.h"
#include "core/board.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/recorded_game.h"
#include "core/settings.h"
#include "core/state.h"

namespace {
const char* const ECO_TAGS[] = {"ECO", "Opening", "Variation", nullptr};
constexpr size_t ECHO_CAPACITY = 20000;

// The input read as a PGN pass and the output file of one tool run.
struct tool_run {
    pgn_pass p;
    FILE* out = nullptr;
    bool open(const std::string& in, const std::string& out_name) {
        if (!p.open(in, "r")) return false;
        // Opened for writing, the input would be emptied before it is read.
        if (names_file(out_name, p.f)) {
            level_printf(LVL_ERROR, "\"%s\" is the input: it is not also the output\n", out_name.c_str());
            p.close();
            return false;
        }
        out = open_file(out_name.c_str(), "w");
        if (out) return true;
        p.close();
        return false;
    }
    void finish() {
        p.close();
        if (out) std::fclose(out);
        out = nullptr;
        pgn_echo_buffer.detach();
        p.print_counts();
    }
    void write(const std::string& s) const { std::fwrite(s.data(), 1, s.size(), out); }
};

// Options that keep the values of the named tags.
pgn_tag_options wanted_tags(const char* const* names, std::string* values) {
    pgn_tag_options opt;
    opt.wanted = names;
    opt.values = values;
    return opt;
}

// Starts capturing the move text of the game whose first character is `c`.
void capture_move_text(int c) {
    pgn_echo_buffer.attach(ECHO_CAPACITY);
    if (c == EOF) return;
    pgn_echo_buffer.text += static_cast<char>(c);
    pgn_echo_buffer.length = 1;
}
// The captured text of the game just read, without the next game's first character.
std::string captured_move_text(const pgn_pass& p) {
    std::string text = pgn_echo_buffer.text;
    if (p.c != EOF && pgn_echo_buffer.fitted(1) && !text.empty()) text.pop_back();
    return text;
}
// Reads what is left of the game's move text.
void pass_over_rest(pgn_pass& p) {
    std::string token;
    while (p.in_game && p.next_token(&token)) {
    }
}

// Replays the game's moves into the game record, each with its side's mark (`side_marks`)
// or with its own, up to `ply_limit` plies when that is 1 or more; the opening is named
// after each move when asked. False after a bad move.
bool replay_game(pgn_pass& p, int side, int ply_limit, const int* side_marks, bool name_opening) {
    uint32_t move = 0;
    int mark = 0;
    while (ply_limit < 1 || record_length < ply_limit) {
        const pgn_step step = pgn_next_move(p, side, pgn_record_ply_limit(), "book", &move, &mark);
        if (step == pgn_step::bad) return false;
        if (step != pgn_step::move) break;
        make_and_record_move(side, move, NO_SCORE, ply_mark_flags(side_marks ? side_marks[side] : mark));
        side ^= 1;
        side_to_move = side;
        if (name_opening) eco_update_game(side);
    }
    return true;
}

bool begins_with_orvik(const std::string& name) { return strncasecmp(name.c_str(), "orvik", 5) == 0; }

// ECO tags by the engine's own classification; the move text as read, or written anew.
void eco_tagging(tool_run& t, bool regenerate, int ply_limit) {
    pgn_tag_options opt;
    opt.echo_level = 0;
    opt.copy = t.out;
    opt.skip = ECO_TAGS;
    pgn_tags tags;
    for (;;) {
        pgn_echo_buffer.detach();
        if (!t.p.next_game(&tags, &opt)) break;
        capture_move_text(t.p.c);
        int side = WHITE;
        const bool set_up = pgn_set_up_game(tags, &side);
        if (set_up) replay_game(t.p, side, ply_limit, nullptr, true);
        pass_over_rest(t.p);
        const std::string text = captured_move_text(t.p);
        t.write(eco_tag_lines(eco_code, opening_name, variation_name) + "\n");
        if (!set_up || (!regenerate && ply_limit < 1 && pgn_echo_buffer.fitted(2)))
            t.write(text);
        else
            t.write(pgn_movetext(pgn_result_text(tags.result), 1, record_length, 0) + "\n\n");
    }
}

// Placeholder tags, the SetUp and FEN tags of a game from a set-up position, the ECO tags
// (by classification or the game's own) and the engine's own move text.
void normalise(tool_run& t, bool keep_marks, bool own_eco) {
    std::string values[3];
    const pgn_tag_options opt = wanted_tags(ECO_TAGS, values);
    pgn_tags tags;
    while (t.p.next_game(&tags, &opt)) {
        int side = WHITE;
        if (!pgn_set_up_game(tags, &side)) continue;
        replay_game(t.p, side, 0, nullptr, show_eco && !own_eco);
        std::string code = eco_code, opening = opening_name, variation = variation_name;
        if (own_eco) {
            code = values[0];
            opening = values[1];
            variation = values[2];
            if (code.empty() && opening.empty() && variation.empty())
                level_printf(LVL_NORMAL, "No ECO found\n");
            else if (!code.empty() && (code[0] < 'A' || code[0] > 'E'))
                level_printf(LVL_NORMAL, "Huch ECO %s\n", code.c_str());
        }
        t.write(
            "[Event \"?\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"?\"]\n[White \"?\"]\n[Black \"?\"]\n"
            "[Result \"*\"]\n");
        t.write(pgn_setup_tags() + eco_tag_lines(code, opening, variation) + "\n");
        t.write(pgn_movetext("*", 1, record_length, keep_marks ? 0 : PGN_WITHOUT_MARKS) + "\n\n");
    }
}

// The opening-name table as source rows: the final position of every named game.
void opening_table(tool_run& t) {
    std::string values[3];
    const pgn_tag_options opt = wanted_tags(ECO_TAGS, values);
    pgn_tags tags;
    while (t.p.next_game(&tags, &opt)) {
        int side = WHITE;
        bool bad = !pgn_set_up_board(tags, &side);
        uint32_t move = 0;
        pgn_step step = pgn_step::end;
        while (!bad &&
               (step = pgn_next_move(t.p, side, PGN_BOARD_PLY_LIMIT, "book", &move, nullptr)) == pgn_step::move) {
            make_move(side, move);
            side ^= 1;
        }
        bad = bad || step != pgn_step::end;
        if (bad || (values[0].empty() && values[1].empty() && values[2].empty())) continue;
        std::fprintf(t.out, "{{0x%08lx,0x%08lx},%d,", static_cast<unsigned long>(board.key_lo()),
                     static_cast<unsigned long>(board.key_hi()), side);
        std::fprintf(t.out, "\"%s\",\"%s\",\"%s\"},\n", values[0].c_str(), values[1].c_str(), values[2].c_str());
    }
    std::fprintf(t.out, "{{0,0},0,");
    std::fprintf(t.out, "\"%s\",\"%s\",\"%s\"}\n", "", "", "");
}

// Marks by side: a White mark outside -3..3 marks the winner's moves "!!".
void set_marks(tool_run& t, int white_mark, int black_mark) {
    pgn_tag_options opt;
    opt.echo_level = 0;
    opt.copy = t.out;
    pgn_tags tags;
    while (t.p.next_game(&tags, &opt)) {
        int marks[2] = {white_mark, black_mark};
        if (white_mark < -3 || white_mark > 3) {
            marks[WHITE] = tags.result == PGN_WHITE_WON ? 3 : 0;
            marks[BLACK] = tags.result == PGN_BLACK_WON ? 3 : 0;
        }
        int side = WHITE;
        if (pgn_set_up_game(tags, &side)) replay_game(t.p, side, 0, marks, false);
        t.write("\n");
        t.write(pgn_movetext(pgn_result_text(tags.result), 1, record_length, 0) + "\n\n");
    }
}

std::string side_suffix(const std::string& option, uint32_t flags) {
    if (!option.empty() && (option[0] == 'k' || option[0] == 'K')) return ply_mark_text(flags);
    if (option == "n") return "";
    return option;
}

// Every game as a line of moves (SAN, or coordinates with or without separators).
void move_list(tool_run& t, char mode, const std::string& option1, const std::string& option2, int blank_lines,
               int move_limit) {
    pgn_tags tags;
    while (t.p.next_game(&tags)) {
        int side = WHITE;
        if (!pgn_set_up_game(tags, &side)) continue;
        replay_game(t.p, side, move_limit > 0 ? move_limit : 0, nullptr, false);
        if (mode != 'h') t.write(text_printf("[%s]\n", tags.last.c_str()) + (blank_lines ? "\n" : ""));
        for (int ply = 1; ply <= record_length; ++ply) {
            const history_entry& h = game_history[ply];
            const int mover = side ^ ((ply - 1) & 1);
            std::string text = mode == 's' ? std::string(h.san) : move_to_coordinates(h.move);
            text += side_suffix(mover == WHITE ? option1 : option2, h.flags);
            t.write(text + (mode == 'h' ? "" : " "));
        }
        t.write(blank_lines ? "\n\n" : "\n");
    }
}

// Drawn games with a long quiet run after castling, and games whose quiet run after
// castling is the longest so far.
void filter_games(tool_run& t) {
    const char* const wanted[] = {"White", "Black", "TimeControl", nullptr};
    std::string values[3];
    long longest_in_file = 0;
    pgn_tags tags;
    for (;;) {
        pgn_echo_buffer.detach();
        char* tag_text = nullptr;
        size_t tag_size = 0;
        FILE* tag_copy = open_memstream(&tag_text, &tag_size);
        pgn_tag_options opt = wanted_tags(wanted, values);
        opt.echo_level = 0;
        opt.copy = tag_copy;
        opt.skip = ECO_TAGS;
        const bool more = t.p.next_game(&tags, &opt);
        if (tag_copy) std::fclose(tag_copy);
        const std::string tag_lines = tag_text ? std::string(tag_text, tag_size) : std::string();
        std::free(tag_text);
        if (!more) break;
        capture_move_text(t.p.c);
        int side = WHITE;
        long run = 0, longest = 0;
        bool castled_in_run = false;
        uint32_t move = 0;
        if (pgn_set_up_game(tags, &side)) {
            while (pgn_next_move(t.p, side, pgn_record_ply_limit(), "book", &move, nullptr) == pgn_step::move) {
                const bool irreversible =
                    move_is_capture(move) || move_is_ep(move) || board.piece[move_from(move)] == PAWN;
                if (irreversible) {
                    run = 0;
                    castled_in_run = false;
                } else {
                    ++run;
                    if (move_is_castle(move)) castled_in_run = true;
                    if (castled_in_run && run > longest) longest = run;
                }
                make_and_record_move(side, move, NO_SCORE, 0);
                side ^= 1;
                side_to_move = side;
            }
        }
        pass_over_rest(t.p);
        const std::string text = captured_move_text(t.p);
        if (tags.result == PGN_DRAW && castled_in_run && run > 15) {
            t.write(text_printf("{noo %ld}\n", run) + tag_lines + "\n" + text);
        } else if (longest > 15 && longest > longest_in_file) {
            t.write(text_printf("{%ld}", longest) + "\n" + tag_lines + "\n" + text);
        }
        if (longest > longest_in_file) longest_in_file = longest;
    }
}

// The games Orvik played, with its colour, the ECO code and the outcome.
struct engine_game {
    int colour;        // WHITE or BLACK
    std::string code;  // A00..E99
    int outcome;       // 1 won, 0 draw, -1 lost
};

// Reads the games in which Orvik played with a known result and a sound ECO code.
template <typename Use>
void engine_games(tool_run& t, int minimum_tc, Use use) {
    const char* const wanted[] = {"White", "Black", "TimeControl", "ECO", nullptr};
    std::string values[4];
    const pgn_tag_options opt = wanted_tags(wanted, values);
    pgn_tags tags;
    while (t.p.next_game(&tags, &opt)) {
        int side = WHITE;
        if (pgn_set_up_game(tags, &side)) replay_game(t.p, side, 0, nullptr, true);
        engine_game g;
        if (begins_with_orvik(values[0]))
            g.colour = WHITE;
        else if (begins_with_orvik(values[1]))
            g.colour = BLACK;
        else
            continue;
        if (tags.result == PGN_UNKNOWN) continue;
        g.code = values[3].empty() ? eco_code : values[3];
        if (!eco_code_valid(g.code)) continue;
        if (minimum_tc > 0) {
            const int tc = time_control_value(values[2]);
            if (tc > 0 && tc < minimum_tc) continue;
        }
        if (tags.result == PGN_DRAW)
            g.outcome = 0;
        else
            g.outcome = (tags.result == PGN_WHITE_WON) == (g.colour == WHITE) ? 1 : -1;
        use(g);
    }
}

struct score_line {
    int won = 0, drawn = 0, lost = 0;
    int games() const { return won + drawn + lost; }
    void add(int outcome) { (outcome > 0 ? won : outcome < 0 ? lost : drawn)++; }
    void add(const score_line& o) {
        won += o.won;
        drawn += o.drawn;
        lost += o.lost;
    }
};

void write_score_line(tool_run& t, const std::string& label, const score_line& s) {
    if (s.games() == 0) return;
    const double percent = (s.won + s.drawn * 0.5) * 100.0 / s.games();
    t.write(text_printf("%s +%-5d =%-5d -%-5d (%6.2f%% in %6d games)\n", label.c_str(), s.won, s.drawn, s.lost, percent,
                        s.games()));
}

void opening_performance(tool_run& t, int minimum_tc) {
    static score_line by_code[2][5][100];
    for (auto& c : by_code)
        for (auto& l : c)
            for (auto& s : l) s = score_line{};
    engine_games(t, minimum_tc, [&](const engine_game& g) {
        by_code[g.colour][g.code[0] - 'A'][(g.code[1] - '0') * 10 + (g.code[2] - '0')].add(g.outcome);
    });
    for (int colour = WHITE; colour <= BLACK; ++colour) {
        const char* name = colour == WHITE ? "White" : "Black";
        t.write(text_printf("Opening performance of Orvik as %s\n\n", name));
        score_line all;
        for (int letter = 0; letter < 5; ++letter) {
            score_line in_letter;
            for (int tens = 0; tens < 10; ++tens) {
                score_line in_tens;
                for (int unit = 0; unit < 10; ++unit) {
                    const score_line& s = by_code[colour][letter][tens * 10 + unit];
                    write_score_line(t, text_printf("   %c%02d:", 'A' + letter, tens * 10 + unit), s);
                    in_tens.add(s);
                }
                write_score_line(t, text_printf("  %c%dX: ", 'A' + letter, tens), in_tens);
                in_letter.add(in_tens);
            }
            write_score_line(t, text_printf(" %cXX:  ", 'A' + letter), in_letter);
            all.add(in_letter);
        }
        write_score_line(t, text_printf("%s:", name), all);
        t.write("\n");
    }
}

void opening_statistics(tool_run& t, int minimum_tc) {
    long count = 0;
    double points_for = 0.0, points_against = 0.0;
    int counters[2][3] = {};  // per colour: won, drawn, lost
    engine_games(t, minimum_tc, [&](const engine_game& g) {
        ++count;
        const double points = g.outcome > 0 ? 1.0 : g.outcome == 0 ? 0.5 : 0.0;
        points_for += points;
        points_against += 1.0 - points;
        ++counters[g.colour][g.outcome > 0 ? 0 : g.outcome == 0 ? 1 : 2];
        t.write(text_printf("%4s %4ld %c%c %5.1f - %5.1f (%6.2f%%) %4d %4d %4d %4d %4d %4d\n", g.code.c_str(), count,
                            g.colour == WHITE ? 'w' : 'b',
                            g.outcome > 0    ? '+'
                            : g.outcome == 0 ? '='
                                             : '-',
                            points_for, points_against, points_for * 100.0 / static_cast<double>(count), counters[0][0],
                            counters[0][1], counters[0][2], counters[1][0], counters[1][1], counters[1][2]));
    });
}

// "[... Par = n move=n, move=n ...]" in a comment: the values and the moves.
struct par_list {
    long par = 0;
    std::vector<std::pair<std::string, long>> entries;
};
bool read_par_list(const std::string& c, par_list* out) {
    size_t i = c.find('[');
    if (i == std::string::npos) return false;
    ++i;
    auto skip = [&](const char* set) {
        while (i < c.size() && std::strchr(set, c[i])) ++i;
    };
    skip(" \t\r\n;");
    if (c.size() < i + 3 || strncasecmp(c.c_str() + i, "Par", 3) != 0) return false;
    i += 3;
    skip(" \t\r\n");
    if (i >= c.size() || c[i] != '=') return false;
    ++i;
    char* end = nullptr;
    out->par = std::strtol(c.c_str() + i, &end, 10);
    if (end == c.c_str() + i) return false;
    i = static_cast<size_t>(end - c.c_str());
    for (;;) {
        skip(" \t\r\n,");
        if (i >= c.size() || c[i] == ']') return true;
        const size_t eq = c.find('=', i);
        if (eq == std::string::npos || eq - i > 9 || out->entries.size() >= 20) return false;
        const std::string move = c.substr(i, eq - i);
        const long value = std::strtol(c.c_str() + eq + 1, &end, 10);
        if (end == c.c_str() + eq + 1) return false;
        out->entries.emplace_back(move, value);
        i = static_cast<size_t>(end - c.c_str());
    }
}

// EPD lines from the "Par" comments after moves.
void epd_extraction(tool_run& t) {
    const char* const wanted[] = {"White", "Black", nullptr};
    std::string values[2];
    const pgn_tag_options opt = wanted_tags(wanted, values);
    pgn_tags tags;
    t.p.keep_comments = true;
    while (t.p.next_game(&tags, &opt)) {
        int side = WHITE;
        if (!pgn_set_up_game(tags, &side)) continue;
        struct pending_move {
            std::string fen, san;
            int number;
            int side;
        } pending{};
        bool have = false;
        auto finish_move = [&] {
            par_list list;
            if (!have || !read_par_list(t.p.comments, &list)) return;
            std::string line = pending.fen + " bm " + pending.san;
            for (const auto& e : list.entries) line += " " + e.first;
            line += text_printf("; c1 \"%ld", list.par);
            for (const auto& e : list.entries) line += text_printf(" %ld", e.second);
            line += text_printf("\"; id \"%d%s %s-%s\";\n", pending.number, pending.side == WHITE ? "w" : "b",
                                values[0].c_str(), values[1].c_str());
            t.write(line);
        };
        std::string token;
        while (t.p.next_token(&token)) {
            finish_move();
            have = false;
            if (board.ply >= pgn_record_ply_limit()) continue;
            const uint32_t move = pgn_parse_move(t.p, token, side, nullptr, "book");
            if (!move) break;
            pending.fen = board_to_fen(side, false);
            pending.number = move_number_of_ply(board.ply + 1);
            pending.side = side;
            make_and_record_move(side, move, NO_SCORE, 0);
            pending.san = game_history[board.ply].san;
            have = true;
            side ^= 1;
            side_to_move = side;
        }
        if (!t.p.in_game) finish_move();
    }
    t.p.keep_comments = false;
}

// Every move in SAN with its mark ("!" left out), after the SetUp and FEN tags of a game
// from a set-up position.
void san_copy(tool_run& t) {
    pgn_tags tags;
    while (t.p.next_game(&tags)) {
        int side = WHITE;
        if (pgn_set_up_game(tags, &side)) replay_game(t.p, side, 0, nullptr, false);
        std::string out = "[Site \"\"]\n" + pgn_setup_tags() + "\n";
        for (int ply = 1; ply <= record_length; ++ply) {
            const history_entry& h = game_history[ply];
            const char* mark = ply_mark_text(h.flags);
            out += h.san;
            if (std::strcmp(mark, "!") != 0) out += mark;
            out += " ";
        }
        t.write(out + "\n\n");
    }
}

char mode_letter(const std::string& mode) {
    return mode.empty() ? '\0' : static_cast<char>(std::tolower(static_cast<unsigned char>(mode[0])));
}
bool starts_with_k(const std::string& s) { return !s.empty() && (s[0] == 'k' || s[0] == 'K'); }
}  // namespace

bool eco_code_valid(const std::string& code) {
    return code.size() >= 3 && code[0] >= 'A' && code[0] <= 'E' && std::isdigit(static_cast<unsigned char>(code[1])) &&
           std::isdigit(static_cast<unsigned char>(code[2]));
}

int time_control_value(const std::string& text) {
    int moves = 60, base = 0, increment = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%d %d +%d", &moves, &base, &increment) == 3) {
    } else if (std::sscanf(text.c_str(), "%d/%d", &moves, &base) == 2) {
        increment = 0;
    } else if (std::sscanf(text.c_str(), "%d+%d", &base, &increment) == 2) {
        moves = 60;
    } else if (std::sscanf(text.c_str(), "%d%c", &base, &rest) >= 1) {
        moves = 60;
        increment = 0;
    } else {
        return -1;
    }
    if (moves <= 0) moves = 60;
    const long long value = static_cast<long long>(base) * 60 / moves + static_cast<long long>(increment) * 60;
    return value > 30000 ? 30000 : static_cast<int>(value);
}

bool pelvat_pgn(const std::string& in, const std::string& out, const std::string& mode, const std::string& option1,
                const std::string& option2, int blank_lines, int move_limit) {
    tool_run t;
    if (!t.open(in, out)) return false;
    switch (const char m = mode_letter(mode)) {
        case 'p': normalise(t, starts_with_k(option1), false); break;
        case 'x': normalise(t, false, true); break;
        case 'j': eco_tagging(t, starts_with_k(option1), 0); break;
        case 'e': opening_table(t); break;
        case 'w': set_marks(t, 3, 0); break;
        case 'b': set_marks(t, 0, 3); break;
        case 'n': set_marks(t, std::atoi(option1.c_str()), std::atoi(option2.c_str())); break;
        default: move_list(t, m, option1, option2, blank_lines, move_limit); break;
    }
    t.finish();
    return true;
}

bool ferrun_pgn(const std::string& in, const std::string& out) {
    tool_run t;
    if (!t.open(in, out)) return false;
    set_marks(t, 10, -10);
    t.finish();
    return true;
}

bool vadro_pgn(const std::string& in, const std::string& out, const std::string& mode, int number) {
    tool_run t;
    if (!t.open(in, out)) return false;
    switch (mode_letter(mode)) {
        case 'n': eco_tagging(t, true, number); break;
        case 'f': filter_games(t); break;
        case 's': opening_performance(t, number); break;
        case 'm': opening_statistics(t, number); break;
        case 'j': epd_extraction(t); break;
        default: eco_tagging(t, false, number); break;
    }
    t.finish();
    return true;
}

bool mq_pgn(const std::string& in, const std::string& out) {
    tool_run t;
    if (!t.open(in, out)) return false;
    san_copy(t);
    t.finish();
    return true;
}
