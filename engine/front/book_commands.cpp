// Opening book, opening names and PGN tools: the commands.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <vector>

#include "book/annotate.h"
#include "book/book_build.h"
#include "book/pgn_reader.h"
#include "book/pgn_tools.h"
#include "core/board.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/output.h"
#include "core/state.h"
#include "front/book.h"
#include "front/commands.h"
#include "front/game_record.h"
#include "front/handlers.h"
#include "front/new_game.h"

namespace {
// The words of an argument text.
std::vector<std::string> words(const std::string& arg) {
    std::istringstream in(arg);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// The numbers after the first `skip` words, read leniently (as "%d" does); how many
// were read.
int read_numbers(const std::vector<std::string>& w, size_t skip, long long* out, int max) {
    int n = 0;
    for (size_t i = skip; i < w.size() && n < max; ++i) {
        long long v = 0;
        if (std::sscanf(w[i].c_str(), "%lld", &v) != 1) break;
        out[n++] = v;
    }
    return n;
}

int clamp_int(long long v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v); }

std::string word_or_empty(const std::vector<std::string>& w, size_t i) { return i < w.size() ? w[i] : std::string(); }
}  // namespace

void list_book_moves(int side) {
    move_list_entry* list = move_list_start[0];
    const int n = generate_moves(side, 0, list);
    // With the side to move set by hand the other king may stand in check: its capture
    // is no move (made and taken back, the king would end up last in its list).
    for (int i = 0; i < n; ++i)
        if (board.piece[move_to(list[i].move)] == KING || !try_move(side, list[i].move, nullptr))
            list[i].score = -30000;
    move_list_entry chosen;
    int flagged = 0;
    book_choose_move(side, list, n, &chosen, LVL_NORMAL, 0, &flagged);
    level_printf(LVL_NORMAL, "\n");
}

uint32_t book_move_for_search(int side, const uint32_t* moves, int count, int print_level, int print_mode,
                              int* flagged) {
    move_list_entry list[256];
    if (count > 256) count = 256;
    for (int i = 0; i < count; ++i) list[i] = move_list_entry{moves[i], 0};
    move_list_entry chosen;
    return book_choose_move(side, list, count, &chosen, print_level, print_mode, flagged) ? chosen.move : 0;
}

uint32_t trosk_move_for_search(int side, const uint32_t* moves, int count) {
    move_list_entry list[256];
    if (count > 256) count = 256;
    for (int i = 0; i < count; ++i) list[i] = move_list_entry{moves[i], 0};
    move_list_entry chosen;
    return trosk_first_move(side, list, count, &chosen) ? chosen.move : 0;
}

int cmd_book_parse(const std::string& arg) {
    const auto w = words(arg);
    if (!w.empty() && book_parse(w[0])) new_game(NEW_GAME_FULL);
    return CMD_READ_ON;
}

int cmd_book_create(const std::string& arg) {
    const auto w = words(arg);
    long long v[5] = {0, 0, 0, 0, 0};
    const int n = w.empty() ? 0 : read_numbers(w, 1, v, 5);
    constexpr long long MOST_COUNT = UINT32_MAX;  // slots and the prune threshold are 32-bit counts
    if (n < 2 || v[0] < 1 || v[0] > MOST_COUNT) {
        level_printf(LVL_ERROR,
                     "Usage: book_create <pgn file> <slots, at least 1> <plies> [prune threshold] [selector] "
                     "[annotated only]\n");
        return CMD_READ_ON;
    }
    const uint32_t prune = static_cast<uint32_t>(std::clamp(v[2], 0LL, MOST_COUNT));
    if (build_book(w[0], static_cast<uint32_t>(v[0]), clamp_int(v[1]), prune, clamp_int(v[3]), clamp_int(v[4]),
                   main_book))
        new_game(NEW_GAME_FULL);
    return CMD_READ_ON;
}

int cmd_book_add(const std::string& arg) {
    const auto w = words(arg);
    if (w.empty()) {
        level_printf(LVL_ERROR, "Usage: book_add <pgn file> [plies, below 10 for 100] [selector] [annotated only]\n");
        return CMD_READ_ON;
    }
    long long v[3] = {0, 0, 0};
    read_numbers(w, 1, v, 3);
    if (add_to_book(w[0], clamp_int(v[0]), clamp_int(v[1]), clamp_int(v[2]), main_book)) new_game(NEW_GAME_FULL);
    return CMD_READ_ON;
}

int cmd_book_clean(const std::string&) {
    clean_book(main_book);
    new_game(NEW_GAME_FULL);
    return CMD_READ_ON;
}

int cmd_eco(const std::string&) {
    level_printf(LVL_NORMAL, "%s%s\n", xboard_mode ? "telluser " : "",
                 eco_name.empty() ? "Sorry, don't know the opening" : eco_name.c_str());
    return CMD_READ_ON;
}

int cmd_pelvat_pgn(const std::string& arg) {
    const auto w = words(arg);
    long long v[2] = {0, 0};
    read_numbers(w, 5, v, 2);
    if (pelvat_pgn(word_or_empty(w, 0), word_or_empty(w, 1), word_or_empty(w, 2), word_or_empty(w, 3),
                   word_or_empty(w, 4), clamp_int(v[0]), clamp_int(v[1])))
        new_game(NEW_GAME_FULL);
    return CMD_READ_ON;
}

int cmd_ferrun_pgn(const std::string& arg) {
    const auto w = words(arg);
    if (ferrun_pgn(word_or_empty(w, 0), word_or_empty(w, 1))) new_game(NEW_GAME_FULL);
    return CMD_READ_ON;
}

int cmd_mq_pgn(const std::string& arg) {
    const auto w = words(arg);
    if (mq_pgn(word_or_empty(w, 0), word_or_empty(w, 1))) new_game(NEW_GAME_FULL);
    return CMD_READ_ON;
}

int cmd_vadro_pgn(const std::string& arg) {
    const auto w = words(arg);
    long long v[1] = {0};
    read_numbers(w, 3, v, 1);
    if (vadro_pgn(word_or_empty(w, 0), word_or_empty(w, 1), word_or_empty(w, 2), clamp_int(v[0])))
        new_game(NEW_GAME_FULL);
    return CMD_READ_ON;
}

int cmd_annotate(const std::string& arg) {
    level_printf(LVL_NORMAL, "text=%s\n", arg.c_str());
    const auto w = words(arg);
    int number = 1, first = -1, last = -1, margin = -1;
    double seconds = 0.0;
    char side = 'a';
    const bool timed = w.size() >= 4 && std::sscanf(w[3].c_str(), "%lf", &seconds) == 1 && seconds > 0.0;
    if (w.size() >= 3) std::sscanf(w[2].c_str(), "%d", &number);
    if (w.size() >= 5) side = w[4][0];
    if (w.size() >= 6) std::sscanf(w[5].c_str(), "%d", &first);
    if (w.size() >= 7) std::sscanf(w[6].c_str(), "%d", &last);
    if (w.size() >= 8) std::sscanf(w[7].c_str(), "%d", &margin);
    if (!timed) {
        level_printf(LVL_ERROR,
                     "Usage: annotate <pgn file> <output file> <game> <seconds> [w|b|a] [first ply] [last ply] "
                     "[margin]\n");
        return CMD_READ_ON;
    }
    annotate_games(w[0], number < 1 ? 1 : number, w[1], first, last, margin, side, seconds);
    return CMD_READ_ON;
}
