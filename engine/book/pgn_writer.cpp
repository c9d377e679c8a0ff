#include "book/pgn_writer.h"

#include <algorithm>

#include "core/fen.h"
#include "core/output.h"
#include "core/recorded_game.h"
#include "core/types.h"

std::string pgn_score_text(int score) {
    if (score > MATE_RANGE || score < -MATE_RANGE) {
        const int distance = score > 0 ? (30001 - score) / 2 : (score + 30000) / 2;
        return text_printf("%cM%02d", score > 0 ? '+' : '-', distance < 0 ? -distance : distance);
    }
    return text_printf("%.2f", score / 100.0);
}

std::string pgn_move_number(int p) {
    return text_printf("%d%s", move_number_of_ply(p), side_of_ply(p) == WHITE ? ". " : "...");
}

std::string pgn_movetext(const std::string& result, int first, int last, unsigned options, int* line_length) {
    if (options == PGN_DEFAULT_OPTIONS) options = PGN_RECORD_OPTIONS;
    if (first < 1) first = 1;
    if (last >= MAX_GAME_PLY) last = MAX_GAME_PLY - 1;
    pgn_line_writer w;
    if (first <= last) {
        bool renumber = false;
        for (int p = first; p <= last; ++p) {
            const history_entry& h = game_history[p];
            const int side = side_of_ply(p);
            if (p == first || side == WHITE || renumber) w.add(pgn_move_number(p));
            renumber = false;
            w.add(text_printf("%s%s ", h.san, (options & PGN_WITHOUT_MARKS) ? "" : ply_mark_text(h.flags)));

            std::string comment;
            if ((options & PGN_SCORES) && h.score != NO_SCORE)
                comment += pgn_score_text((options & PGN_SCORES_FROM_WHITE) && side == BLACK ? -h.score : h.score);
            // The separators stand between parts that are present.
            if ((options & PGN_RECORDED_VALUES) && ply_recorded_value[p] != NO_RECORDED_VALUE)
                comment += text_printf(comment.empty() ? "%d" : "/%d", ply_recorded_value[p]);
            if ((options & PGN_TIMES) && ply_move_times[p] >= 0.0)
                comment += text_printf(comment.empty() ? "%.2fs" : " %.2fs", ply_move_times[p]);
            if (!comment.empty()) w.add("{" + comment + "} ");

            if ((options & PGN_EXPECTED_MOVES) && p >= 2) {
                const uint32_t expected = ply_ponder_moves[p - 1];
                const std::string& text = ply_ponder_texts[p - 1];
                if (expected && !text.empty() && (expected & MOVE_STORED) != (h.move & MOVE_STORED)) {
                    w.add(text_printf("(%s%s) ", pgn_move_number(p).c_str(), text.c_str()));
                    renumber = true;
                }
            }
        }
    }
    if (!result.empty()) w.add(result);
    if (line_length) *line_length = static_cast<int>(w.column);
    return w.text;
}

std::string pgn_setup_tags() {
    if (game_from_standard_position() || start_fen.empty()) return "";
    std::string fen = start_fen;
    if (std::count(fen.begin(), fen.end(), ' ') == 3) fen += text_printf(" 0 %d", start_move_number + 1);
    return text_printf("[SetUp \"1\"]\n[FEN \"%s\"]\n", fen.c_str());
}
