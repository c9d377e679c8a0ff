#include "core/types.h"
#include "core/fen.h"

#include <cctype>
#include <cstring>

#include "core/board.h"
#include "core/clock.h"
#include "core/hash.h"
#include "core/hooks.h"
#include "core/movegen.h"
#include "core/output.h"
#include "core/state.h"

int start_move_number = 0;
std::string start_fen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
uint32_t depth_table1[64];
uint32_t depth_table2[64];

namespace {
const char white_letters[] = "xPNBRQK";
const char black_letters[] = "Xpnbrqk";


// Piece and colour of the initial position on a square.
uint32_t start_piece(int sq) {
    static const uint32_t back[8] = {ROOK, KNIGHT, BISHOP, QUEEN, KING, BISHOP, KNIGHT, ROOK};
    int r = rank_index(sq);
    if (r == 0 || r == 7) return back[file_of(sq)];
    if (r == 1 || r == 6) return PAWN;
    return EMPTY;
}
uint32_t start_color(int sq) {
    int r = rank_index(sq);
    return r <= 1 ? WHITE : r >= 6 ? BLACK : NO_COLOR;
}
}  // namespace

void fill_depth_tables() {
    for (int i = 0; i < 64; ++i) {
        depth_table1[i] = i < 20 ? (1u << i) : (1u << (i / 2)) + 0x80000u;
        depth_table2[i] = i < 30 ? (1u << (i / 2)) : static_cast<uint32_t>(i * i + 32768);
    }
}

void start_new_position(int side) {
    start_history(side);
    clear_move_ordering();
    record_length = 0;
    reset_clocks();
    fill_depth_tables();
}

int parse_fen(const std::string& text, int* side_out, bool clear_hash, size_t* rest) {
    uint32_t piece[64], color[64];
    for (int i = 0; i < 64; ++i) {
        piece[i] = EMPTY;
        color[i] = NO_COLOR;
    }
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && is_blank(text[i])) ++i;
    if (i >= n) {
        level_printf(LVL_NORMAL, "ERROR setboard kings are not correct\n");
        return 1;
    }
    // Placement from a8.
    int rank = 7, file = 0;
    while (i < n && !is_blank(text[i])) {
        char c = text[i++];
        if (c == '/') {
            if (--rank < 0) break;
            file = 0;
        } else if (c >= '0' && c <= '8') {
            file += c - '0';
        } else if (piece_from_letter(c)) {
            if (file > 7) {
                level_printf(LVL_NORMAL, "ERROR setboard c = %c, column outside of board\n", c);
                return 1;
            }
            piece[rank * 8 + file] = static_cast<uint32_t>(piece_from_letter(c));
            color[rank * 8 + file] = std::isupper(static_cast<unsigned char>(c)) ? WHITE : BLACK;
            ++file;
        } else {
            level_printf(LVL_NORMAL, "ERROR setboard c = %c, unknown piece letter\n", c);
            return 1;
        }
    }
    int kings[2] = {0, 0};
    for (int sq = 0; sq < 64; ++sq)
        if (piece[sq] == KING) kings[color[sq]]++;
    if (kings[WHITE] != 1 || kings[BLACK] != 1) {
        level_printf(LVL_NORMAL, "ERROR setboard kings are not correct\n");
        return 1;
    }
    // Side to move.
    while (i < n && is_blank(text[i])) ++i;
    if (i >= n) return 1;
    int side;
    if (text[i] == 'w' || text[i] == 'W')
        side = WHITE;
    else if (text[i] == 'b' || text[i] == 'B')
        side = BLACK;
    else
        return 1;
    ++i;
    // Castling.
    bool right_K = false, right_Q = false, right_k = false, right_q = false;
    while (i < n && is_blank(text[i])) ++i;
    if (i < n && text[i] == '-') {
        ++i;
    } else {
        for (int count = 0; count < 4 && i < n;) {
            char c = text[i];
            if (is_blank(c)) {
                ++i;
                continue;
            }
            if (c == 'K') right_K = true;
            else if (c == 'Q') right_Q = true;
            else if (c == 'k') right_k = true;
            else if (c == 'q') right_q = true;
            else break;
            ++i;
            ++count;
        }
    }
    // En passant.
    int ep = -1;
    while (i < n && is_blank(text[i])) ++i;
    if (i < n && (text[i] == '-' || text[i] == 'n')) {
        ++i;
    } else if (i + 1 < n && std::tolower(static_cast<unsigned char>(text[i])) >= 'a' &&
               std::tolower(static_cast<unsigned char>(text[i])) <= 'h' && text[i + 1] >= '1' && text[i + 1] <= '8') {
        int f = std::tolower(static_cast<unsigned char>(text[i])) - 'a';
        char r = text[i + 1];
        if ((r == '6' && side == WHITE) || (r == '3' && side == BLACK)) ep = (r - '1') * 8 + f;
        i += 2;
    }
    // Counters: the half-move number is skipped, the full-move number read.
    size_t after_ep = i;
    size_t j = i;
    while (j < n && is_blank(text[j])) ++j;
    int full_move = 0;
    bool have_counters = false;
    if (j < n && std::isdigit(static_cast<unsigned char>(text[j]))) {
        while (j < n && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
        size_t k = j;
        while (k < n && is_blank(text[k])) ++k;
        if (k < n && std::isdigit(static_cast<unsigned char>(text[k]))) {
            long v = 0;
            while (k < n && std::isdigit(static_cast<unsigned char>(text[k]))) {
                if (v < 100000) v = v * 10 + (text[k] - '0');
                ++k;
            }
            full_move = static_cast<int>(v);
            j = k;
        }
        have_counters = true;
    }
    size_t rest_at = have_counters ? j : after_ep;

    // Install the position, keeping the old one for a refusal.
    const board_state saved = board;
    std::memcpy(board.piece, piece, sizeof piece);
    std::memcpy(board.color, color, sizeof color);
    for (int sq = 0; sq < 64; ++sq)
        board.moved[sq] = (piece[sq] != start_piece(sq) || color[sq] != start_color(sq)) ? 1 : 0;
    board.castled[0] = board.castled[1] = 0;
    if (!right_K) board.moved[H1] = 10;
    if (!right_Q) board.moved[A1] = 10;
    if (!right_k) board.moved[H8] = 10;
    if (!right_q) board.moved[A8] = 10;
    if (!right_K && !right_Q) board.moved[E1] = 10;
    if (!right_k && !right_q) board.moved[E8] = 10;
    if (right_K && (board.moved[E1] || board.moved[H1]))
        level_printf(LVL_NORMAL, "Warning, white king side castling is not possible\n");
    if (right_Q && (board.moved[E1] || board.moved[A1]))
        level_printf(LVL_NORMAL, "Warning, white queen side castling is not possible\n");
    if (right_k && (board.moved[E8] || board.moved[H8]))
        level_printf(LVL_NORMAL, "Warning, black king side castling is not possible\n");
    if (right_q && (board.moved[E8] || board.moved[A8]))
        level_printf(LVL_NORMAL, "Warning, black queen side castling is not possible\n");

    // En-passant target: kept only when a pawn of the side to move can take on it.
    if (ep >= 0) {
        const int mover = side ^ 1;
        const int pawn_sq = side == WHITE ? ep - 8 : ep + 8;
        const int origin_sq = side == WHITE ? ep + 8 : ep - 8;
        bool possible = true;
        if (rank_index(ep) != (side == WHITE ? 5 : 2)) {
            level_printf(LVL_NORMAL, "Error, stupid ep target\n");
            possible = false;
        } else if (board.piece[pawn_sq] != PAWN || board.color[pawn_sq] != static_cast<uint32_t>(mover) ||
                   board.color[ep] != NO_COLOR || board.color[origin_sq] != NO_COLOR) {
            level_printf(LVL_NORMAL, "Error, impossible ep target\n");
            possible = false;
        } else if (!pawn_beside(pawn_sq, side)) {
            level_printf(LVL_NORMAL, "Warning, ep move not possible\n");
            possible = false;
        }
        if (!possible) ep = -1;
    }
    board.ep_square = ep;
    recompute_board();

    std::string message;
    if (!check_position(side, &message)) {
        board = saved;
        level_printf(LVL_NORMAL, "setboard error while verify: %s\n", message.c_str());
        return 1;
    }

    start_move_number = (full_move - 1 >= 0 && full_move - 1 <= 600) ? full_move - 1 : 0;
    if (clear_hash && !fritz_mode) hash_clear();
    start_new_position(side);
    start_fen = board_to_fen(side, start_move_number != 0);
    if (hooks.position_set_up) hooks.position_set_up();
    if (side_out) *side_out = side;
    if (rest) *rest = rest_at;
    return 0;
}

std::string board_to_fen(int side, bool with_counters) {
    std::string out;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            int sq = rank * 8 + file;
            if (board.piece[sq] == EMPTY) {
                ++empty;
                continue;
            }
            if (empty) out += static_cast<char>('0' + empty);
            empty = 0;
            out += board.color[sq] == WHITE ? white_letters[board.piece[sq]] : black_letters[board.piece[sq]];
        }
        if (empty) out += static_cast<char>('0' + empty);
        if (rank > 0) out += '/';
    }
    out += side == WHITE ? " w" : " b";
    out += ' ';
    const uint32_t r = board.castling_rights;
    if (r & CASTLE_WHITE_SHORT) out += 'K';
    if (r & CASTLE_WHITE_LONG) out += 'Q';
    if (r & CASTLE_BLACK_SHORT) out += 'k';
    if (r & CASTLE_BLACK_LONG) out += 'q';
    if (!(r & 15)) out += '-';
    out += ' ';
    if (board.ep_square >= 0) {
        out += static_cast<char>('a' + file_of(board.ep_square));
        out += static_cast<char>('1' + rank_index(board.ep_square));
    } else {
        out += '-';
    }
    if (with_counters) {
        out += ' ' + std::to_string(board.ply - board.last_irreversible);
        out += ' ' + std::to_string(((side ^ 1) + board.ply + 2) / 2 + start_move_number);
    }
    return out;
}

int check_position(int side_to_move_arg, std::string* message) {
    int count[2][7] = {};
    for (int sq = 0; sq < 64; ++sq) {
        uint32_t p = board.piece[sq], c = board.color[sq];
        if ((p == EMPTY) != (c == NO_COLOR) || p > KING || c > NO_COLOR) {
            if (message) *message = "Internal color error";
            return 0;
        }
        if (p == EMPTY) continue;
        if (p == PAWN && (rank_index(sq) == 0 || rank_index(sq) == 7)) {
            if (message)
                *message = std::string(c == WHITE ? "white" : "black") + " pawn on row " + (rank_index(sq) == 0 ? "1" : "8");
            return 0;
        }
        count[c][p]++;
    }
    for (int s = 0; s < 2; ++s) {
        const std::string name = s == WHITE ? "white" : "black";
        const int* k = count[s];
        const char* fault = nullptr;
        if (k[PAWN] > 8) fault = "pawns";
        else if (k[KING] < 1) fault = "king missing";
        else if (k[KNIGHT] + k[PAWN] > 10) fault = "knights";
        else if (k[BISHOP] + k[PAWN] > 10) fault = "bishops";
        else if (k[ROOK] + k[PAWN] > 10) fault = "rooks";
        else if (k[QUEEN] + k[PAWN] > 9) fault = "queens";
        else if (k[KING] > 1) fault = "one king";
        else if (k[PAWN] + k[KNIGHT] + k[BISHOP] + k[ROOK] + k[QUEEN] + k[KING] > 16) fault = "pieces";
        if (!fault) continue;
        if (message) {
            std::string f = fault;
            if (f == "king missing")
                *message = name + " king missing";
            else if (f == "one king")
                *message = "more than one " + name + " king";
            else
                *message = "too many " + name + " " + f;
        }
        return 0;
    }
    recompute_board();
    if (in_check_fn(side_to_move_arg ^ 1)) {
        if (message) *message = "side not moving in check";
        return 0;
    }
    if (message) *message = "Nothing";
    return 1;
}
