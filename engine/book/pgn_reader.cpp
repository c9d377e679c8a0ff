#include "book/pgn_reader.h"

#include <cctype>
#include <cstring>
#include <strings.h>

#include "book/eco.h"
#include "core/board.h"
#include "core/board_display.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/recorded_game.h"
#include "core/state.h"

long pgn_line = 0;
pgn_echo pgn_echo_buffer;

namespace {
bool blank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The tag's first word, after leading blanks.
std::string first_word(const std::string& tag, size_t* end) {
    size_t i = 0;
    while (i < tag.size() && blank(static_cast<unsigned char>(tag[i]))) ++i;
    size_t j = i;
    while (j < tag.size() && !blank(static_cast<unsigned char>(tag[j])) && tag[j] != '"') ++j;
    if (end) *end = j;
    return tag.substr(i, j - i);
}

bool named(const std::string& word, const char* name) { return strcasecmp(word.c_str(), name) == 0; }

bool in_list(const std::string& word, const char* const* names) {
    if (names)
        for (; *names; ++names)
            if (named(word, *names)) return true;
    return false;
}
}  // namespace

namespace {
// The open file's name, and whether a NUL byte ended its text (every later read is EOF).
std::string pgn_file_name;
bool pgn_nul_seen = false;
}  // namespace

int pgn_getc(FILE* f) {
    if (pgn_nul_seen) return EOF;
    const int c = std::getc(f);
    if (c == EOF) return c;
    if (c == '\0') {
        pgn_nul_seen = true;
        report_nul_byte("\"" + pgn_file_name + "\"", "games");
        return EOF;
    }
    if (c == '\n') ++pgn_line;
    pgn_echo& e = pgn_echo_buffer;
    if (e.capacity) {
        if (e.length + 1 < e.capacity) e.text += static_cast<char>(c);
        ++e.length;
    }
    return c;
}

const char* pgn_result_text(int result) {
    switch (result) {
        case PGN_WHITE_WON: return "1-0";
        case PGN_BLACK_WON: return "0-1";
        case PGN_DRAW: return "1/2-1/2";
        default: return "*";
    }
}

int pgn_read_balanced(FILE* f, int open, int close, std::string* out, size_t size) {
    const long start_line = pgn_line + 1;
    std::string text;
    long count = 0;
    int depth = 1;
    bool in_comment = false, in_string = false;
    int previous = 0;
    for (;;) {
        const int c = pgn_getc(f);
        if (c == EOF) {
            level_printf(LVL_BOOK, "EOF at line %ld in book comment started at %ld\n", pgn_line, start_line);
            if (out) *out = text;
            return EOF;
        }
        ++count;
        if (text.size() + 1 < size) text += static_cast<char>(c);
        const bool line_end = c == '\r' || c == '\n';
        if (open == '[' && in_string) {
            if (line_end) {
                level_printf(LVL_BOOK, "cr in string line %ld\n", c == '\n' ? pgn_line : pgn_line + 1);
                if (out) *out = text;
                return pgn_getc(f);
            }
            if (c == '"' && previous != '\\') in_string = false;
        } else if (line_end && count > 10000) {
            level_printf(LVL_BOOK, "cr in book comment line %ld started at %ld\n", c == '\n' ? pgn_line : pgn_line + 1,
                         start_line);
            if (out) *out = text;
            return c;
        } else if (open == '[' && c == '"' && previous != '\\') {
            in_string = true;
        } else if (open == '(' && in_comment) {
            if (c == '}') in_comment = false;
        } else if (open == '(' && c == '{') {
            in_comment = true;
        } else if (open == '(' && c == '(') {
            ++depth;
        } else if (c == close && --depth == 0) {
            if (text.size() == static_cast<size_t>(count)) text.pop_back();
            if (out) *out = text;
            return pgn_getc(f);
        }
        previous = c;
    }
}

int pgn_skip_to_token(FILE* f, int c, std::string* comments) {
    for (;;) {
        while (c != EOF && blank(c)) c = pgn_getc(f);
        if (c == '{' && comments) {
            std::string text;
            c = pgn_read_balanced(f, '{', '}', &text, 4096);
            *comments += text;
        } else if (c == '{')
            c = pgn_read_balanced(f, '{', '}', nullptr, 0);
        else if (c == '(')
            c = pgn_read_balanced(f, '(', ')', nullptr, 0);
        else
            return c;
    }
}

bool is_result_token(const std::string& t) {
    if (strcasecmp(t.c_str(), "draw") == 0) return true;
    const size_t dash = t.find('-');
    const std::string a = t.substr(0, dash);
    const bool a_ok = a == "0" || a == "1" || a == "0/2" || a == "1/2";
    if (!a_ok) return false;
    if (dash == std::string::npos) return true;
    const std::string b = t.substr(dash + 1);
    return b == "1" || b == "1/2" || (a[0] == '1' && (b == "0" || b == "0/2"));
}

bool pgn_tag_value(const std::string& tag, const char* name, std::string* value) {
    size_t i = 0;
    if (!named(first_word(tag, &i), name)) return false;
    while (i < tag.size() && blank(static_cast<unsigned char>(tag[i]))) ++i;
    if (i < tag.size() && tag[i] == '"') ++i;
    size_t j = i;
    while (j < tag.size() && !(tag[j] == '"' && (j == i || tag[j - 1] != '\\'))) ++j;
    if (value) *value = tag.substr(i, j - i);
    return true;
}

int pgn_read_tags(FILE* f, int c, pgn_tags* tags, const pgn_tag_options* opt) {
    pgn_tags local;
    pgn_tags& t = tags ? *tags : local;
    t = pgn_tags{};
    if (opt && opt->wanted)
        for (int k = 0; opt->wanted[k]; ++k) opt->values[k].clear();
    for (;;) {
        while (c != EOF && blank(c)) c = pgn_getc(f);
        if (c == '[') {
            std::string tag;
            c = pgn_read_balanced(f, '[', ']', &tag, 256);
            size_t end = 0;
            const std::string word = first_word(tag, &end);
            if (opt && opt->echo_level > 0) level_printf(LVL_NORMAL, "[%s]\n", tag.c_str());
            if (opt && opt->copy && opt->echo_level >= 0 && !in_list(word, opt->skip))
                std::fprintf(opt->copy, "[%s]\n", tag.c_str());
            t.last = tag;
            if (named(word, "FEN")) {
                size_t i = end;
                while (i < tag.size() && (blank(static_cast<unsigned char>(tag[i])) || tag[i] == '"')) ++i;
                t.fen = tag.substr(i);
                while (!t.fen.empty() && (t.fen.back() == '"' || blank(static_cast<unsigned char>(t.fen.back()))))
                    t.fen.pop_back();
            } else if (named(word, "Result")) {
                size_t i = end;
                while (i < tag.size() && (blank(static_cast<unsigned char>(tag[i])) || tag[i] == '"')) ++i;
                t.result = PGN_UNKNOWN;
                if (i < tag.size() && tag[i] == '0') t.result = PGN_BLACK_WON;
                if (i < tag.size() && tag[i] == '1')
                    t.result = i + 1 < tag.size() && tag[i + 1] == '/' ? PGN_DRAW : PGN_WHITE_WON;
            }
            if (opt && opt->wanted)
                for (int k = 0; opt->wanted[k]; ++k)
                    if (named(word, opt->wanted[k])) pgn_tag_value(tag, opt->wanted[k], &opt->values[k]);
            continue;
        }
        if (c == '#') {
            while (c != EOF && c != '\n') c = pgn_getc(f);
            if (c != EOF) c = pgn_getc(f);
            continue;
        }
        return c;
    }
}

bool pgn_pass::open(const std::string& name, const char* mode) {
    f = open_for_reading(name, mode);
    ngames = nmoves = 0;
    pgn_line = 0;
    pgn_file_name = name;
    pgn_nul_seen = false;
    c = f ? pgn_getc(f) : EOF;
    return f != nullptr;
}

void pgn_pass::close() {
    if (f) std::fclose(f);
    f = nullptr;
}

bool pgn_pass::next_game(pgn_tags* tags, const pgn_tag_options* options) {
    // Move text the caller left unread (a game cut short) is passed over first.
    std::string rest;
    while (in_game && next_token(&rest)) {
    }
    c = pgn_read_tags(f, c, tags, options);
    if (c == EOF) return false;
    ++ngames;
    in_game = true;
    return true;
}

bool pgn_pass::next_token(std::string* token) {
    comments.clear();
    for (;;) {
        c = pgn_skip_to_token(f, c, keep_comments ? &comments : nullptr);
        if (c == EOF || c == '[' || c == '#') {
            in_game = false;
            return false;
        }
        std::string t;
        while (c != EOF && !blank(c) && c != '[') {
            if (t.size() < 19) t += static_cast<char>(c);
            c = pgn_getc(f);
        }
        token_at_line_end = c == '\n';
        if (c == '[') level_printf(LVL_BOOK, "[ at end of book move at line %ld\n", pgn_line + 1);
        if (t[0] == '*' || t[0] == '$' || is_result_token(t) || t.find_first_not_of('.') == std::string::npos) continue;
        size_t i = 0;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
        if (i > 0 && i < t.size() && t[i] == '.') {
            while (i < t.size() && t[i] == '.') ++i;
            t.erase(0, i);
        }
        if (t.empty() || blank(static_cast<unsigned char>(t[0]))) continue;
        ++nmoves;
        if (nmoves % 10000 == 0) level_printf(LVL_NORMAL, ".");
        *token = t;
        return true;
    }
}

void pgn_pass::print_counts() const {
    level_printf(LVL_NORMAL, "\n%ld lines: ngames = %ld nmoves = %ld\n", pgn_line, ngames, nmoves);
}

bool pgn_set_up_board(const pgn_tags& tags, int* side) {
    *side = WHITE;
    if (!tags.fen.empty()) return parse_fen(tags.fen, side, false) == 0;
    set_start_position();
    start_history(WHITE);
    return true;
}

bool pgn_set_up_game(const pgn_tags& tags, int* side, int full) {
    start_new_game(full);
    eco_clear_game();
    *side = WHITE;
    if (!tags.fen.empty() && parse_fen(tags.fen, side, false) != 0) return false;
    side_to_move = *side;
    return true;
}

uint32_t pgn_parse_move(const pgn_pass& p, const std::string& token, int side, int* annotation, const char* what) {
    // The parser gives no reason when the token ends in no square ("Zx9").
    std::string reason = "no destination square";
    if (annotation) *annotation = 0;
    const uint32_t move = parse_move(token, side, &reason, annotation);
    if (move) return move;
    level_printf(LVL_BOOK, "bad move in %s for side %d \"%s\": %s nmoves %ld line %ld\n", what, side, token.c_str(),
                 reason.c_str(), p.nmoves, pgn_line + (p.token_at_line_end ? 0 : 1));
    print_board_diagram(board.piece, board.color);
    return 0;
}

int pgn_record_ply_limit() { return MAX_GAME_PLY - 1; }

pgn_step pgn_next_move(pgn_pass& p, int side, int ply_limit, const char* what, uint32_t* move, int* annotation) {
    std::string token;
    if (!p.next_token(&token)) return pgn_step::end;
    if (board.ply >= ply_limit) {
        pgn_report_cut(p.ngames, board.ply);
        return pgn_step::cut;
    }
    *move = pgn_parse_move(p, token, side, annotation, what);
    return *move ? pgn_step::move : pgn_step::bad;
}

void pgn_report_cut(long game, int plies) { level_printf(LVL_BOOK, "game %ld is cut after %d plies\n", game, plies); }

namespace {
// Reads games up to `number` and loads that one into the game record. 1 when it was
// found and loaded without a bad move.
int load_game(const std::string& file, int number, const pgn_tag_options* options) {
    pgn_pass p;
    if (!p.open(file, "rb")) return 0;
    int loaded = 0;
    for (int n = 1; n <= number; ++n) {
        pgn_tags tags;
        pgn_tag_options opt = options ? *options : pgn_tag_options{};
        opt.echo_level = n == number ? 1 : -1;
        if (!p.next_game(&tags, n == number ? &opt : nullptr)) {
            level_printf(LVL_ERROR, "Game %d not found: \"%s\" holds %ld game%s\n", number, file.c_str(), p.ngames,
                         p.ngames == 1 ? "" : "s");
            break;
        }
        if (n < number) continue;
        int side = WHITE;
        if (!pgn_set_up_game(tags, &side, NEW_GAME_FULL)) break;
        loaded = 1;
        uint32_t move = 0;
        int mark = 0;
        for (;;) {
            const pgn_step step = pgn_next_move(p, side, pgn_record_ply_limit(), "PGN", &move, &mark);
            if (step == pgn_step::bad) loaded = 0;
            if (step != pgn_step::move) break;
            make_and_record_move(side, move, NO_SCORE, ply_mark_flags(mark));
            side ^= 1;
            side_to_move = side;
            eco_update_game(side);
        }
    }
    level_printf(LVL_NORMAL, "\n");
    p.close();
    return loaded;
}
}  // namespace

int pgn_load_game(const std::string& file, int number) { return load_game(file, number, nullptr); }

int pgn_load_game_tags(const std::string& file, int number, const char* const* wanted, std::string* values) {
    pgn_tag_options opt;
    opt.wanted = wanted;
    opt.values = values;
    return load_game(file, number, &opt);
}

bool book_parse(const std::string& file) {
    pgn_pass p;
    if (!p.open(file, "rb")) return false;
    pgn_tags tags;
    while (p.next_game(&tags)) {
        int side = WHITE;
        if (!pgn_set_up_board(tags, &side)) continue;
        uint32_t move = 0;
        while (pgn_next_move(p, side, PGN_BOARD_PLY_LIMIT, "book", &move, nullptr) == pgn_step::move) {
            make_move(side, move);
            side ^= 1;
        }
    }
    p.close();
    p.print_counts();
    return true;
}
