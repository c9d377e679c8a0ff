// Endgame tables and bitbases: the commands that register, size, make, load and check them.
#include <cctype>
#include <cstdlib>

#include "core/board.h"
#include "core/hooks.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/state.h"
#include "egtb/bitbase.h"
#include "egtb/egtb.h"
#include "front/commands.h"
#include "front/egtb_commands.h"
#include "front/handlers.h"

namespace {

bool egtb_probe_for_search(int side, int* value) { return probe_egtb(side, value) != 0; }

// The cache memory for the registered tables; the tables go off when it cannot be had.
void allocate_cache() {
    if (egtb_men > 0 && !egtb_allocate_cache_memory()) {
        level_printf(LVL_ERROR, "*** Cannot allocate %u bytes of memory\n", egtb_cache_size);
        egtb_men = 0;
    }
    egtb_max_men = egtb_men;
}

}  // namespace

void register_egtb_hooks() {
    hooks.egtb_probe = egtb_probe_for_search;
    hooks.bitbase_probe = bitbase_probe;
}

int cmd_tbldir(const std::string& arg) {
    egtb_free_cache();
    egtb_men = egtb_init(arg);
    if (egtb_men == 0) {
        level_printf(LVL_ERROR, "No endgame tables found\n");
    } else {
        level_printf(LVL_NORMAL, "%d-men endgame table bases found\n", egtb_men);
        allocate_cache();
    }
    egtb_max_men = egtb_men;
    return CMD_READ_ON;
}

int cmd_egtb_cache(const std::string& arg) {
    size_t i = 0;
    while (i < arg.size() && std::isspace(static_cast<unsigned char>(arg[i]))) ++i;
    const char* start = arg.c_str() + i;
    char* end = nullptr;
    double size = std::strtod(start, &end);
    if (end == start) size = 0;
    if (*end == 'K' || *end == 'k') size *= 1024;
    if (*end == 'M' || *end == 'm') size *= 1048576;
    // A size outside the signed 32-bit range reads as 0.
    const uint32_t wanted = size >= 0 && size <= 2147483647.0 ? static_cast<uint32_t>(size) : 0;
    const uint32_t bytes = egtb_usable_cache_size(wanted);
    if (bytes != wanted)
        level_printf(LVL_NORMAL, "egtb_cache = %u (raised from %u: the smallest cache that holds a block)\n", bytes,
                     wanted);
    else
        level_printf(LVL_NORMAL, "egtb_cache = %u\n", bytes);
    egtb_cache_size = bytes;
    if (egtb_men >= 1) {
        egtb_alloc_cache(bytes);
        if (egtb_men == 0) level_printf(LVL_ERROR, "*** Cannot allocate %u bytes of memory\n", bytes);
    }
    return CMD_READ_ON;
}

int cmd_create_bitbases(const std::string&) {
    on_scratch_board([] { create_bitbases(); });
    return CMD_READ_ON;
}

int cmd_bbpath(const std::string& arg) {
    bitbase_load(arg);
    return CMD_READ_ON;
}

int cmd_tbb(const std::string&) {
    on_scratch_board([] { bitbase_verify(); });
    return CMD_READ_ON;
}
