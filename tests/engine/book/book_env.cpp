#include "book_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "book/book_choice.h"
#include "book/eco.h"
#include "core/hash.h"
#include "core/makemove.h"
#include "core/movetext.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/engine_main.h"
#include "front/game_loop.h"
#include "front/new_game.h"

namespace fs = std::filesystem;

void fresh_book_game() {
    front_tables();
    static bool once = false;
    if (!once) {
        once = true;
        eco_init();
        register_core_hooks();
        move_list_start[0] = move_stack;
    }
    for (int& level : output_levels) level = 0;  // the tests read what they need from a capture
    notation_mode = NOTATION_SAN;
    uci_mode = 0;
    xboard_mode = 0;
    use_book = 1;
    book_random = 1;
    book_split = 0;
    book_mode = 0;
    overwrite_vgm = 0;
    book_learn = 4;
    pos_learn = 0;
    show_eco = 1;
    book_close(main_book);
    book_close(learn_book);
    main_book.name = "kvbook.bin";
    learn_book.name = "kvlearn.bin";
    new_game(NEW_GAME_FULL);
}

work_folder::work_folder() : saved_(fs::current_path().string()) { fs::current_path(dir_.path()); }

work_folder::~work_folder() {
    book_close(main_book);
    book_close(learn_book);
    fs::current_path(saved_);
}

std::string work_folder::path(const std::string& name) const { return dir_.file(name); }

void write_file(const std::string& name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }

std::string read_file(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool file_exists(const std::string& name) { return fs::exists(name); }

void play(const std::vector<std::string>& moves) {
    for (const std::string& san : moves) {
        const uint32_t m = parse_move(san, side_to_move);
        ASSERT_NE(m, 0u) << san;
        make_and_record_move(side_to_move, m, NO_SCORE, 0);
        side_to_move ^= 1;
    }
}

std::string book_bytes(const book_header& h, const std::vector<book_entry>& entries) {
    std::string out(BOOK_HEADER_BYTES + entries.size() * BOOK_ENTRY_BYTES, '\0');
    encode_book_header(h, reinterpret_cast<unsigned char*>(out.data()));
    for (size_t i = 0; i < entries.size(); ++i)
        encode_book_entry(entries[i],
                          reinterpret_cast<unsigned char*>(out.data() + BOOK_HEADER_BYTES + i * BOOK_ENTRY_BYTES));
    return out;
}

std::vector<book_entry> book_entries(const std::string& bytes) {
    std::vector<book_entry> out;
    for (size_t at = BOOK_HEADER_BYTES; at + BOOK_ENTRY_BYTES <= bytes.size(); at += BOOK_ENTRY_BYTES)
        out.push_back(decode_book_entry(reinterpret_cast<const unsigned char*>(bytes.data() + at)));
    return out;
}
