// Opening book, opening names and PGN tools.
#include "front/handlers.h"
#include "front/book.h"

char learn_book_name[256] = "kvlearn.bin";

void book_open(const char*, int) {}
void eco_init() {}
void list_book_moves(int) {}
uint32_t book_choose_move(int, const uint32_t*, int, int* flagged) {
    if (flagged) *flagged = 0;
    return 0;
}
uint32_t trosk_first_move(int) { return 0; }
std::string eco_lookup() { return std::string(); }
void learn_book_moves(uint64_t) {}
void pgn_load_game(const std::string&, int) {}

int cmd_book_parse(const std::string&) { return 0; }
int cmd_book_create(const std::string&) { return 0; }
int cmd_book_add(const std::string&) { return 0; }
int cmd_book_clean(const std::string&) { return 0; }
int cmd_eco(const std::string&) { return 0; }
int cmd_pelvat_pgn(const std::string&) { return 0; }
int cmd_ferrun_pgn(const std::string&) { return 0; }
int cmd_mq_pgn(const std::string&) { return 0; }
int cmd_vadro_pgn(const std::string&) { return 0; }
int cmd_annotate(const std::string&) { return 0; }
