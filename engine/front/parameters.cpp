// Parameter dump.
#include "front/parameters.h"

#include <cstdio>

#include "core/hash.h"
#include "core/output.h"
#include "core/settings.h"
#include "front/commands.h"
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

std::string print_parameters(size_t size, int width) {
    const std::string items[] = {
        text_printf("null_low=%.2f, ", null_low / 64.0),
        text_printf("null_high=%.2f, ", null_high / 64.0),
        text_printf("null_endgame=%.2f, ", null_endgame / 64.0),
        text_printf("null_split=%.2f, ", null_split / 64.0),
        text_printf("do_prune=%d, ", prune),
        text_printf("deep=%d, ", deepen),
        text_printf("ut1=%d, ", ut1),
        text_printf("ut2=%d, ", ut2),
        text_printf("hash entries=%ld, ", static_cast<long>(hash_entries)),
        text_printf("fail_low_early=%d, ", fail_low_early),
        text_printf("pval=%d/256, ", pval * 256 / 192),
        text_printf("window=%d, ", window),
        text_printf("icheck=%.2f, ", icheck / 64.0),
        text_printf("irepcheck=%.2f, ", irepcheck / 64.0),
        text_printf("irecapture=%.2f, ", irecapture / 64.0),
        text_printf("ipawn7=%.2f, ", ipawn7 / 64.0),
        text_printf("inullthreat=%.2f, ", inullthreat / 64.0),
        text_printf("qexact=%d (mask=%s)", qexact, qsearch_mask_text(qsearch_mask).c_str()),
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
    return CMD_READ_ON;
}
