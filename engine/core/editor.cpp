#include "core/editor.h"

#include <cctype>
#include <string>

#include "core/board.h"
#include "core/fen.h"
#include "core/hash.h"
#include "core/hooks.h"
#include "core/input.h"
#include "core/output.h"
#include "core/state.h"

namespace {
// The man a letter names; X empties the square.
int edit_code(char c) { return (c | 0x20) == 'x' ? 7 : piece_from_letter(c); }

// Square from a file letter and a rank digit at text[i], or -1.
int read_square(const std::string& t, size_t i) {
    if (i + 1 >= t.size()) return -1;
    char f = static_cast<char>(std::tolower(static_cast<unsigned char>(t[i])));
    char r = t[i + 1];
    if (f < 'a' || f > 'h' || r < '1' || r > '8') return -1;
    return (r - '1') * 8 + (f - 'a');
}

bool starts_word(const std::string& t, size_t i, const char* word) {
    for (size_t k = 0; word[k]; ++k)
        if (i + k >= t.size() || std::tolower(static_cast<unsigned char>(t[i + k])) != word[k]) return false;
    return true;
}
}  // namespace

int edit_mode(bool (*read_line)(std::string& line)) {
    uint32_t piece[64], color[64];
    for (int sq = 0; sq < 64; ++sq) {
        piece[sq] = board.piece[sq];
        color[sq] = board.color[sq];
    }
    int ep = -1;
    int place_color = WHITE;
    bool allow[4] = {true, true, true, true};  // white short, white long, black short, black long

    for (;;) {
        level_printf(LVL_PROMPT, "%s", "");
        std::string line;
        if (read_line ? !read_line(line) : !stdin_read_line(line, 100)) {
            level_printf(LVL_ERROR, "End of file while attemting to read input: %s\n", stdin_error_text());
            break;
        }
        if (line.size() > 100) line.resize(100);
        if (!line.empty() && line[0] == '.') break;
        size_t i = 0;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (starts_word(line, i, "castle")) {
            size_t k = i + 6;
            while (k < line.size() && line[k] == ' ') ++k;
            if (k + 1 < line.size() && line[k] == '-' && (line[k + 1] == 'w' || line[k + 1] == 'b')) {
                int side = line[k + 1] == 'w' ? WHITE : BLACK;
                int os = 0;
                for (size_t j = k + 2; j < line.size(); ++j)
                    if (line[j] == 'O' || line[j] == 'o' || line[j] == '0') ++os;
                if (os == 2) allow[side * 2] = false;
                if (os == 3) allow[side * 2 + 1] = false;
            }
            continue;
        }
        if (starts_word(line, i, "ep")) {
            size_t k = i + 2;
            while (k < line.size() && line[k] == ' ') ++k;
            int sq = read_square(line, k);
            if (sq >= 0) ep = sq;
            continue;
        }
        if (line.empty()) continue;
        char c = line[0];
        if (c == '#') {
            for (int sq = 0; sq < 64; ++sq) {
                piece[sq] = EMPTY;
                color[sq] = NO_COLOR;
            }
        } else if (c == 'c' || c == 'C') {
            place_color ^= 1;
        } else if (int code = edit_code(c)) {
            int sq = read_square(line, 1);
            if (sq < 0) continue;
            if (code == 7) {
                piece[sq] = EMPTY;
                color[sq] = NO_COLOR;
            } else {
                piece[sq] = static_cast<uint32_t>(code);
                color[sq] = static_cast<uint32_t>(place_color);
            }
        }
    }

    // Leaving the editor: the edited position replaces the board only when it is possible.
    int kings[2] = {0, 0};
    for (int sq = 0; sq < 64; ++sq)
        if (piece[sq] == KING) kings[color[sq]]++;
    if (kings[WHITE] != 1 || kings[BLACK] != 1) {
        level_printf(LVL_NORMAL, "edit error while verify: %s\n", "kings are not correct");
        return 0;
    }
    const board_state saved = board;
    static const uint32_t back[8] = {ROOK, KNIGHT, BISHOP, QUEEN, KING, BISHOP, KNIGHT, ROOK};
    for (int sq = 0; sq < 64; ++sq) {
        board.piece[sq] = piece[sq];
        board.color[sq] = color[sq];
        int r = rank_index(sq);
        uint32_t sp = r == 0 || r == 7 ? back[file_of(sq)] : static_cast<uint32_t>((r == 1 || r == 6) ? PAWN : EMPTY);
        uint32_t sc = static_cast<uint32_t>(r <= 1 ? WHITE : r >= 6 ? BLACK : NO_COLOR);
        board.moved[sq] = (piece[sq] == sp && color[sq] == sc) ? 0 : 10;
    }
    if (!allow[0]) board.moved[H1] = 10;
    if (!allow[1]) board.moved[A1] = 10;
    if (!allow[2]) board.moved[H8] = 10;
    if (!allow[3]) board.moved[A8] = 10;
    if (!allow[0] && !allow[1]) board.moved[E1] = 10;
    if (!allow[2] && !allow[3]) board.moved[E8] = 10;
    board.castled[0] = board.castled[1] = 0;
    // An en-passant square counts only where a pawn of the side to move can take.
    if (ep >= 0) {
        const int side = side_to_move;
        const int pawn_sq = side == WHITE ? ep - 8 : ep + 8;
        bool ok = rank_index(ep) == (side == WHITE ? 5 : 2) && board.color[ep] == NO_COLOR &&
                  board.piece[pawn_sq] == PAWN && board.color[pawn_sq] == static_cast<uint32_t>(side ^ 1);
        if (!ok || !pawn_beside(pawn_sq, side)) ep = -1;
    }
    board.ep_square = ep;
    recompute_board();
    std::string message;
    if (!check_position(side_to_move, &message)) {
        board = saved;
        level_printf(LVL_NORMAL, "edit error while verify: %s\n", message.c_str());
        return 0;
    }
    if (!fritz_mode) hash_clear();
    start_new_position(side_to_move);
    start_move_number = 0;
    start_fen = board_to_fen(side_to_move, false);
    if (hooks.position_set_up) hooks.position_set_up();
    return 1;
}
