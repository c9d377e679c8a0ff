// Book creation and addition: which moves go in, counts and marks, pruning with
// relinking, and the commands' refusals.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "book/book_build.h"
#include "book/pgn_reader.h"
#include "book_env.h"
#include "core/board.h"
#include "core/movegen.h"
#include "core/state.h"
#include "front/handlers.h"

namespace {
// The entries of kvbook.bin by (side, move), counts summed over positions.
std::map<std::pair<int, int>, std::pair<uint32_t, int>> book_moves() {
    std::map<std::pair<int, int>, std::pair<uint32_t, int>> out;
    for (const book_entry& e : book_entries(read_file("kvbook.bin")))
        if (!e.empty()) {
            auto& v = out[{e.side, e.move}];
            v.first += e.count;
            v.second = e.mark;
        }
    return out;
}

int word(int from, int to) { return static_cast<int>(make_move_word(from, to)); }

// Every non-empty entry can be reached from its home slot, and links run upwards.
void expect_reachable(const std::string& bytes) {
    const book_header h = decode_book_header(reinterpret_cast<const unsigned char*>(bytes.data()));
    const auto e = book_entries(bytes);
    ASSERT_EQ(e.size(), h.firstfree);
    for (uint32_t i = 0; i < h.slots; ++i) {
        if (e[i].empty()) continue;
        EXPECT_EQ(e[i].key_lo % h.slots, i) << "slot entries sit in their home slots";
    }
    for (uint32_t i = 0; i < e.size(); ++i) {
        if (e[i].empty()) continue;
        EXPECT_TRUE(e[i].next == 0 || e[i].next > i) << "entry " << i;
        bool found = false;
        for (uint32_t at = e[i].key_lo % h.slots;; at = e[at].next) {
            if (at == i) found = true;
            if (found || e[at].next == 0 || e[at].next <= at) break;
        }
        EXPECT_TRUE(found) << "entry " << i << " cannot be reached";
    }
}
}  // namespace

TEST(BookBuild, SelectorsResultsAndAnnotations) {
    const struct {
        int selector, result, mover, annotation, weight;
    } cases[] = {
        {0, PGN_WHITE_WON, BLACK, 0, 1}, {1, PGN_WHITE_WON, BLACK, 0, 0}, {1, PGN_WHITE_WON, WHITE, 0, 1},
        {1, PGN_DRAW, BLACK, 0, 1},      {2, PGN_WHITE_WON, WHITE, 0, 2}, {2, PGN_WHITE_WON, BLACK, 0, 0},
        {2, PGN_DRAW, WHITE, 0, 1},      {3, PGN_DRAW, WHITE, 0, 0},      {3, PGN_BLACK_WON, BLACK, 0, 1},
        {4, PGN_DRAW, WHITE, 0, 0},      {4, PGN_DRAW, BLACK, 0, 1},      {5, PGN_BLACK_WON, BLACK, 0, 2},
        {5, PGN_DRAW, BLACK, 0, 1},      {7, PGN_DRAW, BLACK, 0, 0},      {-1, PGN_BLACK_WON, WHITE, 0, 0},
        {3, PGN_UNKNOWN, WHITE, 0, 1},   {3, PGN_DRAW, WHITE, 2, 1},      {2, PGN_WHITE_WON, WHITE, 3, 2},
    };
    for (const auto& k : cases) {
        book_selection s;
        s.selector = k.selector;
        EXPECT_EQ(book_move_weight(s, k.result, k.mover, k.annotation), k.weight)
            << "selector " << k.selector << " result " << k.result << " mover " << k.mover << " mark " << k.annotation;
    }
    book_selection only_marked;
    only_marked.annotated_only = 1;
    EXPECT_EQ(book_move_weight(only_marked, PGN_UNKNOWN, WHITE, 0), 0);
    EXPECT_EQ(book_move_weight(only_marked, PGN_UNKNOWN, WHITE, -1), 1);
}

TEST(BookBuild, CountsMarksAndPlyLimit) {
    fresh_book_game();
    work_folder folder;
    output_capture out;
    write_file("g.pgn", "[Result \"1-0\"]\n\n1. e4 e5 2. Nf3 1-0\n\n[Result \"1-0\"]\n\n1. e4 e5 2. Nf3 1-0\n");
    run_line("book_create g.pgn 101 2");
    EXPECT_EQ(book_moves(), (std::map<std::pair<int, int>, std::pair<uint32_t, int>>{{{WHITE, word(E2, E4)}, {2, 0}},
                                                                                     {{BLACK, word(E7, E5)}, {2, 0}}}));
    EXPECT_NE(main_book.file, nullptr) << "the new book is open";

    run_line("book_create g.pgn 101 20 0 2");
    EXPECT_EQ(book_moves(), (std::map<std::pair<int, int>, std::pair<uint32_t, int>>{{{WHITE, word(E2, E4)}, {4, 0}},
                                                                                     {{WHITE, word(G1, F3)}, {4, 0}}}));

    write_file("m.pgn",
               "[Result \"1/2-1/2\"]\n\n1. e4!! e5 *\n\n[Result \"*\"]\n\n1. e4 e5? *\n\n[Result \"*\"]\n\n1. e4= *\n");
    run_line("book_create m.pgn 101 20 0 4");
    auto moves = book_moves();
    const auto e4 = moves[{WHITE, word(E2, E4)}], e5 = moves[{BLACK, word(E7, E5)}];
    EXPECT_EQ(e4, std::make_pair(3u, 0)) << "\"=\" clears the !! again";
    EXPECT_EQ(e5, std::make_pair(2u, -2));
    EXPECT_NE(out.text().find("flags = 4, bkflags = 3"), std::string::npos);

    run_line("book_add g.pgn");
    moves = book_moves();
    const auto added_e4 = moves[{WHITE, word(E2, E4)}], added_f3 = moves[{WHITE, word(G1, F3)}];
    EXPECT_EQ(added_e4.first, 5u);
    EXPECT_EQ(added_f3.first, 2u);
}

TEST(BookBuild, PruningKeepsTheRestReachable) {
    fresh_book_game();
    work_folder folder;
    output_capture out;
    // Few slots, so that chains are long and relinking moves entries home and down.
    std::string pgn;
    const char* lines[] = {"1. e4 e5 2. Nf3 Nc6 3. Bb5 a6", "1. e4 c5 2. Nf3 d6 3. d4 cxd4",
                           "1. d4 d5 2. c4 e6 3. Nc3 Nf6",  "1. d4 Nf6 2. c4 g6 3. Nc3 Bg7",
                           "1. c4 e5 2. Nc3 Nf6 3. g3 d5",  "1. e4 e5 2. Nf3 Nc6 3. Bc4 Bc5",
                           "1. Nf3 d5 2. g3 Nf6 3. Bg2 e6", "1. e4 e6 2. d4 d5 3. Nc3 Bb4"};
    for (int repeat = 0; repeat < 3; ++repeat)
        for (int i = 0; i < 8; ++i)
            if (i < 3 || repeat == 0) pgn += std::string("[Result \"*\"]\n\n") + lines[i] + " *\n\n";
    pgn += "[Result \"*\"]\n\n1. b3! e5 *\n\n";
    write_file("p.pgn", pgn);
    run_line("book_create p.pgn 7 20");
    const std::string full = read_file("kvbook.bin");
    expect_reachable(full);
    run_line("book_create p.pgn 7 20 3");
    const std::string pruned = read_file("kvbook.bin");
    expect_reachable(pruned);
    EXPECT_NE(out.text().find("Deleting"), std::string::npos);
    // What is left: the moves seen three times or more, and the marked one.
    std::map<std::tuple<uint32_t, uint32_t, int, int>, uint32_t> kept_before, kept_after;
    for (const auto& e : book_entries(full))
        if (!e.empty() && (e.count >= 3 || e.mark != 0)) kept_before[{e.key_lo, e.key_hi, e.side, e.move}] = e.count;
    for (const auto& e : book_entries(pruned))
        if (!e.empty()) kept_after[{e.key_lo, e.key_hi, e.side, e.move}] = e.count;
    EXPECT_EQ(kept_after, kept_before);
    EXPECT_EQ(kept_after.count({0, 0, 0, 0}), 0u);

    // Every kept move is still found by a lookup from its position.
    fresh_book_game();
    ASSERT_TRUE(book_open(main_book));
    move_list_entry list[256];
    book_candidate c[BOOK_MAX_CANDIDATES];
    EXPECT_EQ(book_lookup(main_book, WHITE, board.key_lo(), board.key_hi(), list, generate_legal_moves(WHITE, 0, list),
                          50, c),
              3)
        << "e4, d4 and the marked b3";
}

TEST(BookBuild, RefusalsLeaveTheBookAlone) {
    fresh_book_game();
    work_folder folder;
    write_file("g.pgn", "[Result \"*\"]\n\n1. e4 e5 *\n");
    output_capture out;
    run_line("book_create g.pgn 11 20");
    const std::string book = read_file("kvbook.bin");
    for (const char* line : {"book_create g.pgn", "book_create g.pgn 0 20", "book_create g.pgn 11", "book_create"}) {
        out.clear();
        run_line(line);
        EXPECT_EQ(out.lines().at(0).rfind("Usage: book_create", 0), 0u) << line;
        EXPECT_EQ(read_file("kvbook.bin"), book) << line;
    }
    run_line("book_create missing.pgn 11 20");
    EXPECT_EQ(read_file("kvbook.bin"), book);
    EXPECT_FALSE(file_exists("kvbook.bin.tmp"));

    // A bad move is reported with its line; the rest of that game is left out.
    write_file("b.pgn", "[Result \"*\"]\n\n1. e4 e5\n2. Ke3 Nc6 *\n\n[Result \"*\"]\n\n1. d4 *\n");
    out.clear();
    run_line("book_create b.pgn 11 20");
    EXPECT_NE(out.text().find("bad move in book for side 0 \"Ke3\": illegal move nmoves 3 line 4"), std::string::npos);
    EXPECT_NE(out.text().find("8 lines: ngames = 2 nmoves = 5 found 3 rej 0"), std::string::npos) << out.text();
    EXPECT_EQ(book_moves().size(), 3u);

    // book_add stops a game at the history's length.
    std::string moves;
    for (int i = 0; i < 250; ++i) moves += "Nf3 Nf6 Ng1 Ng8 ";
    write_file("long.pgn", "[Result \"*\"]\n\n" + moves + "*\n");
    out.clear();
    run_line("book_add long.pgn 2000");
    EXPECT_NE(out.text().find("game 1 is cut after 960 plies"), std::string::npos);
    EXPECT_NE(out.text().find("found 960 rej 0"), std::string::npos);
}
