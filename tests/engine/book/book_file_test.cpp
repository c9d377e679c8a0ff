// The book file: header checks at every open, chained lookups, find-or-append, cleaning,
// and book learning into kvlearn.bin.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "book/book_learning.h"
#include "book_env.h"
#include "core/board.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/handlers.h"

namespace {
uint16_t word(int from, int to) { return static_cast<uint16_t>(make_move_word(from, to)); }

// The start position's moves as the choice sees them.
int start_moves(move_list_entry* list) { return generate_legal_moves(WHITE, 0, list); }

std::vector<std::string> texts(const book_candidate* c, int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) out.push_back(c[i].text);
    return out;
}
}  // namespace

TEST(BookFile, HeaderLayout) {
    unsigned char raw[BOOK_HEADER_BYTES];
    encode_book_header(new_book_header(30011, 31287), raw);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(raw), 10), std::string("KVBOOK101\0", 10));
    EXPECT_EQ(raw[12] | raw[13] << 8 | raw[14] << 16, 30011);
    EXPECT_EQ(raw[16], 128);
    EXPECT_EQ(raw[20], 20);
    EXPECT_EQ(raw[24] | raw[25] << 8, 31287);
    for (int i = 28; i < 128; ++i) EXPECT_EQ(raw[i], 0) << i;
    const book_entry e{0x01020304u, 0x05060708u, 9, 10, 0x1234, 1, -3};
    unsigned char bytes[BOOK_ENTRY_BYTES];
    encode_book_entry(e, bytes);
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(bytes[16], 0x34);
    EXPECT_EQ(bytes[17], 0x12);
    EXPECT_EQ(bytes[19], 0xFD);
    const book_entry back = decode_book_entry(bytes);
    EXPECT_EQ(back.key_hi, e.key_hi);
    EXPECT_EQ(back.mark, -3);
}

// Every damaged book gives one line naming the file and its fault, stays closed and
// keeps its bytes; the start position then has no book moves.
TEST(BookFile, DamagedBooksAreRefusedAndKept) {
    fresh_book_game();
    work_folder folder;
    const std::vector<book_entry> sound(3);
    const std::string good = book_bytes(new_book_header(2, 3), sound);
    auto with = [&](size_t at, uint32_t value) {
        std::string b = good;
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(value >> (8 * i));
        return b;
    };
    const struct {
        const char* what;
        std::string bytes;
        const char* fault;
    } cases[] = {
        {"100 bytes", good.substr(0, 100), "100 bytes, shorter than its header"},
        {"wrong magic", "KVBOOK102" + good.substr(9), "it does not begin with KVBOOK101"},
        {"header size 64", with(16, 64), "header size 64, not 128"},
        {"entry size 24", with(20, 24), "entry size 24, not 20"},
        {"no slots", with(12, 0), "no slots"},
        {"first free below the slots", with(24, 1), "first free entry 1 below the 2 slots"},
        {"first free past the end", with(24, 4), "188 bytes, 208 needed for 4 entries"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        write_file("kvbook.bin", k.bytes);
        output_capture out;
        EXPECT_FALSE(book_open(main_book));
        EXPECT_EQ(main_book.file, nullptr);
        EXPECT_EQ(out.lines(), std::vector<std::string>{std::string("The opening book \"kvbook.bin\" is damaged (") +
                                                        k.fault + ") and is not used"});
        EXPECT_EQ(read_file("kvbook.bin"), k.bytes);
        move_list_entry list[256];
        book_candidate c[BOOK_MAX_CANDIDATES];
        EXPECT_EQ(book_lookup(main_book, WHITE, board.key_lo(), board.key_hi(), list, start_moves(list), 50, c), 0);
    }
    // Under UCI the line is an info string.
    write_file("kvbook.bin", with(20, 24));
    uci_mode = 1;
    output_capture out;
    EXPECT_FALSE(book_open(main_book));
    uci_mode = 0;
    EXPECT_EQ(out.lines().at(0).rfind("info string The opening book", 0), 0u);
}

TEST(BookFile, ChainsFindOwnMovesAndStopAtBadLinks) {
    fresh_book_game();
    work_folder folder;
    const uint32_t lo = board.key_lo(), hi = board.key_hi();
    // One slot: every position shares it. Another position's entry heads the chain.
    std::vector<book_entry> e = {
        {lo ^ 1, hi, 1, 50, word(E2, E4), WHITE, 0}, {lo, hi, 2, 7, word(D2, D4), WHITE, 2},
        {lo, hi, 3, 4, word(E2, E5), WHITE, 0},  // no such move here
        {lo, hi, 4, 9, word(G1, F3), BLACK, 0},  // the other side to move
        {lo, hi, 0, 3, word(C2, C4), WHITE, -3},
    };
    write_file("kvbook.bin", book_bytes(new_book_header(1, 5), e));
    ASSERT_TRUE(book_open(main_book));
    move_list_entry list[256];
    const int n = start_moves(list);
    book_candidate c[BOOK_MAX_CANDIDATES];
    {
        output_capture out;
        const int found = book_lookup(main_book, WHITE, lo, hi, list, n, 50, c);
        EXPECT_EQ(texts(c, found), (std::vector<std::string>{"d4!", "c4??"}));
        EXPECT_EQ(out.lines(), std::vector<std::string>{"bm reject e2e5 count 4"});
        EXPECT_EQ(book_lookup(main_book, WHITE, lo, hi, list, n, 1, c), 1) << "at most max moves";
    }

    // A link back to an earlier entry (a loop) ends the walk with one message.
    e[2].next = 1;
    write_file("kvbook.bin", book_bytes(new_book_header(1, 5), e));
    ASSERT_TRUE(book_open(main_book));
    output_capture out;
    EXPECT_EQ(book_lookup(main_book, WHITE, lo, hi, list, n, 50, c), 1);
    EXPECT_EQ(book_lookup(main_book, WHITE, lo, hi, list, n, 50, c), 1);
    std::vector<std::string> damaged;
    for (const auto& l : out.lines())
        if (l.find("damaged") != std::string::npos) damaged.push_back(l);
    EXPECT_EQ(damaged, std::vector<std::string>{"The opening book \"kvbook.bin\" is damaged: entry 2 links to entry 1; "
                                                "the rest of its chain is skipped"});
    // So does a link past the first free entry.
    e[2].next = 7;
    write_file("kvbook.bin", book_bytes(new_book_header(1, 5), e));
    ASSERT_TRUE(book_open(main_book));
    EXPECT_EQ(book_lookup(main_book, WHITE, lo, hi, list, n, 50, c), 1);
}

TEST(BookFile, FindOrAddAppendsOnceAndCleanClearsMarks) {
    fresh_book_game();
    work_folder folder;
    std::vector<book_entry> e(3);
    e[1] = {5, 6, 0, 1, word(A2, A3), WHITE, 3};
    write_file("kvbook.bin", book_bytes(new_book_header(3, 3), e));
    ASSERT_TRUE(book_open(main_book, "r+b"));
    book_entry got;
    uint32_t at = 0;
    ASSERT_TRUE(book_find_or_add(main_book, 7, 8, WHITE, word(E2, E4), &got, &at));
    EXPECT_EQ(at, 3u) << "home slot 1 (7 mod 3) is taken: appended at the first free entry";
    EXPECT_EQ(main_book.header.firstfree, 4u);
    got.count = 5;
    ASSERT_TRUE(write_book_entry(main_book, at, got));
    book_entry again;
    uint32_t at2 = 0;
    ASSERT_TRUE(book_find_or_add(main_book, 7, 8, WHITE, word(E2, E4) | MOVE_CAPTURE, &again, &at2));
    EXPECT_EQ(at2, at) << "the same triple is found, not added twice";
    EXPECT_EQ(again.count, 5u);
    EXPECT_EQ(main_book.header.firstfree, 4u);
    ASSERT_TRUE(write_book_header(main_book));
    book_close(main_book);
    const auto entries = book_entries(read_file("kvbook.bin"));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[1].next, 3u);

    const std::string before = read_file("kvbook.bin");
    clean_book(main_book);
    const std::string after = read_file("kvbook.bin");
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(book_entries(after)[1].mark, 0);
    std::string expected = before;
    expected[BOOK_HEADER_BYTES + BOOK_ENTRY_BYTES + 19] = 0;
    EXPECT_EQ(after, expected) << "only the mark changes";
    EXPECT_NE(main_book.file, nullptr) << "reopened for reading";
}

TEST(BookLearning, NewLearnBookCountsAndDamagedFiles) {
    fresh_book_game();
    work_folder folder;
    side_to_move = BLACK;
    const uint32_t move = make_move_word(E7, E5);
    ASSERT_EQ(learn_book_moves(move, 1234567, 89), 0);
    std::string bytes = read_file("kvlearn.bin");
    ASSERT_EQ(bytes.size(), 400128u);
    book_header h = decode_book_header(reinterpret_cast<const unsigned char*>(bytes.data()));
    EXPECT_EQ(h.slots, 20000u);
    EXPECT_EQ(h.firstfree, 20000u);
    auto entries = book_entries(bytes);
    const book_entry& e = entries[1234567 % 20000];
    EXPECT_EQ(e.key_lo, 1234567u);
    EXPECT_EQ(e.key_hi, 89u);
    EXPECT_EQ(e.count, 1u);
    EXPECT_EQ(e.move, move);
    EXPECT_EQ(e.side, BLACK);
    EXPECT_EQ(e.mark, -3);
    ASSERT_NE(learn_book.file, nullptr) << "open for reading again";

    ASSERT_EQ(learn_book_moves(move, 1234567, 89), 0);
    entries = book_entries(read_file("kvlearn.bin"));
    EXPECT_EQ(entries[1234567 % 20000].count, 2u);
    // Another position with the same home slot goes to the overflow area.
    ASSERT_EQ(learn_book_moves(move, 1234567 + 20000, 89), 0);
    bytes = read_file("kvlearn.bin");
    EXPECT_EQ(bytes.size(), 400148u);
    EXPECT_EQ(book_entries(bytes)[1234567 % 20000].next, 20000u);

    // A learn book that is not one is reported and left alone.
    book_close(learn_book);
    std::string foreign = bytes.substr(0, 1000);
    foreign[0] = 'X';
    write_file("kvlearn.bin", foreign);
    output_capture out;
    EXPECT_EQ(learn_book_moves(move, 1, 2), 0);
    EXPECT_EQ(read_file("kvlearn.bin"), foreign);
    ASSERT_EQ(out.lines().size(), 1u);
    EXPECT_NE(out.lines()[0].find("learn book \"kvlearn.bin\" is damaged"), std::string::npos);
}

// A learn book whose writing never ended (a kill, a full disk) ends before its header or
// before its entries: the next learning makes it again, and says so.
TEST(BookLearning, ALearnBookCutShortIsMadeAgain) {
    fresh_book_game();
    work_folder folder;
    side_to_move = WHITE;
    const uint32_t move = make_move_word(E2, E4);
    ASSERT_EQ(learn_book_moves(move, 77, 88), 0);
    const std::string whole = read_file("kvlearn.bin");
    const struct {
        size_t length;
        const char* fault;
    } cases[] = {
        {0, "0 bytes, shorter than its header"},
        {60, "60 bytes, shorter than its header"},
        {1000, "1000 bytes, 400128 needed for 20000 entries"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        book_close(learn_book);
        write_file("kvlearn.bin", whole.substr(0, c.length));
        output_capture out;
        EXPECT_EQ(learn_book_moves(move, 99, 1), 0);
        EXPECT_TRUE(has_line(out.lines(), std::string("The learn book \"kvlearn.bin\" is cut short (") + c.fault +
                                              ") and is made again"))
            << out.text();
        const std::string bytes = read_file("kvlearn.bin");
        ASSERT_EQ(bytes.size(), 400128u);
        const auto entries = book_entries(bytes);
        EXPECT_EQ(entries[99].key_hi, 1u);
        EXPECT_EQ(entries[99].mark, -3);
        EXPECT_TRUE(entries[77].empty()) << "a new book";
        EXPECT_NE(learn_book.file, nullptr);
    }
    for (const auto& e : std::filesystem::directory_iterator("."))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

// A creation that fails on the way (here the file size limit, as a full disk would) is
// reported and leaves nothing; with room the next learning makes the book.
TEST(BookLearning, AFailedCreationLeavesNothing) {
    fresh_book_game();
    work_folder folder;
    side_to_move = WHITE;
    const uint32_t move = make_move_word(E2, E4);
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*saved_handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    output_capture out;
    const int r = learn_book_moves(move, 5, 6);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, saved_handler);
    EXPECT_EQ(r, 1);
    EXPECT_TRUE(has_line(out.lines(), "Error dumping book positions: File too large")) << out.text();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()), 0)
        << "nothing left behind";
    out.clear();
    EXPECT_EQ(learn_book_moves(move, 5, 6), 0);
    EXPECT_EQ(read_file("kvlearn.bin").size(), 400128u);
    EXPECT_EQ(book_entries(read_file("kvlearn.bin"))[5].mark, -3);
}

TEST(BookFile, BookFileCommandsNameTheBookInFull) {
    fresh_book_game();
    work_folder folder;
    const std::string long_name(150, 'b');
    write_file(long_name, book_bytes(new_book_header(1, 1), std::vector<book_entry>(1)));
    output_capture out;
    run_line("book_file " + long_name);
    EXPECT_NE(main_book.file, nullptr);
    EXPECT_EQ(out.lines().back(), "Using \"" + long_name + "\" as opening book");
    run_line("lbook_file missing.bin");
    EXPECT_EQ(out.lines().back(), "Can't find learn book \"missing.bin\"");
    // book_learn reopens the learn book (closing the one it holds).
    write_file("kvlearn.bin", book_bytes(new_book_header(1, 1), std::vector<book_entry>(1)));
    run_line("lbook_file kvlearn.bin");
    FILE* first = learn_book.file;
    ASSERT_NE(first, nullptr);
    run_line("book_learn 6");
    EXPECT_NE(learn_book.file, nullptr);
    EXPECT_EQ(book_learn, 6);
}
