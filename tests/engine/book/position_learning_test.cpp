// Position learning: learnpos.bin and learnpos.ovk, the import of text lines, learned
// entries in the hash table, and damaged files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "book/position_learning.h"
#include "book_env.h"
#include "core/board.h"
#include "core/fen.h"
#include "core/hash.h"
#include "core/movegen.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/game_record.h"
#include "front/handlers.h"
#include "front/new_game.h"

namespace {
const char* const START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

std::string header_bytes(uint32_t capacity, uint32_t offset, uint32_t next) {
    learnpos_header h;
    h.capacity = capacity;
    h.offset = offset;
    h.next = next;
    std::string raw(LEARNPOS_HEADER_BYTES, '\0');
    encode_learnpos_header(h, reinterpret_cast<unsigned char*>(raw.data()));
    return raw;
}

uint32_t u32(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 | static_cast<uint8_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
int16_t i16(const std::string& b, size_t at) {
    return static_cast<int16_t>(static_cast<uint8_t>(b[at]) | b[at + 1] << 8);
}

// The learned entry of the present position in the hash table, or null.
const hash_entry* learned_entry(int side) {
    const hash_entry* e = hash_bucket(side);
    for (int i = 0; i < 3; ++i)
        if (e[i].lock == board.key_hi() && e[i].age == HASH_LEARNED_AGE) return &e[i];
    return nullptr;
}

void start_learning() {
    fresh_book_game();
    hash_alloc(1 << 20);
    output_capture quiet;
    run_line("pos_learn 1");
}
}  // namespace

TEST(PositionLearning, NewFileRingAndImport) {
    work_folder folder;
    start_learning();
    std::string bin = read_file("learnpos.bin");
    ASSERT_EQ(bin.size(), 128u);
    EXPECT_EQ(u32(bin, 0), 10000u);
    EXPECT_EQ(u32(bin, 8), 128u);
    EXPECT_EQ(bin.substr(16, 10), "orviklearn");
    EXPECT_EQ(bin.substr(26), std::string(102, '\0'));
    EXPECT_TRUE(file_exists("learnpos.ovk"));

    write_file("lines.txt", std::string("12 -85 e2e4 ") + START + "\n9 30 e2e5 " + START + "\nnonsense\n5 -40 e5 " +
                                "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1\n");
    output_capture out;
    run_line("import_pos lines.txt");
    const auto lines = out.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), std::string("Error importing position 9 30 e2e5 ") + START),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Error importing position nonsense"), lines.end());
    bin = read_file("learnpos.bin");
    ASSERT_EQ(bin.size(), 128u + 2 * 16);
    EXPECT_EQ(u32(bin, 12), 2u) << "next write index";
    EXPECT_EQ(i16(bin, 128 + 8), -85);
    EXPECT_EQ(i16(bin, 128 + 10), 12);
    EXPECT_EQ(u32(bin, 128 + 12) & 0x7FFF, make_move_word(E2, E4));
    EXPECT_EQ(i16(bin, 144 + 10), 5);
    EXPECT_EQ(learned_positions_held(), 2);

    // Learned entries are in the table after a new table, a set-up, and a clear.
    new_game(NEW_GAME_FULL);
    hash_alloc(1 << 20);
    ASSERT_NE(learned_entry(WHITE), nullptr);
    EXPECT_EQ(learned_entry(WHITE)->depth, 12 * 64);
    run_line(std::string("setboard ") + START);
    EXPECT_NE(learned_entry(WHITE), nullptr);
    run_line("pos_learn 0");
    EXPECT_EQ(learned_entry(WHITE), nullptr) << "switched off: the table is cleared";
}

TEST(PositionLearning, RingOverwritesTheOldest) {
    work_folder folder;
    write_file("learnpos.bin", header_bytes(2, 128, 0));
    start_learning();
    for (int depth = 1; depth <= 3; ++depth) learn_position(depth * 10, depth, make_move_word(E2, E4));
    const std::string bin = read_file("learnpos.bin");
    ASSERT_EQ(bin.size(), 128u + 2 * 16);
    EXPECT_EQ(i16(bin, 128 + 10), 3);
    EXPECT_EQ(i16(bin, 144 + 10), 2);
    EXPECT_EQ(u32(bin, 12), 1u);
    EXPECT_EQ(learned_positions_held(), 2);
}

TEST(PositionLearning, FallingScoresAreLearnt) {
    work_folder folder;
    start_learning();
    margin_pos_learn = 40;
    play({"e4", "e5"});
    const uint32_t move = make_move_word(G1, F3);
    learn_game_position(-150, -150, 7, -100, 0, 1, move);  // fell by 50: learnt
    learn_game_position(-130, -130, 7, -100, 0, 1, move);  // by 30 only
    learn_game_position(-300, -450, 7, -250, 0, 1, move);  // already lost before
    learn_game_position(-80, -200, 7, -50, 0, 1, move);    // the first score fell by 30 only
    EXPECT_EQ(read_file("learnpos.ovk"), "7 -150 Nf3 rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2\n");
    EXPECT_EQ(learned_positions_held(), 1);
}

TEST(PositionLearning, DamagedFilesAreReportedAndKept) {
    const struct {
        const char* what;
        std::string bytes;
        const char* fault;
    } cases[] = {
        {"capacity 0", header_bytes(0, 128, 0), "capacity 0"},
        {"records elsewhere", header_bytes(10, 64, 0), "records at offset 64, not 128"},
        {"next index past the capacity", header_bytes(10, 128, 10), "next record 10 beyond the capacity 10"},
        {"huge", header_bytes(0xFFFFFFF0u, 128, 0), "capacity 4294967280"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        work_folder folder;
        write_file("learnpos.bin", k.bytes);
        fresh_book_game();
        output_capture out;
        run_line("pos_learn 1");
        EXPECT_EQ(learnpos_bin_file, nullptr);
        const auto lines = out.lines();
        EXPECT_NE(std::find(lines.begin(), lines.end(),
                            std::string("The learned positions file \"learnpos.bin\" is damaged (") + k.fault +
                                ") and is not used"),
                  lines.end());
        learn_position(10, 3, make_move_word(E2, E4));
        EXPECT_EQ(read_file("learnpos.bin"), k.bytes);
        EXPECT_EQ(pos_learn, 1) << "learnpos.ovk still takes lines";
        run_line("pos_learn 0");
    }
}

// Another engine learning into the same file: the record goes to the file's next index
// as it stands now, not to the one read at start-up, and nothing of the other's is lost.
TEST(PositionLearning, RecordsGoWhereTheFileSaysNow) {
    work_folder folder;
    start_learning();
    ASSERT_NE(learnpos_bin_file, nullptr);
    {
        // The other engine: two records and the index after them.
        std::string bin = header_bytes(10000, 128, 2);
        bin += std::string(32, '\x11');
        std::FILE* f = std::fopen("learnpos.bin", "r+b");
        ASSERT_NE(f, nullptr);
        std::fwrite(bin.data(), 1, bin.size(), f);
        std::fclose(f);
    }
    learn_position(-77, 9, make_move_word(E2, E4));
    learn_position(-78, 10, make_move_word(E2, E4));
    const std::string bin = read_file("learnpos.bin");
    ASSERT_EQ(bin.size(), 128u + 4 * 16);
    EXPECT_EQ(u32(bin, 12), 4u) << "next write index";
    EXPECT_EQ(bin.substr(128, 32), std::string(32, '\x11')) << "the other engine's records";
    EXPECT_EQ(i16(bin, 160 + 8), -77);
    EXPECT_EQ(i16(bin, 176 + 8), -78);
    EXPECT_EQ(learned_positions_held(), 2) << "memory holds what this engine learnt";
    run_line("pos_learn 0");
}

// A file that ends before its header is what a creation that never ended leaves: it is
// made again, and said so. A link is never replaced.
TEST(PositionLearning, AFileCutShortIsMadeAgain) {
    for (const std::string& bytes : {std::string(), std::string(50, 'x')}) {
        SCOPED_TRACE(bytes.size());
        work_folder folder;
        write_file("learnpos.bin", bytes);
        fresh_book_game();
        output_capture out;
        run_line("pos_learn 1");
        ASSERT_NE(learnpos_bin_file, nullptr);
        const auto lines = out.lines();
        EXPECT_TRUE(has_line(lines, "The learned positions file \"learnpos.bin\" is cut short (" +
                                        std::to_string(bytes.size()) +
                                        " bytes, shorter than its header) and is made again"))
            << out.text();
        EXPECT_TRUE(has_line(lines, "created empty binary learn file"));
        learn_position(10, 3, make_move_word(E2, E4));
        const std::string bin = read_file("learnpos.bin");
        ASSERT_EQ(bin.size(), 128u + 16);
        EXPECT_EQ(u32(bin, 0), 10000u);
        EXPECT_EQ(u32(bin, 12), 1u);
        run_line("pos_learn 0");
        for (const auto& e : std::filesystem::directory_iterator("."))
            EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
    }
    work_folder folder;
    write_file("short.bin", "xyz");
    ASSERT_EQ(symlink("short.bin", "learnpos.bin"), 0);
    fresh_book_game();
    output_capture out;
    run_line("pos_learn 1");
    EXPECT_EQ(learnpos_bin_file, nullptr);
    EXPECT_TRUE(has_line(out.lines(),
                         "The learned positions file \"learnpos.bin\" is damaged (3 bytes, shorter than "
                         "its header) and is not used"))
        << out.text();
    EXPECT_EQ(read_file("learnpos.bin"), "xyz");
    EXPECT_TRUE(std::filesystem::is_symlink("learnpos.bin"));
    run_line("pos_learn 0");
}
