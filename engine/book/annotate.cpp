#include "book/annotate.h"

#include <cstdio>
#include <sys/stat.h>
#include <vector>

#include "book/eco.h"
#include "book/pgn_reader.h"
#include "book/pgn_writer.h"
#include "core/board.h"
#include "core/clock.h"
#include "core/fen.h"
#include "core/hash.h"
#include "core/input.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/recorded_game.h"
#include "core/root_moves.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"

namespace {
enum : int { SUGGESTED = 1, EVALUATED = 2 };

struct ply_note {
    int game_score = 0, game_depth = 0;
    int suggestion_score = 0, suggestion_depth = 0;
    int flags = 0;
    std::string suggestion;  // SAN of the suggested move
    std::string line;        // the suggested line
};

// The suggested line as move text: moves and move numbers only.
std::string line_text(const uint16_t* pv, int side) {
    const int saved_marks = pv_marks;
    pv_marks = 0;
    std::string text = pv_from_hash(pv, side, false);
    pv_marks = saved_marks;
    // A null move ends what a PGN reader can take.
    const size_t null_at = text.find("null");
    if (null_at != std::string::npos) text.erase(null_at);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

struct search_result {
    uint32_t move = 0;
    int score = 0, depth = 0;
    bool usable = false;
    uint16_t pv[PV_WORDS];
};

search_result search_position(int side, double seconds) {
    set_fixed_time_per_move(seconds);
    hash_new_search();
    search_result r;
    int code = 0;
    thinking = 1;
    r.move = think(side, &code, &r.score, &r.depth, r.pv);
    thinking = 0;
    r.usable = r.move != 0 && (code & THINK_SEARCHED) != 0;
    return r;
}

// The game's move alone, to `depth` plies at most.
search_result search_game_move(int side, uint32_t move, int depth, double seconds) {
    const int saved_count = searchmoves_count, saved_depth = max_depth;
    searchmoves_list[0] = move;
    searchmoves_count = 1;
    max_depth = depth;
    search_result r = search_position(side, seconds);
    searchmoves_count = saved_count;
    max_depth = saved_depth;
    return r;
}

// The note of one ply: the search's score of the game move when the search chose it,
// else the search's move and line, and the game move searched alone to the same depth.
void annotate_ply(int side, uint32_t game_move, ply_note& note, double seconds) {
    const search_result best = search_position(side, seconds);
    if (best.usable && (best.move & MOVE_STORED) == (game_move & MOVE_STORED)) {
        note.game_score = best.score;
        note.game_depth = best.depth;
        note.flags |= EVALUATED;
        return;
    }
    level_printf(LVL_NORMAL, "suggesting %s, game move was %s\n", legal_move_text(side, best.move).c_str(),
                 legal_move_text(side, game_move).c_str());
    if (!best.usable) return;
    note.suggestion_score = best.score;
    note.suggestion_depth = best.depth;
    note.suggestion = legal_move_text(side, best.move);
    note.line = line_text(best.pv, side);
    note.flags |= SUGGESTED;
    if (find_and_make_move(side, game_move & MOVE_STORED, nullptr)) {
        const search_result own = search_game_move(side, game_move, best.depth, seconds * 10.0);
        note.game_score = own.score;
        note.game_depth = own.depth;
        note.flags |= EVALUATED;
    }
}

// The movetext of the game with its notes: scores in comments, suggestions as variations.
std::string annotated_movetext(const std::vector<history_entry>& played, const std::vector<ply_note>& notes, int length,
                               int margin) {
    const int flip = side_of_ply(1) == BLACK ? -1 : 1;
    auto score_text = [&](int score, int depth) { return pgn_score_text(score * flip) + "/" + std::to_string(depth); };
    pgn_line_writer w;
    bool renumber = false;
    for (int ply = 1; ply <= length; ++ply) {
        if (ply == 1 || side_of_ply(ply) == WHITE || renumber) w.add(pgn_move_number(ply));
        renumber = false;
        w.add(std::string(played[static_cast<size_t>(ply)].san) + " ");
        const ply_note& note = notes[static_cast<size_t>(ply)];
        if (note.flags & EVALUATED) {
            w.add(text_printf("{%s} ", score_text(note.game_score, note.game_depth).c_str()));
            renumber = true;
        }
        const bool shown =
            suggestion_written((note.flags & EVALUATED) != 0, note.suggestion_score, note.game_score, margin);
        if ((note.flags & SUGGESTED) && shown) {
            if (!note.line.empty()) {
                size_t start = 0;
                bool first = true;
                while (start < note.line.size()) {
                    size_t end = note.line.find(' ', start);
                    if (end == std::string::npos) end = note.line.size();
                    if (end > start) {
                        const std::string word = note.line.substr(start, end - start);
                        if (first)
                            w.add("(" + word);
                        else
                            w.add_word(word);
                        first = false;
                    }
                    start = end + 1;
                }
                w.add(" ");
            } else {
                w.add(text_printf("(%s%s ", pgn_move_number(ply).c_str(), note.suggestion.c_str()));
            }
            w.add(text_printf("{%s}) ", score_text(note.suggestion_score, note.suggestion_depth).c_str()));
            renumber = true;
        }
    }
    return w.text;
}

bool side_selected(char selection, int side) {
    if (selection == 'w' || selection == 'W') return side == WHITE;
    if (selection == 'b' || selection == 'B') return side == BLACK;
    return true;
}
}  // namespace

bool suggestion_written(bool game_move_scored, int suggestion_score, int game_score, int margin) {
    return !game_move_scored || margin < 0 || suggestion_score >= game_score + margin;
}

void annotate_games(const std::string& in, int number, const std::string& out, int first_ply, int last_ply, int margin,
                    char selection, double seconds) {
    // The output is opened first: a path that cannot be written is refused before the
    // analysis, and a file made here stays only when the game is written into it.
    struct stat status;
    const bool existed = ::stat(out.c_str(), &status) == 0;
    FILE* f = open_file(out.c_str(), "a");
    if (!f) return;
    auto give_up = [&] {
        std::fclose(f);
        if (!existed) std::remove(out.c_str());
    };
    static const char* const names[] = {"Event", "Site", "Date", "Round", "White", "Black", "Result", nullptr};
    // Lines that come during the analysis wait for its end; "quit" ends it early.
    const batch_run run;
    std::string tags[7];
    if (!pgn_load_game_tags(in, number, names, tags)) return give_up();
    int length = record_length;
    if (length > ANNOTATE_MAX_PLIES - 1) length = ANNOTATE_MAX_PLIES - 1;
    if (length < 1) return give_up();
    const std::vector<history_entry> played(game_history, game_history + length + 1);
    std::vector<ply_note> notes(static_cast<size_t>(length) + 1);

    const int saved_book = use_book, saved_notation = notation_mode;
    use_book = 0;
    notation_mode = NOTATION_SAN;
    auto take_back = [&] {
        side_to_move ^= 1;
        unmake_move(side_to_move, played[static_cast<size_t>(board.ply)].move);
        record_length = board.ply;
    };
    take_back();
    if (last_ply > 0)
        while (board.ply >= last_ply && board.ply > 0) take_back();

    for (;;) {
        const int ply = board.ply;
        const int side = side_to_move;
        if (ply < first_ply - 1) break;
        if (side_selected(selection, side)) {
            annotate_ply(side, played[static_cast<size_t>(ply) + 1].move, notes[static_cast<size_t>(ply) + 1], seconds);
        }
        if (ply == 0 || batch_run::quitting()) break;
        take_back();
        age_history();
    }
    use_book = saved_book;
    notation_mode = saved_notation;

    std::string head;
    for (int i = 0; i < 7; ++i) head += text_printf("[%s \"%s\"]\n", names[i], tags[i].empty() ? "?" : tags[i].c_str());
    head += pgn_setup_tags();
    head += eco_tag_lines(eco_code, opening_name, variation_name) + "\n";

    const std::string movetext = annotated_movetext(played, notes, length, margin);
    const std::string result = tags[6].empty() ? "*" : tags[6];
    const std::string text = head + movetext + text_printf("%s\n\n", result.c_str());
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}
