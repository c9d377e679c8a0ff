// Book creation from PGN collections (book_create, in memory) and additions to an
// existing book file (book_add, in place).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "book/book_file.h"

// Which moves of a game go into the book.
struct book_selection {
    int ply_limit = 0;       // only moves of the first plies
    int selector = 0;        // by result: see book_move_selected
    int annotated_only = 0;  // only moves with an annotation
};
// How often a move of `mover` is counted (0 = left out) in a game of `result` (1 White
// won, -1 Black won, 0 draw, -2 unknown) with the move's annotation (0 none).
int book_move_weight(const book_selection& s, int result, int mover, int annotation);

// The table book_create fills: slot area first, chains upwards through the overflow area.
class book_table {
public:
    // False when not even the first 2 x slots entries can be had.
    bool init(uint32_t slots);
    // Adds `weight` sightings of (key, side, move) with its annotation (4 = "=", clears the
    // mark); false when no room was left for a new entry.
    bool add(uint32_t key_lo, uint32_t key_hi, int side, uint32_t move, int annotation, int weight);
    // Deletes unmarked entries seen fewer than `threshold` times and relinks the rest; false
    // (reported) when a chain came out broken.
    bool prune(uint32_t threshold);
    // The statistics lines (firstfree, nused and the tally of moves per position).
    void print_statistics() const;

    uint32_t slots() const { return slots_; }
    uint32_t firstfree() const { return firstfree_; }
    const std::vector<book_entry>& entries() const { return entries_; }

private:
    bool grow();
    // Appends entry `at` to the chain of its home slot; false when the chain is broken.
    bool link(uint32_t at, uint32_t compact);

    std::vector<book_entry> entries_;
    uint32_t slots_ = 0;
    uint32_t firstfree_ = 0;
    bool out_of_memory_ = false;
};

// book_create: the games of `pgn` into a new book file `book` (written beside it and
// renamed over it when every byte is written), reopened into `d`. True when the games
// were replayed on the board (the command then starts a new game).
bool build_book(const std::string& pgn, uint32_t slots, int ply_limit, uint32_t prune_threshold, int selector,
                int annotated_only, book_descriptor& d);
// book_add: the games of `pgn` added to the book file of `d` in place; true as above.
bool add_to_book(const std::string& pgn, int ply_limit, int selector, int annotated_only, book_descriptor& d);
