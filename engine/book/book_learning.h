// Book learning: a book move the engine lost with is marked "??" in the learn book.
#pragma once

#include <cstdint>

constexpr uint32_t LEARN_BOOK_SLOTS = 20000;

// Marks `move`, played by the side to move from the position of the key, "??" in the
// learn book (creating the book when its file does not exist yet). 1 when a new learn
// book could not be written, else 0.
int learn_book_moves(uint32_t move, uint32_t key_lo, uint32_t key_hi);
