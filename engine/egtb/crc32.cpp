// CRC-32 with the reflected polynomial 0xEDB88320, in its two forms: without final
// inversion from a given start (table headers) and the standard one (bitbase files).
#include "egtb/egtb.h"

namespace {
uint32_t crc_table[256];
bool crc_ready = false;
}  // namespace

void crc32_init() {
    if (crc_ready) return;
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        crc_table[n] = c;
    }
    crc_ready = true;
}

uint32_t egtb_crc32(const uint8_t* data, size_t length, uint32_t crc) {
    crc32_init();
    for (size_t i = 0; i < length; ++i) crc = crc_table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

uint32_t crc32_standard(const uint8_t* data, size_t length) { return ~egtb_crc32(data, length, 0xFFFFFFFFu); }
