// The table rows with their run-time state, and the material tree that maps the piece
// counts of a position to a signed table number.
#include <new>
#include <vector>

#include "egtb/egtb.h"
#include "egtb/rows.h"

egtb_descriptor egtb_tables[EGTB_TABLES + 1];

namespace {

// Rows from the built-in list; the run-time state starts empty.
struct rows_setup {
    rows_setup() {
        for (int t = 0; t <= EGTB_TABLES; ++t) {
            egtb_descriptor& d = egtb_tables[t];
            d.number = static_cast<uint32_t>(t);
            d.flags = egtb_rows[t].symmetric ? EGTB_SYMMETRIC : 0;
            d.index[0] = egtb_index_fn(t, 0);
            d.index[1] = egtb_index_fn(t, 1);
            for (int i = 0; i < 8; ++i) {
                d.name[i] = egtb_rows[t].name[i];
                if (!d.name[i]) break;
            }
            d.name[7] = 0;
            d.positions[0] = egtb_rows[t].positions_white;
            d.positions[1] = egtb_rows[t].positions_black;
            for (auto& s : d.side)
                for (auto& c : s.chain) c = -1;
        }
    }
} rows_setup_instance;

// Tree nodes in one arena: a node is its largest index m followed by m + 1 slots; at
// levels 0..8 a slot holds the offset of the next level's node, at level 9 the number.
std::vector<int32_t> tree;

int32_t tree_node(int m, int depth) {
    const int32_t at = static_cast<int32_t>(tree.size());
    tree.push_back(m);
    for (int j = 0; j <= m; ++j) tree.push_back(0);
    if (depth > 0)
        for (int j = 0; j <= m; ++j) {
            const int32_t child = tree_node(m - j, depth - 1);
            tree[static_cast<size_t>(at + 1 + j)] = child;
        }
    return at;
}

}  // namespace

// Builds the tree once (all leaves 0); false when it cannot be allocated.
bool egtb_tree_build() {
    if (!tree.empty()) return true;
    try {
        tree_node(3, 9);
    } catch (const std::bad_alloc&) {
        tree.clear();
        return false;
    }
    return true;
}

void egtb_tree_clear() {
    tree.clear();
    egtb_tree_build();
}

size_t egtb_count_pieces(const char* name, size_t pos, int counts[5]) {
    for (int i = 0; i < 5; ++i) counts[i] = 0;
    for (; name[pos] && name[pos] != 'k'; ++pos) {
        switch (name[pos]) {
            case 'n': ++counts[1]; break;
            case 'b': ++counts[2]; break;
            case 'r': ++counts[3]; break;
            case 'q': ++counts[4]; break;
            default: ++counts[0]; break;
        }
    }
    return pos;
}

bool egtb_tree_insert(int number, const int counts[10]) {
    if (tree.empty()) return false;
    int32_t node = 0;
    for (int i = 0; i < 10; ++i) {
        const int32_t m = tree[static_cast<size_t>(node)];
        if (counts[i] < 0 || counts[i] > m) return false;
        const size_t slot = static_cast<size_t>(node + 1 + counts[i]);
        if (i == 9) {
            tree[slot] = number;
            return true;
        }
        node = tree[slot];
    }
    return false;
}

int egtb_find_table(const int counts[10]) {
    if (tree.empty()) return 0;
    int32_t node = 0;
    for (int i = 0; i < 10; ++i) {
        const int32_t m = tree[static_cast<size_t>(node)];
        if (counts[i] > m) return 0;
        node = tree[static_cast<size_t>(node + 1 + counts[i])];
    }
    return node;
}

bool egtb_registered(int table, int side) {
    if (table < 1 || table > EGTB_TABLES) return false;
    const egtb_descriptor& d = egtb_tables[table];
    return !d.side[(d.flags & EGTB_SYMMETRIC) ? 0 : side].path.empty();
}
