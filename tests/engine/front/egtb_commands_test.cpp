// The endgame-table commands in temporary folders: registration and its messages, the
// cache size, the probe from the board, the bitbase rules of the rows without files,
// and the root limit of the tables.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "child_process.h"
#include "core/board.h"
#include "core/clock.h"
#include "core/eval.h"
#include "core/fen.h"
#include "core/hash.h"
#include "core/movetext.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"
#include "egtb/bitbase.h"
#include "egtb/egtb.h"
#include "egtb/index.h"
#include "emd_writer.h"
#include "front/egtb_commands.h"
#include "front_env.h"

namespace {

using testsupport::TempDir;

// A table file of the right size: sparse (all draws), or with `entry(i)` at each index.
void table_file(const std::string& path, uint64_t size, int (*entry)(uint32_t) = nullptr) {
    if (!entry) {
        const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        ASSERT_GE(fd, 0) << path;
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
        ::close(fd);
        return;
    }
    std::vector<uint8_t> data(size);
    for (uint32_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(static_cast<int8_t>(entry(i)));
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
}

struct EgtbCommands : ::testing::Test {
    void SetUp() override {
        front_search_tables();
        register_egtb_hooks();
        egtb_cache_size = 2097152;
    }
    void TearDown() override {
        output_capture quiet;
        run_line("tbldir " + empty.path());
        bitbase_load("");
        four_men_only = 0;
    }
    // Sets up a FEN position; its side to move.
    int position(const std::string& fen) {
        int side = WHITE;
        EXPECT_EQ(parse_fen(fen, &side, false), 0) << fen;
        return side;
    }
    TempDir empty;
};

TEST_F(EgtbCommands, EachSideComesFromTheFirstFolderThatHasIt) {
    TempDir a, b;
    table_file(a.file("kpk.nbw"), 81664);
    table_file(b.file("kpk.nbw"), 81664);
    table_file(b.file("kpk.nbb"), 84012);
    output_capture out;
    run_line("tbldir " + a.path() + ";" + b.path());
    EXPECT_TRUE(has_line(out.lines(), "3-men endgame table bases found"));
    EXPECT_EQ(egtb_men, 3);
    EXPECT_EQ(egtb_max_men, 3);
    EXPECT_EQ(egtb_tables[1].side[0].path, a.file("kpk.nbw"));
    EXPECT_EQ(egtb_tables[1].side[1].path, b.file("kpk.nbb"));
    // A comma separates folders as well.
    run_line("tbldir " + b.path() + "," + a.path());
    EXPECT_EQ(egtb_tables[1].side[0].path, b.file("kpk.nbw"));
}

TEST_F(EgtbCommands, AFolderEndingInASlashKeepsIt) {
    TempDir a;
    table_file(a.file("kpk.nbw"), 81664);
    output_capture out;
    run_line("tbldir " + a.path() + "/");
    EXPECT_EQ(egtb_tables[1].side[0].path, a.path() + "//kpk.nbw");
}

TEST_F(EgtbCommands, WrongFilesAreReportedAndSkipped) {
    TempDir a;
    table_file(a.file("krk.nbw"), 27031);
    table_file(a.file("kqk.nbw"), 25629);
    table_file(a.file("krkr.nbb"), 1649196);  // a symmetric table has no Black file
    output_capture out;
    run_line("tbldir " + a.path());
    const auto lines = out.lines();
    EXPECT_TRUE(has_line(lines, "*** " + a.path() + "/krk.nbw corrupted"));
    EXPECT_TRUE(has_line(lines, "3-men endgame table bases found"));
    EXPECT_FALSE(egtb_registered(4, 0));
    EXPECT_TRUE(egtb_registered(5, 0));
    EXPECT_FALSE(egtb_registered(15, 0));
    EXPECT_FALSE(egtb_registered(15, 1));
}

TEST_F(EgtbCommands, UnderUciProblemsAreInfoStrings) {
    TempDir a;
    table_file(a.file("krk.nbw"), 27031);
    output_capture out;
    uci_mode = 1;
    run_line("tbldir " + a.path());
    run_line("bbpath " + a.path());
    uci_mode = 0;
    const auto lines = out.lines();
    EXPECT_TRUE(has_line(lines, "info string *** " + a.path() + "/krk.nbw corrupted"));
    EXPECT_TRUE(has_line(lines, "info string Loaded 0 bitbases of size 0, 36 failed"));
}

TEST_F(EgtbCommands, TheLargestTableDecidesTheMen) {
    TempDir a;
    output_capture out;
    run_line("tbldir " + a.path());
    EXPECT_TRUE(has_line(out.lines(), "No endgame tables found"));
    EXPECT_EQ(egtb_men, 0);
    table_file(a.file("kqk.nbw"), 25629);
    run_line("tbldir " + a.path());
    EXPECT_EQ(egtb_men, 3);
    table_file(a.file("krkr.nbw"), 1649196);
    run_line("tbldir " + a.path());
    EXPECT_EQ(egtb_men, 4);
    EXPECT_TRUE(egtb_registered(15, 1));  // the one file serves both sides
    // A five-man side as a sparse file: the probe reads its zeros as draws.
    table_file(a.file("kppkp.nbw"), 84219361);
    run_line("tbldir " + a.path());
    EXPECT_EQ(egtb_men, 5);
    EXPECT_EQ(egtb_max_men, 5);
    const int side = position("8/8/4k3/4p3/8/2P5/2P5/2K5 w - - 0 1");
    int score = 99;
    EXPECT_EQ(probe_egtb(side, &score), 1);
    EXPECT_EQ(score, 0);
    // Black to move has no file.
    EXPECT_EQ(probe_egtb(side ^ 1, &score), 0);
}

TEST_F(EgtbCommands, BrokenCompressedFilesAreReportedAndSkipped) {
    std::vector<uint8_t> data(81664);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i / 100);
    const std::vector<uint8_t> good = emd_encode(data);
    const uint32_t crc_at = emd_crc_offset(good);
    const struct {
        const char* what;
        size_t at;  // byte to change; ~0 cut inside the header section
        uint8_t value;
        const char* reason;
    } cases[] = {
        {"banner", 0, 'c', "read error"},         {"cut header", ~size_t{0}, 0, "read error"},
        {"exponent 17", 70, 17, "file broken"},   {"23 distances", 71, 23, "file broken"},
        {"format mark", 77, 0x41, "file broken"}, {"CRC", crc_at + 1, 0, "file broken"},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> file = good;
        if (c.at == ~size_t{0})
            file.resize(crc_at);
        else if (c.at == crc_at + 1)
            file[c.at] ^= 1;
        else
            file[c.at] = c.value;
        TempDir a;
        FILE* f = std::fopen(a.file("kpk.nbw.emd").c_str(), "wb");
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
        table_file(a.file("kqk.nbw"), 25629);
        output_capture out;
        run_line("tbldir " + a.path());
        EXPECT_TRUE(has_line(out.lines(), "*** Unable to read " + a.file("kpk.nbw.emd") + " - " + c.reason)) << c.what;
        EXPECT_FALSE(egtb_registered(1, 0)) << c.what;
        EXPECT_EQ(egtb_men, 3) << c.what;  // registration goes on
    }
    // A block size other than 8192.
    emd_options o;
    o.block_bits = 12;
    TempDir a;
    const std::vector<uint8_t> small = emd_encode(data, o);
    FILE* f = std::fopen(a.file("kpk.nbw.emd").c_str(), "wb");
    std::fwrite(small.data(), 1, small.size(), f);
    std::fclose(f);
    output_capture out;
    run_line("tbldir " + a.path());
    EXPECT_TRUE(has_line(out.lines(), "*** " + a.file("kpk.nbw.emd") + ": Unsupported block size 4096"));
}

TEST_F(EgtbCommands, OverlongFolderNamesAreRefused) {
    TempDir a;
    table_file(a.file("kpk.nbw"), 81664);
    output_capture out;
    run_line("tbldir " + std::string(1100, 'x') + ";" + a.path());
    EXPECT_NE(out.text().find("Directory name too long"), std::string::npos);
    EXPECT_EQ(egtb_men, 3);
}

TEST_F(EgtbCommands, CacheSizes) {
    const struct {
        const char* arg;
        uint32_t bytes;
    } cases[] = {{"1.5M", 1572864}, {"64k", 65536}, {" 2m", 2097152}, {"8260", 8260}};
    output_capture out;
    for (const auto& c : cases) {
        out.clear();
        run_line(std::string("egtb_cache ") + c.arg);
        EXPECT_EQ(egtb_cache_size, c.bytes) << c.arg;
        EXPECT_EQ(out.lines(), std::vector<std::string>{"egtb_cache = " + std::to_string(c.bytes)}) << c.arg;
    }
    // Below one block (also a size out of range or no number, read as 0): raised to one
    // block, and said so.
    const struct {
        const char* arg;
        const char* wanted;
    } small[] = {{"100", "100"}, {"8259", "8259"}, {"0", "0"}, {"3000M", "0"}, {"abc", "0"}};
    for (const auto& c : small) {
        out.clear();
        run_line(std::string("egtb_cache ") + c.arg);
        EXPECT_EQ(egtb_cache_size, 8260u) << c.arg;
        EXPECT_EQ(out.lines(), std::vector<std::string>{std::string("egtb_cache = 8260 (raised from ") + c.wanted +
                                                        ": the smallest cache that holds a block)"})
            << c.arg;
    }
    // With tables on, the smallest cache still answers the probes.
    TempDir a;
    table_file(a.file("kqk.nbw"), 25629);
    run_line("tbldir " + a.path());
    run_line("egtb_cache 100");
    EXPECT_EQ(egtb_cache_blocks(), 1);
    EXPECT_EQ(egtb_men, 3);
    int score = 1;
    EXPECT_EQ(probe_egtb(position("8/8/7k/8/8/8/8/Q3K3 w - - 0 1"), &score), 1);
    EXPECT_EQ(score, 0) << "the sparse table holds draws";
    run_line("egtb_cache 1M");
    EXPECT_EQ(egtb_cache_blocks(), 1048576 / 8260);
    EXPECT_EQ(probe_egtb(WHITE, &score), 1);
    // The UCI option reaches the same setting through the cache allocation.
    egtb_alloc_cache(10);
    EXPECT_EQ(egtb_cache_size, 8260u);
    EXPECT_EQ(egtb_cache_blocks(), 1);
}

int pattern(uint32_t i) { return static_cast<int>((i * 37u + 11u) % 251u) - 125; }

TEST_F(EgtbCommands, SwappedColoursReadTheMirroredEntry) {
    TempDir a;
    table_file(a.file("kpk.nbw"), 81664, pattern);
    table_file(a.file("kpk.nbb"), 84012, pattern);
    output_capture out;
    run_line("tbldir " + a.path());
    // Each position against the same one with colours and ranks exchanged.
    const char* pairs[][2] = {
        {"8/8/8/3k4/8/8/4P3/4K3 w - - 0 1", "4k3/4p3/8/8/3K4/8/8/8 b - - 0 1"},
        {"8/8/8/3k4/8/8/4P3/4K3 b - - 0 1", "4k3/4p3/8/8/3K4/8/8/8 w - - 0 1"},
        {"7k/8/8/8/1P6/8/8/K7 w - - 0 1", "k7/8/8/1p6/8/8/8/7K b - - 0 1"},
        {"8/2k5/8/8/8/6P1/8/6K1 b - - 0 1", "6k1/8/6p1/8/8/8/2K5/8 w - - 0 1"},
    };
    for (const auto& p : pairs) {
        int a_score = 0, b_score = 1;
        ASSERT_EQ(probe_egtb(position(p[0]), &a_score), 1) << p[0];
        ASSERT_EQ(probe_egtb(position(p[1]), &b_score), 1) << p[1];
        EXPECT_EQ(a_score, b_score) << p[0];
    }
    // The score is the stored byte converted: the entry of kpk with White to move.
    const int side = position("8/8/8/3k4/8/8/4P3/4K3 w - - 0 1");
    int32_t w[16] = {}, b[16] = {};
    w[15] = E1;
    w[0] = E2;
    b[15] = D5;
    const uint32_t index = egtb_index_fn(1, 0)(w, b, 127, 0);
    int score = 0;
    ASSERT_EQ(probe_egtb(side, &score), 1);
    EXPECT_EQ(score, egtb_stored_to_score(pattern(index)));
}

TEST_F(EgtbCommands, ProbeRefusals) {
    TempDir a;
    table_file(a.file("krk.nbw"), 27030);
    table_file(a.file("krk.nbb"), 28644);
    output_capture out;
    run_line("tbldir " + a.path());
    int score = 5;
    const uint32_t probes = egtb_probes, hits = egtb_hits;
    EXPECT_EQ(probe_egtb(position("8/8/8/4k3/8/8/8/4K2R w K - 0 1"), &score), 0);  // castling right
    EXPECT_EQ(probe_egtb(position("8/8/8/4k3/8/8/8/4K3 w - - 0 1"), &score), 0);   // bare kings
    EXPECT_EQ(probe_egtb(position("8/8/8/4k3/8/8/8/4KQ2 w - - 0 1"), &score), 0);  // no kqk file
    EXPECT_EQ(score, 5);
    EXPECT_EQ(probe_egtb(position("8/8/8/4k3/8/8/8/4K2R w - - 0 1"), &score), 1);
    EXPECT_EQ(egtb_probes, probes + 4);
    EXPECT_EQ(egtb_hits, hits + 1);
    // K+R against K+P with Black holding the rook: krkp with the colours swapped.
    table_file(a.file("krkp.nbb"), 4981504);
    run_line("tbldir " + a.path());
    const int white_rook[10] = {0, 0, 0, 1, 0, 1, 0, 0, 0, 0};
    const int black_rook[10] = {1, 0, 0, 0, 0, 0, 0, 0, 1, 0};
    EXPECT_EQ(egtb_find_table(white_rook), 12);
    EXPECT_EQ(egtb_find_table(black_rook), -12);
    // White to move reads the file of Black to move of krkp.
    EXPECT_EQ(probe_egtb(position("8/8/8/4k3/8/8/4P3/r3K3 w - - 0 1"), &score), 1);
    EXPECT_EQ(probe_egtb(WHITE ^ 1, &score), 0);
    const int too_many[10] = {2, 0, 0, 0, 0, 0, 0, 0, 2, 0};
    EXPECT_EQ(egtb_find_table(too_many), 0);
}

// ---- bitbases without files ----------------------------------------------------------

struct bb_case {
    const char* fen;
    int cls;
    int score;
};

TEST_F(EgtbCommands, BitbaseRowsWithoutFiles) {
    bitbase_load("");
    const bb_case cases[] = {
        {"8/8/8/4k3/8/8/8/2B1K3 w - - 0 1", BB_EXACT, 0},  // K+B against K
        {"8/8/8/4k3/8/8/8/2B1K3 b - - 0 1", BB_EXACT, 0},
        {"8/8/8/4k3/1n6/8/8/4K3 w - - 0 1", BB_EXACT, 0},       // the knight Black's
        {"8/8/8/4k3/8/8/8/4K3 w - - 0 1", BB_EXACT, 0},         // bare kings
        {"8/8/8/4k3/8/8/1P6/1R2K3 w - - 0 1", BB_LOWER, 1000},  // K+R+P: the stronger to move
        {"8/8/8/4k3/8/8/1P6/1R2K3 b - - 0 1", BB_UPPER, 0},     // the weaker to move
        {"1r2k3/1p6/8/8/4K3/8/8/8 w - - 0 1", BB_UPPER, 0},     // colours exchanged
        {"1r2k3/1p6/8/8/4K3/8/8/8 b - - 0 1", BB_LOWER, 1000},
        {"8/8/7k/8/8/8/8/QN2K3 w - - 0 1", BB_LOWER, 1000},  // K+Q+N
        {"8/8/8/4k3/8/8/8/NN2K3 w - - 0 1", BB_EXACT, 0},    // K+N+N
        {"k7/8/1K6/8/8/8/8/NN6 w - - 0 1", BB_LOWER, 0},     // the lone king on the edge, two away
        {"k7/8/1K6/8/8/8/8/NN6 b - - 0 1", BB_UPPER, 0},
        {"8/7k/8/8/8/8/8/B1B1K3 w - - 0 1", BB_EXACT, 0},  // bishops on one colour
        {"6k1/8/8/8/8/8/8/BB2K3 w - - 0 1", BB_LOWER, 800},
        {"6k1/8/8/8/8/8/8/BB2K3 b - - 0 1", BB_UPPER, -800},
        {"8/8/8/3Bk3/8/8/8/B3K3 b - - 0 1", BB_UPPER, 0},    // a bishop beside the lone king
        {"8/8/8/4k3/8/8/8/1n2K1N1 w - - 0 1", BB_EXACT, 0},  // K+N against K+N
        {"8/8/8/8/8/8/N1k5/K5n1 w - - 0 1", BB_NONE, 0},     // the corner mate of knkn
        {"8/8/7k/8/8/8/8/QB2K3 w - - 0 1", BB_NONE, 0},      // K+Q+B: no row
        {"8/8/8/4k3/8/8/8/RNB1K3 w - - 0 1", BB_NONE, 0},    // three pieces
        {"8/8/8/4k3/8/8/8/R3K3 w - - 0 1", BB_NONE, 0},      // krk without its file
    };
    for (const auto& c : cases) {
        int score = 12345;
        const int cls = bitbase_probe(position(c.fen), &score);
        EXPECT_EQ(cls, c.cls) << c.fen;
        if (cls != BB_NONE) {
            EXPECT_EQ(score, c.score) << c.fen;
        }
    }
}

TEST_F(EgtbCommands, BitbaseLoadingReportsEveryMissingFile) {
    output_capture out;
    run_line("bbpath");
    EXPECT_EQ(out.text(), "");
    run_line("bbpath " + empty.path());
    EXPECT_TRUE(has_line(out.lines(), "Loaded 0 bitbases of size 0, 36 failed"));
    EXPECT_NE(out.text().find("Could not open \"" + empty.path() + "/krk.bbw\" in mode rb"), std::string::npos);
}

TEST_F(EgtbCommands, WinDrawLossBytesHoldFivePositions) {
    uint8_t data[2] = {};
    for (uint32_t n = 0; n < 5; ++n) bitbase_wdl_add(data, n, 1);
    EXPECT_EQ(data[0], 121);  // five wins
    for (uint32_t n = 0; n < 5; ++n) EXPECT_EQ(bitbase_wdl_code(data, n), 1);
    const int codes[5] = {0, 2, 1, 0, 2};
    for (uint32_t n = 5; n < 10; ++n) bitbase_wdl_add(data, n, codes[n - 5]);
    for (uint32_t n = 5; n < 10; ++n) EXPECT_EQ(bitbase_wdl_code(data, n), codes[n - 5]);
    uint8_t draws = 0;
    for (uint32_t n = 0; n < 5; ++n) bitbase_wdl_add(&draws, n, 0);
    EXPECT_EQ(draws, 0);
}

TEST_F(EgtbCommands, BitbaseNumbersFoldTheBoard) {
    egtb_build_index_tables();
    const bitbase_descriptor* krkn = nullptr;
    const bitbase_descriptor* kpk = nullptr;
    for (int i = 0; i < bitbase_row_count; ++i) {
        if (bitbase_rows[i].name && std::string(bitbase_rows[i].name) == "krkn") krkn = &bitbase_rows[i];
        if (bitbase_rows[i].name && std::string(bitbase_rows[i].name) == "kpk") kpk = &bitbase_rows[i];
    }
    ASSERT_TRUE(krkn && kpk);
    // K b2, K e6, rook c4, knight g7 and its seven images.
    const int wk = B2, bk = E6, r = C4, n = G7;
    auto img = [](int s, int g) {
        if (g & 4) s = ((s & 7) << 3) | (s >> 3);
        if (g & 1) s ^= 7;
        if (g & 2) s ^= 56;
        return s;
    };
    bb_position p{WHITE, wk, bk, 1, 1, {ROOK, 0}, {r, 0}, KNIGHT, n, -1};
    const int64_t number = bitbase_number(*krkn, p);
    ASSERT_GE(number, 0);
    EXPECT_LT(number, 1747284);
    for (int g = 1; g < 8; ++g) {
        bb_position q{WHITE, img(wk, g), img(bk, g), 1, 1, {ROOK, 0}, {img(r, g), 0}, KNIGHT, img(n, g), -1};
        EXPECT_EQ(bitbase_number(*krkn, q), number) << g;
    }
    // With a pawn only the files fold: K e1, K e8, pawn e2 is K d1, K d8, pawn d2.
    bb_position e{WHITE, E1, E8, 1, 0, {PAWN, 0}, {E2, 0}, 0, 0, -1};
    bb_position d{WHITE, D1, D8, 1, 0, {PAWN, 0}, {D2, 0}, 0, 0, -1};
    EXPECT_EQ(bitbase_number(*kpk, e), bitbase_number(*kpk, d));
    EXPECT_EQ(bitbase_number(*kpk, d), int64_t{egtb_index::pair_number[0][D1][D8]} * 48 + (D2 - 8));
}

// ---- the root limit ---------------------------------------------------------------------

bool probe_fails(int, int*) { return false; }

TEST_F(EgtbCommands, OnlyThreeAndFourMenAtTheRootUnderTheOption) {
    for (int& l : output_levels) l = 0;
    if (!hash_table) hash_alloc(1 << 20);
    init_clocks();
    node_limit = NO_NODE_LIMIT;
    hooks.egtb_probe = probe_fails;
    egtb_max_men = 5;
    struct {
        const char* fen;
        int four_only;
        bool probed;
    } cases[] = {
        {"8/8/8/7k/8/8/3QRP2/4K3 w - - 0 1", 0, true},
        {"8/8/8/7k/8/8/3QRP2/4K3 w - - 0 1", 1, false},
        {"8/8/8/7k/8/8/3QR3/4K3 w - - 0 1", 1, true},
    };
    for (const auto& c : cases) {
        four_men_only = c.four_only;
        const int side = position(c.fen);
        output_capture out;
        run_line("sd 1");
        think(side, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(out.text().find("fail tb table_pieces") != std::string::npos, c.probed) << c.fen;
        EXPECT_EQ(tb_men_limit, c.four_only ? 2 : 3);
    }
    max_depth = 0;
    init_clocks();
    egtb_max_men = 0;
    register_egtb_hooks();
}

}  // namespace
