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

namespace {
// The fields of a FEN text as read, before the position is installed.
struct fen_fields {
    uint32_t piece[64], color[64];
    int side = WHITE;
    bool right_K = false, right_Q = false, right_k = false, right_q = false;
    int ep = -1;
    int full_move = 0;
    size_t rest_at = 0;  // offset after the last field read
};

size_t skip_blanks(const std::string& text, size_t i) {
    while (i < text.size() && is_blank(text[i])) ++i;
    return i;
}

bool is_digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The placement from a8, up to the next blank; false (reported) for a letter out of the
// board or unknown, and for other than one king a side.
bool read_placement(const std::string& text, size_t& i, fen_fields& f) {
    for (int sq = 0; sq < 64; ++sq) {
        f.piece[sq] = EMPTY;
        f.color[sq] = NO_COLOR;
    }
    const size_t n = text.size();
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
                return false;
            }
            f.piece[rank * 8 + file] = static_cast<uint32_t>(piece_from_letter(c));
            f.color[rank * 8 + file] = std::isupper(static_cast<unsigned char>(c)) ? WHITE : BLACK;
            ++file;
        } else {
            level_printf(LVL_NORMAL, "ERROR setboard c = %c, unknown piece letter\n", c);
            return false;
        }
    }
    int kings[2] = {0, 0};
    for (int sq = 0; sq < 64; ++sq)
        if (f.piece[sq] == KING) kings[f.color[sq]]++;
    if (kings[WHITE] != 1 || kings[BLACK] != 1) {
        level_printf(LVL_NORMAL, "ERROR setboard kings are not correct\n");
        return false;
    }
    return true;
}

// The side to move; false when the field is missing or neither w nor b.
bool read_side(const std::string& text, size_t& i, fen_fields& f) {
    i = skip_blanks(text, i);
    if (i >= text.size()) return false;
    if (text[i] == 'w' || text[i] == 'W')
        f.side = WHITE;
    else if (text[i] == 'b' || text[i] == 'B')
        f.side = BLACK;
    else
        return false;
    ++i;
    return true;
}

// Castling rights: "-", or up to four of KQkq (blanks between them are read over).
void read_castling(const std::string& text, size_t& i, fen_fields& f) {
    const size_t n = text.size();
    i = skip_blanks(text, i);
    if (i < n && text[i] == '-') {
        ++i;
        return;
    }
    for (int count = 0; count < 4 && i < n;) {
        char c = text[i];
        if (is_blank(c)) {
            ++i;
            continue;
        }
        if (c == 'K')
            f.right_K = true;
        else if (c == 'Q')
            f.right_Q = true;
        else if (c == 'k')
            f.right_k = true;
        else if (c == 'q')
            f.right_q = true;
        else
            break;
        ++i;
        ++count;
    }
}

// The en-passant square: "-" (or "n"), or a square on the rank the side to move takes on.
void read_ep(const std::string& text, size_t& i, fen_fields& f) {
    const size_t n = text.size();
    i = skip_blanks(text, i);
    auto file_letter = [&](size_t k) {
        const int c = std::tolower(static_cast<unsigned char>(text[k]));
        return c >= 'a' && c <= 'h';
    };
    if (i < n && (text[i] == '-' || text[i] == 'n')) {
        ++i;
    } else if (i + 1 < n && file_letter(i) && text[i + 1] >= '1' && text[i + 1] <= '8') {
        int file = std::tolower(static_cast<unsigned char>(text[i])) - 'a';
        char r = text[i + 1];
        if ((r == '6' && f.side == WHITE) || (r == '3' && f.side == BLACK)) f.ep = (r - '1') * 8 + file;
        i += 2;
    }
}

// Counters: the half-move number is skipped, the full-move number read.
void read_counters(const std::string& text, size_t i, fen_fields& f) {
    const size_t n = text.size();
    f.rest_at = i;
    size_t j = skip_blanks(text, i);
    if (j >= n || !is_digit(text[j])) return;
    while (j < n && is_digit(text[j])) ++j;
    size_t k = skip_blanks(text, j);
    if (k < n && is_digit(text[k])) {
        long v = 0;
        while (k < n && is_digit(text[k])) {
            if (v < 100000) v = v * 10 + (text[k] - '0');
            ++k;
        }
        f.full_move = static_cast<int>(v);
        j = k;
    }
    f.rest_at = j;
}

// Men and the moved marks on the board; a right not given marks its rook (and, both
// gone, its king) as moved. A right the men contradict is warned about.
void install_men_and_rights(const fen_fields& f) {
    std::memcpy(board.piece, f.piece, sizeof f.piece);
    std::memcpy(board.color, f.color, sizeof f.color);
    for (int sq = 0; sq < 64; ++sq)
        board.moved[sq] = (f.piece[sq] != start_piece(sq) || f.color[sq] != start_color(sq)) ? 1 : 0;
    board.castled[0] = board.castled[1] = 0;
    if (!f.right_K) board.moved[H1] = 10;
    if (!f.right_Q) board.moved[A1] = 10;
    if (!f.right_k) board.moved[H8] = 10;
    if (!f.right_q) board.moved[A8] = 10;
    if (!f.right_K && !f.right_Q) board.moved[E1] = 10;
    if (!f.right_k && !f.right_q) board.moved[E8] = 10;
    if (f.right_K && (board.moved[E1] || board.moved[H1]))
        level_printf(LVL_NORMAL, "Warning, white king side castling is not possible\n");
    if (f.right_Q && (board.moved[E1] || board.moved[A1]))
        level_printf(LVL_NORMAL, "Warning, white queen side castling is not possible\n");
    if (f.right_k && (board.moved[E8] || board.moved[H8]))
        level_printf(LVL_NORMAL, "Warning, black king side castling is not possible\n");
    if (f.right_q && (board.moved[E8] || board.moved[A8]))
        level_printf(LVL_NORMAL, "Warning, black queen side castling is not possible\n");
}

// The en-passant target on the installed men: kept (returned) only when a pawn of the
// side to move can take on it, else -1 (reported).
int possible_ep(int ep, int side) {
    if (ep < 0) return ep;
    const int mover = side ^ 1;
    const int pawn_sq = side == WHITE ? ep - 8 : ep + 8;
    const int origin_sq = side == WHITE ? ep + 8 : ep - 8;
    if (rank_index(ep) != (side == WHITE ? 5 : 2)) {
        level_printf(LVL_NORMAL, "Error, stupid ep target\n");
        return -1;
    }
    if (board.piece[pawn_sq] != PAWN || board.color[pawn_sq] != static_cast<uint32_t>(mover) ||
        board.color[ep] != NO_COLOR || board.color[origin_sq] != NO_COLOR) {
        level_printf(LVL_NORMAL, "Error, impossible ep target\n");
        return -1;
    }
    if (!pawn_beside(pawn_sq, side)) {
        level_printf(LVL_NORMAL, "Warning, ep move not possible\n");
        return -1;
    }
    return ep;
}
}  // namespace

int parse_fen(const std::string& text, int* side_out, bool clear_hash, size_t* rest) {
    fen_fields f;
    size_t i = skip_blanks(text, 0);
    if (i >= text.size()) {
        level_printf(LVL_NORMAL, "ERROR setboard kings are not correct\n");
        return 1;
    }
    if (!read_placement(text, i, f) || !read_side(text, i, f)) return 1;
    read_castling(text, i, f);
    read_ep(text, i, f);
    read_counters(text, i, f);

    // Install the position, keeping the old one for a refusal.
    const board_state saved = board;
    install_men_and_rights(f);
    board.ep_square = possible_ep(f.ep, f.side);
    recompute_board();
    std::string message;
    if (!check_position(f.side, &message)) {
        board = saved;
        level_printf(LVL_NORMAL, "setboard error while verify: %s\n", message.c_str());
        return 1;
    }

    start_move_number = (f.full_move - 1 >= 0 && f.full_move - 1 <= 600) ? f.full_move - 1 : 0;
    if (clear_hash && !fritz_mode) hash_clear();
    start_new_position(f.side);
    start_fen = board_to_fen(f.side, start_move_number != 0);
    if (hooks.position_set_up) hooks.position_set_up();
    if (side_out) *side_out = f.side;
    if (rest) *rest = f.rest_at;
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
                *message =
                    std::string(c == WHITE ? "white" : "black") + " pawn on row " + (rank_index(sq) == 0 ? "1" : "8");
            return 0;
        }
        count[c][p]++;
    }
    for (int s = 0; s < 2; ++s) {
        const std::string name = s == WHITE ? "white" : "black";
        const int* k = count[s];
        const char* fault = nullptr;
        if (k[PAWN] > 8)
            fault = "pawns";
        else if (k[KING] < 1)
            fault = "king missing";
        else if (k[KNIGHT] + k[PAWN] > 10)
            fault = "knights";
        else if (k[BISHOP] + k[PAWN] > 10)
            fault = "bishops";
        else if (k[ROOK] + k[PAWN] > 10)
            fault = "rooks";
        else if (k[QUEEN] + k[PAWN] > 9)
            fault = "queens";
        else if (k[KING] > 1)
            fault = "one king";
        else if (k[PAWN] + k[KNIGHT] + k[BISHOP] + k[ROOK] + k[QUEEN] + k[KING] > 16)
            fault = "pieces";
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
