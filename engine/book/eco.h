// Opening names: the built-in table of ECO codes, opening and variation names, keyed by
// the position and the side to move, so that transpositions are named as well.
#pragma once

#include <cstdint>
#include <string>

struct eco_entry {
    uint32_t key[2];  // key_lo, key_hi of the position
    int32_t side;     // side to move
    const char* eco;
    const char* opening;
    const char* variation;  // "" when none
};
// The rows, ended by a row of zero keys and empty texts.
extern const eco_entry eco_table[];

// Builds the hash index over the table.
void eco_init();
// The row of (key, side): 1 and the outputs filled (any may be null), else 0 and the
// outputs untouched. The text is "code opening (variation)", or "code opening".
int eco_lookup(int side, std::string* text, uint32_t key_lo, uint32_t key_hi, std::string* code, std::string* opening,
               std::string* variation);
// The present game's opening: the text ("code opening (variation)") and its parts, each
// "" until a named position is reached; the deepest named position of the game stays.
extern std::string eco_name, eco_code, opening_name, variation_name;
// A new game: no opening named.
void eco_clear_game();
// The ECO, Opening and Variation tag lines of those texts that are not empty.
std::string eco_tag_lines(const std::string& code, const std::string& opening, const std::string& variation);

// Names the present game's opening after the position now on the board (side to move
// `side`): the game's opening texts change only when the position is in the table.
bool eco_update_game(int side);
