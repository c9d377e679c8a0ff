// PGN game records.
#include "front/pgn_record.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>

#include "core/clock.h"
#include "core/fen.h"
#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/commands.h"
#include "front/engine_main.h"
#include "front/game_record.h"
#include "front/handlers.h"
#include "front/logs.h"
#include "front/xboard.h"

FILE* bklearn_file = nullptr;
std::string site_text = "?";
std::string round_text = "?";
int round_number = 1;

namespace {
std::string time_control_text() {
    const clock_record& c = clocks[engine_last_side == BLACK ? BLACK : WHITE];
    return text_printf("%d %.0f +%.0f %d %.0f", c.pm, c.pt, c.inc, c.sm, c.st);
}

std::string result_tag(const std::string& r) {
    if (r.compare(0, 1, "0") == 0) return "0-1";
    if (r.compare(0, 2, "1/") == 0) return "1/2-1/2";
    if (r.compare(0, 1, "1") == 0) return "1-0";
    return "*";
}

std::string learn_score_text(int s) {
    if (s > 29200) return text_printf("Mat%02d", (30001 - s) / 2);
    if (s < -29200) return text_printf("-Mat%02d", (s + 30000) / 2);
    return text_printf("%.2f", s / 100.0);
}

void write_text(FILE* f, const std::string& s) {
    if (f) std::fwrite(s.data(), 1, s.size(), f);
}
}  // namespace

std::string opponent_file_name(const std::string& name, const std::string& suffix) {
    std::string base;
    for (char c : name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_') || base.size() >= 200) break;
        base += c;
    }
    if (base.empty()) base = "unknown";
    return base + suffix;
}

std::string pgn_header_text(const std::string& result) {
    const std::string tc = time_control_text();
    const bool engine_white = engine_last_side == WHITE;
    std::string h;
    h +=
        text_printf("[Event \"%s %s\"]\n", event_text.empty() ? "Computer chess game" : event_text.c_str(), tc.c_str());
    h += text_printf("[Site \"%s\"]\n", site_text.c_str());
    h += text_printf("[Date \"%s\"]\n", date_text.c_str());
    if (round_text.empty() || round_text == "?")
        h += text_printf("[Round \"%d\"]\n", round_number);
    else
        h += text_printf("[Round \"%s\"]\n", round_text.c_str());
    if (engine_white)
        h += text_printf("[White \"Orvik %s\"]\n[Black \"%s\"]\n", release_label, opponent_name.c_str());
    else
        h += text_printf("[White \"%s\"]\n[Black \"Orvik %s\"]\n", opponent_name.c_str(), release_label);
    h += text_printf("[Result \"%s\"]\n", result_tag(result).c_str());
    h += pgn_setup_tags();
    int own = 0, other = 0;
    std::sscanf(rating_text.c_str(), "%d %d", &own, &other);
    h += text_printf("[WhiteElo \"%d\"]\n[BlackElo \"%d\"]\n", engine_white ? own : other, engine_white ? other : own);
    h += eco_tag_lines(eco_code, opening_name, variation_name);
    if (!comment_text.empty()) h += text_printf("[Comment \"%s\"]\n", comment_text.c_str());
    h += text_printf("[Timecontrol \"%s\"]\n", tc.c_str());
    char when[64];
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::strftime(when, sizeof when, "%a %b %e %H:%M:%S %Y", &tm);
    h += text_printf("[Time \"%s\"]\n", when);
    if (last_book_move_ply >= 1)
        h += text_printf("[last_book_move \"%d%s%s\"]\n", (last_book_move_ply + 1) / 2,
                         side_of_ply(last_book_move_ply) == WHITE ? ". " : "...", last_book_move.c_str());
    if (auto_log) h += text_printf("[LogFile \"%s\"]\n", numbered_log_name(log_number).c_str());
    return h;
}

void pgn_write_header(FILE* f, const std::string& result) { write_text(f, pgn_header_text(result)); }

int pgn_write_moves(FILE* f, const std::string& result, int first, int last, unsigned options) {
    int line = 0;
    write_text(f, pgn_movetext(result, first, last, options, &line));
    return line;
}

void pgn_write_game(FILE* f) {
    if (!f) return;
    pgn_write_header(f, result_text);
    write_text(f, "\n");
    pgn_write_moves(f, result_text, 1, record_length, PGN_DEFAULT_OPTIONS);
    write_text(f, "\n\n");
    std::fflush(f);
}

void pgn_write_opponent_game() {
    const std::string name = opponent_file_name(opponent_name, games_suffix);
    FILE* f = open_file(name.c_str(), "a");
    if (!f) return;
    pgn_write_game(f);
    std::fclose(f);
}

void write_game_records() {
    if (log_file) pgn_write_game(log_file);
    if (game_record_flag) {
        if (games_file) pgn_write_game(games_file);
        if (!games_suffix.empty()) pgn_write_opponent_game();
    }
    ++round_number;
}

int cmd_ml(const std::string&) {
    std::string text = pgn_header_text("*");
    text += pgn_movetext("*", 1, record_length, PGN_DEFAULT_OPTIONS);
    text += "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return CMD_READ_ON;
}

void pgn_write_trailer() {
    const int plies = record_length;
    if (search_state == SEARCH_ANALYSE || !game_from_standard_position() || !(book_learn & BOOK_LEARN_GAMES) ||
        !bklearn_file || !use_book || plies < 2)
        return;
    const int engine = engine_last_side == BLACK ? BLACK : WHITE;
    const int book_ply = last_book_move_ply;
    int smallest = 1000;
    const int stop = book_ply + 20 < plies ? book_ply + 20 : plies;
    for (int p = book_ply + 2; p <= stop; p += 2) {
        const int s = game_history[p].score;
        if (s == NO_SCORE || s >= 1000) continue;
        if (s < smallest) smallest = s;
    }
    const int margin = engine == WHITE ? margin_book_learn_white : margin_book_learn_black;
    if (smallest > margin) return;

    std::string out = pgn_header_text("*");
    out += text_printf("[smallest_score_within_10_moves_out_of_book \"%.2f\"]\n\n", smallest / 100.0);
    for (int p = 1; p <= plies; ++p) {
        if (side_of_ply(p) == WHITE) out += text_printf("%d. ", move_number_of_ply(p));
        out += text_printf("%s%s ", game_history[p].san, p == book_ply ? "??" : "");
        if (game_history[p].score != NO_SCORE)
            out += text_printf("{%s} ", learn_score_text(game_history[p].score).c_str());
        if (p % 6 == 0) out += "\n";
        if (p == book_ply)
            out += text_printf(side_of_ply(p) == WHITE ? "(%d. %s " : "(%d...%s ", move_number_of_ply(p),
                               game_history[p].san);
    }
    out += result_text;
    out += book_ply >= 1 ? ")\n\n" : "\n\n";
    write_text(bklearn_file, out);
    std::fflush(bklearn_file);
}

int append_book_learn_pgn(const char* name, const char* mode, int plies) {
    FILE* f = open_file(name, mode);
    if (!f) return 0;
    std::string out = pgn_header_text("*");
    out += "\n";
    if (plies > record_length) plies = record_length;
    for (int p = 1; p <= plies; ++p) {
        if (side_of_ply(p) == WHITE) out += text_printf("%d. ", move_number_of_ply(p));
        out += text_printf("%s%s ", game_history[p].san, p == plies ? "??" : "");
        if (game_history[p].score != NO_SCORE)
            out += text_printf("{%s} ", learn_score_text(game_history[p].score).c_str());
        if (p % 6 == 0) out += "\n";
    }
    out += result_text;
    out += "\n\n";
    write_text(f, out);
    std::fclose(f);
    return 1;
}

void append_book_learn_pgn(int plies) { append_book_learn_pgn("bklearn2.pgn", "a", plies); }
