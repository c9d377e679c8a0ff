// Registration of the table files of a list of directories. A missing file leaves its
// side unregistered; a wrong one is reported and skipped, and registration goes on.
#include <sys/stat.h>

#include <memory>

#include "core/output.h"
#include "core/state.h"
#include "egtb/compressed.h"
#include "egtb/egtb.h"

namespace {

// Problems of registration: level 7, or an "info string " line under UCI.
template <typename... Args>
void report(const char* format, Args... args) {
    const std::string text = text_printf(format, args...);
    if (uci_mode)
        level_printf(LVL_UCI, "info string %s", text.c_str());
    else
        level_printf(LVL_ERROR, "%s", text.c_str());
}

void clear_side(egtb_side_state& s) {
    if (s.file) std::fclose(s.file);
    s.file = nullptr;
    s.path.clear();
    delete s.compressed;
    s.compressed = nullptr;
    for (auto& c : s.chain) c = -1;
}

// Opens the compressed form of `path` under one of its three names.
FILE* open_compressed(const std::string& path, std::string* name) {
    const std::string plain_ext = path.substr(path.size() - 4);  // ".nbw" or ".nbb"
    const std::string stem = path.substr(0, path.size() - 4);
    const std::string names[3] = {path + ".emd", stem + "_" + plain_ext.substr(1) + ".emd",
                                  stem + plain_ext.substr(1) + ".emd"};
    for (const auto& n : names) {
        FILE* f = open_for_reading(n, "rb", true);
        if (f) {
            *name = n;
            return f;
        }
    }
    return nullptr;
}

}  // namespace

int egtb_register(const std::string& directory, int table, int side) {
    egtb_descriptor& d = egtb_tables[table];
    if (d.flags & EGTB_SYMMETRIC) side = 0;
    egtb_side_state& s = d.side[side];
    if (!s.path.empty()) return 1;
    std::string path = directory;
    if (!directory.empty()) path += "/";
    path += d.name;
    path += side ? ".nbb" : ".nbw";
    const uint32_t positions = d.positions[side];

    std::unique_ptr<egtb_compressed> compressed;
    std::string opened = path;
    FILE* f = open_for_reading(path, "rb", true);
    if (f) {
        uint64_t length = 0;
        const bool ok = file_length(f, &length);
        std::fclose(f);
        if (!ok) {
            report("*** Seek in %s failed\n", path.c_str());
            return 0;
        }
        if (positions != 0 && length != positions) {
            report("*** %s corrupted\n", path.c_str());
            return 0;
        }
    } else {
        f = open_compressed(path, &opened);
        if (!f) return 0;
        egtb_compressed_seen = true;
        uint64_t length = 0;
        const bool ok = file_length(f, &length);
        egtb_compressed* c = nullptr;
        const emd_result r = ok ? egtb_read_header(f, length, &c) : EMD_READ_ERROR;
        std::fclose(f);
        compressed.reset(c);
        if (r != EMD_OK) {
            report("*** Unable to read %s - %s\n", opened.c_str(),
                   r == EMD_READ_ERROR ? "read error"
                   : r == EMD_BROKEN   ? "file broken"
                                       : "out of memory");
            return 0;
        }
        if (compressed->block_size != EGTB_BLOCK) {
            report("*** %s: Unsupported block size %d\n", opened.c_str(), static_cast<int>(compressed->block_size));
            return 0;
        }
        const uint64_t size = uint64_t{compressed->blocks - 1} * EGTB_BLOCK + compressed->last_length;
        if (positions != 0 && size != positions) {
            report("*** %s corrupted\n", opened.c_str());
            return 0;
        }
    }

    int white[5], black[5];
    const size_t second_k = egtb_count_pieces(d.name, 1, white);
    egtb_count_pieces(d.name, second_k + 1, black);
    const int counts[10] = {white[0], white[1], white[2], white[3], white[4],
                            black[0], black[1], black[2], black[3], black[4]};
    const int swapped[10] = {black[0], black[1], black[2], black[3], black[4],
                             white[0], white[1], white[2], white[3], white[4]};
    if (!egtb_tree_insert(static_cast<int>(d.number), counts) ||
        (!(d.flags & EGTB_SYMMETRIC) && !egtb_tree_insert(-static_cast<int>(d.number), swapped))) {
        report("*** Unable to register %s\n", path.c_str());
        return 0;
    }
    s.path = compressed ? opened : path;
    s.compressed = compressed.release();
    for (auto& c : s.chain) c = -1;
    return 1;
}

int egtb_init(const std::string& directories) {
    if (egtb_cache_blocks() > 0) egtb_close_files();
    egtb_build_index_tables();
    if (!egtb_tree_build()) {
        report("*** Cannot allocate %d bytes of memory\n", static_cast<int>(286 * 4 * sizeof(int32_t)));
        return 0;
    }
    for (auto& d : egtb_tables)
        for (auto& s : d.side) clear_side(s);
    egtb_decoder_free();

    int best = 0;
    size_t start = 0;
    while (start <= directories.size()) {
        size_t end = directories.find_first_of(",;", start);
        if (end == std::string::npos) end = directories.size();
        const std::string dir = directories.substr(start, end - start);
        if (dir.size() > EGTB_DIR_MAX) {
            report("*** Directory name too long (%d characters, at most %d)\n", static_cast<int>(dir.size()),
                   static_cast<int>(EGTB_DIR_MAX));
        } else {
            for (int k = 1; k <= EGTB_TABLES; ++k) {
                if (egtb_register(dir, k, 0) && k > best) best = k;
                if (!(egtb_tables[k].flags & EGTB_SYMMETRIC) && egtb_register(dir, k, 1) && k > best) best = k;
            }
        }
        start = end + 1;
    }
    if (egtb_compressed_seen && !egtb_decoder_init()) {
        report("*** Cannot allocate decode block: error code %d\n", 210693);
        return 0;
    }
    egtb_cache_reset();
    return best >= 36 ? 5 : best >= 6 ? 4 : best >= 1 ? 3 : 0;
}
