#include "core/board_display.h"

#include "core/board.h"
#include "core/output.h"

int reversed_board = 0;

void print_board_diagram(const uint32_t* piece, const uint32_t* color) {
    static const char white_letters[] = " PNBRQK";
    static const char black_letters[] = " pnbrqk";
    const char* line = " +---+---+---+---+---+---+---+---+\n";
    level_printf(LVL_BOARD, "%s", line);
    for (int i = 0; i < 8; ++i) {
        const int rank = reversed_board ? i : 7 - i;
        level_printf(LVL_BOARD, "%d", rank + 1);
        for (int file = 0; file < 8; ++file) {
            const int sq = rank * 8 + file;
            const char c = piece[sq] > KING     ? '?'
                           : color[sq] == WHITE ? white_letters[piece[sq]]
                                                : black_letters[piece[sq]];
            level_printf(LVL_BOARD, "| %c ", c);
        }
        level_printf(LVL_BOARD, "|\n%s", line);
    }
    level_printf(LVL_BOARD, "   a   b   c   d   e   f   g   h\n");
}
