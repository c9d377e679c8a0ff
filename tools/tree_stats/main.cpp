// Prints the search's node-count signature and the tree figures at a fixed depth.
// Usage: tree_stats [depth] [hash megabytes]
#include <cstdio>
#include <cstdlib>

#include "core/settings.h"
#include "tree_bench.h"

int main(int argc, char** argv) {
    const int depth = argc > 1 ? std::atoi(argv[1]) : 8;
    const long megabytes = argc > 2 ? std::atol(argv[2]) : 16;
    if (depth < 1 || depth > 40 || megabytes < 1) {
        std::fprintf(stderr, "usage: tree_stats [depth 1..40] [hash megabytes]\n");
        return 2;
    }
    // The same switches as the engine's: a part left out shows what it does to the tree.
    if (const char* off = std::getenv("ORVIK_OFF"); off && !parse_features_off(off, &features_off)) {
        std::fprintf(stderr, "ORVIK_OFF: unknown name in \"%s\"\n", off);
        return 2;
    }
    tree_bench_init(megabytes << 20);
    const tree_totals t = run_tree_bench(depth);
    std::fputs(tree_report(t, depth).c_str(), stdout);
    return 0;
}
