// Parameter dump.
#include "front/parameters.h"

#include <cstdio>

#include "core/hash.h"
#include "core/output.h"
#include "core/settings.h"
#include "front/handlers.h"
#include "front/settings_args.h"

bool append_wrapped(std::string& text, const std::string& item, int width, size_t size, int& line, size_t& total) {
    const int length = static_cast<int>(item.size());
    total += item.size();
    if (size < 2 || total >= size - 2) return false;
    line += length;
    if (line >= width) {
        text += '\n';
        line = length;
    }
    text += item;
    return true;
}

namespace {
template <typename... Args>
std::string format(const char* f, Args... args) {
    const int n = std::snprintf(nullptr, 0, f, args...);
    std::string s(static_cast<size_t>(n > 0 ? n : 0), '\0');
    std::snprintf(s.data(), s.size() + 1, f, args...);
    return s;
}
}  // namespace

std::string print_parameters(size_t size, int width) {
    const std::string items[] = {
        format("null_low=%.2f, ", null_low / 64.0),
        format("null_high=%.2f, ", null_high / 64.0),
        format("null_endgame=%.2f, ", null_endgame / 64.0),
        format("null_split=%.2f, ", null_split / 64.0),
        format("do_prune=%d, ", prune),
        format("deep=%d, ", deepen),
        format("ut1=%d, ", ut1),
        format("ut2=%d, ", ut2),
        format("hash entries=%ld, ", static_cast<long>(hash_entries)),
        format("fail_low_early=%d, ", fail_low_early),
        format("pval=%d/256, ", pval * 256 / 192),
        format("window=%d, ", window),
        format("icheck=%.2f, ", icheck / 64.0),
        format("irepcheck=%.2f, ", irepcheck / 64.0),
        format("irecapture=%.2f, ", irecapture / 64.0),
        format("ipawn7=%.2f, ", ipawn7 / 64.0),
        format("inullthreat=%.2f, ", inullthreat / 64.0),
        format("qexact=%d (mask=%s)", qexact, qsearch_mask_text(qsearch_mask).c_str()),
    };
    std::string text;
    int line = 0;
    size_t total = 0;
    for (const std::string& item : items)
        if (!append_wrapped(text, item, width, size, line, total)) break;
    return text;
}

int cmd_parameters(const std::string&) {
    level_printf(LVL_NORMAL, "%s\n", print_parameters().c_str());
    return 0;
}
