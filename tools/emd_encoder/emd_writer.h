// Writer of compressed table files (".emd") for the tests: banner and header, the
// block-length and distance bit streams, the description of one canonical code with
// its codes A and B and their repeats, the header CRC, and the blocks, each an LZ77
// stream over the file's 24 match distances or, when that is not shorter, stored.
#pragma once

#include <cstdint>
#include <vector>

struct emd_options {
    int block_bits = 13;
    // The 24 match distances of the file.
    uint32_t distances[24] = {1, 2, 3, 4, 5, 6, 7, 8, 12, 16, 24, 32, 40, 47, 48, 56, 60, 61, 62, 63, 64, 96, 128, 256};
    bool matches = true;           // false: literals only
    bool store_all = false;        // every block stored
    bool incomplete_code = false;  // one code length made longer: the code no longer fills its space
};

// The whole file for `data`.
std::vector<uint8_t> emd_encode(const std::vector<uint8_t>& data, const emd_options& options = {});

// Offset of the header CRC in an encoded file (the section length minus 4).
uint32_t emd_crc_offset(const std::vector<uint8_t>& file);
