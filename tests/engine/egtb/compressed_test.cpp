// Compressed table files and the block cache: files from the writer read back byte for
// byte, hand-built streams decode as the format says, and every broken header, block
// or stream is refused without reading or writing outside its buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "child_process.h"
#include "egtb/compressed.h"
#include "egtb/egtb.h"
#include "emd_writer.h"

namespace {

using bytes = std::vector<uint8_t>;

void write_file(const std::string& path, const bytes& data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    ASSERT_EQ(std::fwrite(data.data(), 1, data.size(), f), data.size());
    std::fclose(f);
}

// Table-like contents: runs, repeating patterns and noise.
bytes table_like(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    bytes d(n);
    for (size_t i = 0; i < n;) {
        const size_t run = 1 + rng() % 200;
        const int kind = static_cast<int>(rng() % 3);
        const uint8_t v = static_cast<uint8_t>(rng());
        for (size_t k = 0; k < run && i < n; ++k, ++i)
            d[i] = kind == 0   ? v
                   : kind == 1 ? static_cast<uint8_t>(i >= 61 ? d[i - 61] : v)
                               : static_cast<uint8_t>(rng());
    }
    return d;
}

bytes random_bytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    bytes d(n);
    for (auto& b : d) b = static_cast<uint8_t>(rng());
    return d;
}

// A cache of its own for each test.
struct cache_memory {
    explicit cache_memory(size_t size) : area(size) { egtb_set_cache(area.data(), area.size()); }
    ~cache_memory() { egtb_set_cache(nullptr, 0); }
    std::vector<uint8_t> area;
};

constexpr uint32_t KPK_WHITE = 81664, KPK_BLACK = 84012;

// Registers a folder and reads every entry of kpk, White to move, through the cache.
void expect_reads_back(const std::string& dir, const bytes& data) {
    ASSERT_EQ(egtb_init(dir), 3);
    ASSERT_TRUE(egtb_registered(1, 0));
    cache_memory cache(1 << 20);
    for (uint32_t i = 0; i < data.size(); ++i)
        ASSERT_EQ(egtb_read_block(1, 0, i >> 13, i & 0x1FFF), static_cast<int8_t>(data[i])) << "entry " << i;
}

TEST(Compressed, FilesOfTheWriterReadBackUnderEachName) {
    const bytes data = table_like(KPK_WHITE, 1);
    const bytes file = emd_encode(data);
    EXPECT_LT(file.size(), data.size());
    for (const char* name : {"kpk.nbw.emd", "kpk_nbw.emd", "kpknbw.emd"}) {
        testsupport::TempDir dir;
        write_file(dir.file(name), file);
        expect_reads_back(dir.path(), data);
    }
}

TEST(Compressed, BothSidesRegisterFromTheirCompressedFiles) {
    testsupport::TempDir dir;
    write_file(dir.file("kpknbw.emd"), emd_encode(table_like(KPK_WHITE, 11)));
    write_file(dir.file("kpknbb.emd"), emd_encode(table_like(KPK_BLACK, 12)));
    ASSERT_EQ(egtb_init(dir.path()), 3);
    EXPECT_TRUE(egtb_registered(1, 0));
    EXPECT_TRUE(egtb_registered(1, 1));
    EXPECT_EQ(egtb_tables[1].side[1].path, dir.file("kpknbb.emd"));
}

TEST(Compressed, IncompressibleBlocksAreStored) {
    const bytes data = random_bytes(KPK_WHITE, 2);
    const bytes file = emd_encode(data);
    // Every block is kept as it is: the file is the data and its header.
    EXPECT_GT(file.size(), data.size());
    testsupport::TempDir dir;
    write_file(dir.file("kpk.nbw.emd"), file);
    expect_reads_back(dir.path(), data);
}

TEST(Compressed, LiteralsOnlyAndStoredFilesReadBack) {
    const bytes data = table_like(KPK_WHITE, 3);
    for (const bool store : {false, true}) {
        emd_options o;
        o.matches = false;
        o.store_all = store;
        testsupport::TempDir dir;
        write_file(dir.file("kpk.nbw.emd"), emd_encode(data, o));
        expect_reads_back(dir.path(), data);
    }
}

// A decoder description with its code built from lengths.
egtb_compressed code_of(const std::vector<std::pair<int, int>>& lengths) {
    egtb_compressed c{};
    uint8_t len[EMD_SYMBOLS] = {};
    for (auto [s, l] : lengths) len[s] = static_cast<uint8_t>(l);
    EXPECT_EQ(egtb_build_decode_table(len, EMD_SYMBOLS, 13, c.code), 0);
    for (uint32_t& d : c.distance) d = 1;
    return c;
}

TEST(Compressed, HandBuiltBlocks) {
    // 'A' is 0 and the match of distance 1 and length 20 (slot 0, length code 16 with
    // the two extra bits 10) is 1: the bits 0 1 10 make one 'A' and twenty more.
    {
        const egtb_compressed c = code_of({{'A', 1}, {256 + 16, 1}});
        const uint8_t in[1] = {0x60};
        uint8_t out[21];
        ASSERT_TRUE(egtb_decode_block(c, in, 1, out, 21));
        for (uint8_t b : out) EXPECT_EQ(b, 'A');
    }
    // A code of one symbol decodes without reading any bit.
    {
        const egtb_compressed c = code_of({{'B', 1}});
        const uint8_t in[1] = {0xFF};
        uint8_t out[5];
        ASSERT_TRUE(egtb_decode_block(c, in, 1, out, 5));
        EXPECT_EQ(std::string(out, out + 5), "BBBBB");
    }
    // A match that reaches before the block's start fails the block.
    {
        const egtb_compressed c = code_of({{'A', 1}, {256 + 16, 1}});
        const uint8_t in[1] = {0x80};  // the match comes first
        uint8_t out[21];
        EXPECT_FALSE(egtb_decode_block(c, in, 1, out, 21));
    }
    // Symbols past the block's bytes fail it.
    {
        const egtb_compressed c = code_of({{'A', 1}, {'C', 1}});
        const uint8_t in[1] = {0x55};
        uint8_t out[9];
        EXPECT_TRUE(egtb_decode_block(c, in, 1, out, 8));
        EXPECT_FALSE(egtb_decode_block(c, in, 1, out, 9));
    }
    // An empty code decodes nothing.
    {
        const egtb_compressed c = code_of({});
        const uint8_t in[1] = {0};
        uint8_t out[1];
        EXPECT_FALSE(egtb_decode_block(c, in, 1, out, 1));
    }
}

TEST(Compressed, CodeTablesRefuseBrokenLengths) {
    emd_code code;
    uint8_t len[8] = {1, 2, 0, 0, 0, 0, 0, 0};  // fills three quarters of the space
    EXPECT_NE(egtb_build_decode_table(len, 8, 8, code), 0);
    uint8_t single[8] = {0, 0, 3, 0, 0, 0, 0, 0};  // one code of length 3
    EXPECT_NE(egtb_build_decode_table(single, 8, 8, code), 0);
    uint8_t over[8] = {32, 1, 1, 0, 0, 0, 0, 0};
    EXPECT_NE(egtb_build_decode_table(over, 8, 8, code), 0);
    uint8_t full[8] = {1, 2, 3, 3, 0, 0, 0, 0};
    EXPECT_EQ(egtb_build_decode_table(full, 8, 8, code), 0);
    // Codes longer than the lookup width go on through nodes: 0, 10, 110, ..., 1111111 1111111.
    uint8_t deep[16];
    for (int i = 0; i < 15; ++i) deep[i] = static_cast<uint8_t>(i + 1);
    deep[15] = 15;
    ASSERT_EQ(egtb_build_decode_table(deep, 16, 8, code), 0);
    const uint8_t fourteen[2] = {0xFF, 0xFC};  // fourteen ones and a zero: symbol 14
    emd_bits a(fourteen, 2);
    EXPECT_EQ(egtb_decode_symbol(code, a), 14);
    const uint8_t fifteen[2] = {0xFF, 0xFE};  // fifteen ones: symbol 15
    emd_bits b(fifteen, 2);
    EXPECT_EQ(egtb_decode_symbol(code, b), 15);
    EXPECT_EQ(b.position(), 15u);
}

// The header section of a writer's file with one byte changed; registration must refuse it.
struct broken_case {
    const char* what;
    size_t at;  // byte to change (~0: the CRC, ~1: cut in the header, ~2: cut in the blocks)
    uint8_t value;
};

TEST(Compressed, BrokenHeadersLeaveTheSideUnregistered) {
    const bytes data = table_like(KPK_WHITE, 4);
    const bytes good = emd_encode(data);
    const uint32_t crc_at = emd_crc_offset(good);
    const broken_case cases[] = {
        {"banner", 3, 'x'},
        {"block-size exponent 17", 70, 17},
        {"23 distances", 71, 23},
        {"format mark", 79, 0xF4},
        {"section length below 84", 67, 80},
        {"changed CRC", crc_at, 0},
        {"cut in the header", ~size_t{1}, 0},
        {"cut in the blocks", ~size_t{2}, 0},
        {"block size 4096", 70, 12},
    };
    for (const broken_case& c : cases) {
        bytes file = good;
        if (c.at == ~size_t{1})
            file.resize(crc_at - 10);
        else if (c.at == ~size_t{2})
            file.resize(file.size() - 100);
        else if (c.at == crc_at)
            file[crc_at] ^= 0x5A;
        else
            file[c.at] = c.value;
        testsupport::TempDir dir;
        write_file(dir.file("kpk.nbw.emd"), file);
        EXPECT_EQ(egtb_init(dir.path()), 0) << c.what;
        EXPECT_FALSE(egtb_registered(1, 0)) << c.what;
    }
    // An incomplete code.
    emd_options o;
    o.incomplete_code = true;
    testsupport::TempDir dir;
    write_file(dir.file("kpk.nbw.emd"), emd_encode(data, o));
    EXPECT_EQ(egtb_init(dir.path()), 0);
}

TEST(Compressed, ABlockPastTheLastDropsTheSide) {
    const bytes data = table_like(KPK_WHITE, 5);
    testsupport::TempDir dir;
    write_file(dir.file("kpk.nbw.emd"), emd_encode(data));
    ASSERT_EQ(egtb_init(dir.path()), 3);
    cache_memory cache(1 << 20);
    const uint32_t blocks = (KPK_WHITE + 8191) / 8192;
    EXPECT_EQ(egtb_read_block(1, 0, blocks - 1, 0), static_cast<int8_t>(data[(blocks - 1) * 8192]));
    EXPECT_EQ(egtb_read_block(1, 0, blocks, 0), EGTB_NOT_AVAILABLE);
    EXPECT_FALSE(egtb_registered(1, 0));
    EXPECT_EQ(egtb_probe_table(1, 0, 0), EGTB_NOT_AVAILABLE);
}

TEST(Compressed, ACorruptBlockDropsTheSide) {
    const bytes data = table_like(KPK_WHITE, 6);
    bytes file = emd_encode(data);
    // Spoil the first block's stream (not its length): the decode fails somewhere.
    const uint32_t h = emd_crc_offset(file) + 4;
    for (size_t i = h; i < h + 40 && i < file.size(); ++i) file[i] = 0xFF;
    testsupport::TempDir dir;
    write_file(dir.file("kpk.nbw.emd"), file);
    ASSERT_EQ(egtb_init(dir.path()), 3);
    cache_memory cache(1 << 20);
    int differs = 0;
    const int v = egtb_read_block(1, 0, 0, 0);
    if (v == EGTB_NOT_AVAILABLE) {
        EXPECT_FALSE(egtb_registered(1, 0));
    } else {
        // A block that decodes to other bytes is accepted as read: no check covers it.
        for (uint32_t i = 0; i < 8192 && egtb_registered(1, 0); ++i)
            differs += egtb_read_block(1, 0, 0, i) != static_cast<int8_t>(data[i]);
        EXPECT_GT(differs, 0);
    }
}

TEST(BlockCache, TooSmallACacheHasNoBlocks) {
    testsupport::TempDir dir;
    write_file(dir.file("kpk.nbw"), table_like(KPK_WHITE, 7));
    ASSERT_EQ(egtb_init(dir.path()), 3);
    std::vector<uint8_t> area(8259);
    EXPECT_EQ(egtb_set_cache(area.data(), area.size()), 1);
    EXPECT_EQ(egtb_cache_blocks(), 0);
    EXPECT_EQ(egtb_probe_table(1, 0, 5), EGTB_NOT_AVAILABLE);
    EXPECT_EQ(egtb_set_cache(area.data(), 31), 0);
    EXPECT_EQ(egtb_set_cache(area.data(), 8260), 1);
    EXPECT_EQ(egtb_cache_blocks(), 1);
    egtb_set_cache(nullptr, 0);
}

TEST(BlockCache, OneBlockSharedByTwoSidesIsReadAgainEachTime) {
    testsupport::TempDir dir;
    bytes white = table_like(KPK_WHITE, 8), black = table_like(KPK_BLACK, 9);
    write_file(dir.file("kpk.nbw"), white);
    write_file(dir.file("kpk.nbb"), black);
    ASSERT_EQ(egtb_init(dir.path()), 3);
    cache_memory cache(8260);
    ASSERT_EQ(egtb_cache_blocks(), 1);
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(egtb_read_block(1, 0, 0, 10), static_cast<int8_t>(white[10]));
        EXPECT_EQ(egtb_read_block(1, 1, 0, 10), static_cast<int8_t>(black[10]));
        // The White file changes on disk: only a block read again sees it.
        white[10] = static_cast<uint8_t>(white[10] + 1);
        FILE* f = std::fopen(dir.file("kpk.nbw").c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        std::fseek(f, 10, SEEK_SET);
        std::fputc(white[10], f);
        std::fclose(f);
    }
    // A bigger cache keeps both blocks: the change on disk is no longer seen.
    cache_memory big(2 * 8260);
    EXPECT_EQ(egtb_read_block(1, 0, 0, 10), static_cast<int8_t>(white[10]));
    EXPECT_EQ(egtb_read_block(1, 1, 0, 10), static_cast<int8_t>(black[10]));
    FILE* f = std::fopen(dir.file("kpk.nbw").c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    std::fseek(f, 10, SEEK_SET);
    std::fputc(white[10] + 1, f);
    std::fclose(f);
    EXPECT_EQ(egtb_read_block(1, 0, 0, 10), static_cast<int8_t>(white[10]));
}

TEST(Probe, StoredBytesBecomeScores) {
    const struct {
        int stored, score;
    } cases[] = {{0, 0},         {1, 32641},     {126, 32766},  {-1, -32641},
                 {-126, -32766}, {-127, -32640}, {-128, 32640}, {127, EGTB_NOT_AVAILABLE}};
    for (const auto& c : cases) EXPECT_EQ(egtb_stored_to_score(c.stored), c.score) << c.stored;
}

TEST(Probe, KnownBadEntriesOfKppkpAnswerWithoutTheirFile) {
    egtb_init("");
    for (uint32_t i : {56802428u, 56811076u, 56849992u, 56858640u, 59592489u, 67775659u, 71071628u}) {
        EXPECT_EQ(egtb_probe_table(36, 1, i), -32639);
        EXPECT_EQ(egtb_probe_table(36, 0, i), EGTB_NOT_AVAILABLE);
    }
    EXPECT_EQ(egtb_probe_table(36, 1, 56802429u), EGTB_NOT_AVAILABLE);
}

// ---- the solved tables (release tree) -----------------------------------------------

bytes read_all(const std::string& path) {
    bytes d;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return d;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) d.insert(d.end(), buf, buf + n);
    std::fclose(f);
    return d;
}

// Longest wins and the draws of the solved tables.
TEST(DISABLED_SolvedTables, LongestMatesAndDrawnEndings) {
    const struct {
        const char* file;
        int longest;  // moves to mate, 0 for an ending with no win
    } cases[] = {{"kqk.nbw", 10}, {"krk.nbw", 16}, {"kbnk.nbw", 33}, {"knk.nbw", 0},
                 {"knk.nbb", 0},  {"kbk.nbw", 0},  {"kbk.nbb", 0}};
    for (const auto& c : cases) {
        const bytes data = read_all(std::string(EGTB_TABLE_DIR) + "/" + c.file);
        ASSERT_FALSE(data.empty()) << c.file;
        int longest = 0;
        bool only_draws = true;
        for (uint8_t b : data) {
            const int v = static_cast<int8_t>(b);
            if (v > 0 && v < 127) longest = std::max(longest, 127 - v);
            only_draws = only_draws && (v == 0 || v == 127);
        }
        EXPECT_EQ(longest, c.longest) << c.file;
        if (c.longest == 0) {
            EXPECT_TRUE(only_draws) << c.file;
        }
    }
}

TEST(DISABLED_CompressedTables, ReadLikeThePlainFiles) {
    testsupport::TempDir dir;
    std::vector<std::pair<std::string, bytes>> plain;
    for (int t = 1; t <= 35; ++t)
        for (int side = 0; side < 2; ++side) {
            if (side && (egtb_tables[t].flags & EGTB_SYMMETRIC)) continue;
            const std::string name = std::string(egtb_tables[t].name) + (side ? ".nbb" : ".nbw");
            bytes data = read_all(std::string(EGTB_TABLE_DIR) + "/" + name);
            ASSERT_EQ(data.size(), egtb_tables[t].positions[side]) << name;
            write_file(dir.file(name + ".emd"), emd_encode(data));
            plain.emplace_back(name, std::move(data));
        }
    ASSERT_EQ(egtb_init(dir.path()), 4);
    cache_memory cache(4 << 20);
    std::mt19937 rng(35);
    size_t k = 0;
    for (int t = 1; t <= 35; ++t)
        for (int side = 0; side < 2; ++side) {
            if (side && (egtb_tables[t].flags & EGTB_SYMMETRIC)) continue;
            const bytes& data = plain[k++].second;
            ASSERT_TRUE(egtb_registered(t, side)) << egtb_tables[t].name;
            const std::string name = egtb_tables[t].name;
            const bool every = name == "kpk" || name == "krk" || name == "krkn" || name == "kpkp";
            const uint32_t n = every ? static_cast<uint32_t>(data.size()) : 3000;
            for (uint32_t j = 0; j < n; ++j) {
                const uint32_t i = every ? j : static_cast<uint32_t>(rng() % data.size());
                ASSERT_EQ(egtb_read_block(t, side, i >> 13, i & 0x1FFF), static_cast<int8_t>(data[i]))
                    << name << " side " << side << " entry " << i;
            }
        }
}

}  // namespace
