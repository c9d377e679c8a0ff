#include "book/eco.h"

#include "core/board.h"
#include "core/output.h"

std::string eco_name, eco_code, opening_name, variation_name;

namespace {
constexpr uint32_t ECO_BUCKETS = 1008;
constexpr uint32_t ECO_NODES = 3 * ECO_BUCKETS;

struct eco_node {
    const eco_entry* row;
    uint32_t next;  // index of the next node of the chain, 0 = end (node 0 is a head)
};
eco_node nodes[ECO_NODES];
uint32_t nodes_used = ECO_BUCKETS;

bool same_row(const eco_entry* row, uint32_t key_lo, uint32_t key_hi, int side) {
    return row->key[0] == key_lo && row->key[1] == key_hi && row->side == side;
}
}  // namespace

void eco_init() {
    for (eco_node& n : nodes) n = eco_node{nullptr, 0};
    nodes_used = ECO_BUCKETS;
    for (const eco_entry* row = eco_table;; ++row) {
        uint32_t at = row->key[0] % ECO_BUCKETS;
        for (;;) {
            eco_node& n = nodes[at];
            if (!n.row || same_row(n.row, row->key[0], row->key[1], row->side)) {
                n.row = row;
                break;
            }
            if (n.next == 0) {
                if (nodes_used == ECO_NODES) break;
                n.next = nodes_used++;
            }
            at = n.next;
        }
        if (row->key[0] == 0 && row->key[1] == 0 && row->side == 0 && row->eco[0] == '\0') break;
    }
}

int eco_lookup(int side, std::string* text, uint32_t key_lo, uint32_t key_hi, std::string* code, std::string* opening,
               std::string* variation) {
    for (uint32_t at = key_lo % ECO_BUCKETS;;) {
        const eco_node& n = nodes[at];
        if (!n.row) return 0;
        if (same_row(n.row, key_lo, key_hi, side)) {
            const eco_entry& r = *n.row;
            if (text) {
                *text = std::string(r.eco) + " " + r.opening;
                if (r.variation[0]) *text += std::string(" (") + r.variation + ")";
            }
            if (code) *code = r.eco;
            if (opening) *opening = r.opening;
            if (variation) *variation = r.variation;
            return 1;
        }
        if (n.next == 0) return 0;
        at = n.next;
    }
}

bool eco_update_game(int side) {
    return eco_lookup(side, &eco_name, board.key_lo(), board.key_hi(), &eco_code, &opening_name, &variation_name) != 0;
}

void eco_clear_game() {
    eco_name.clear();
    eco_code.clear();
    opening_name.clear();
    variation_name.clear();
}

std::string eco_tag_lines(const std::string& code, const std::string& opening, const std::string& variation) {
    std::string s;
    if (!code.empty()) s += text_printf("[ECO \"%s\"]\n", code.c_str());
    if (!opening.empty()) s += text_printf("[Opening \"%s\"]\n", opening.c_str());
    if (!variation.empty()) s += text_printf("[Variation \"%s\"]\n", variation.c_str());
    return s;
}
