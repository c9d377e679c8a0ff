#include "core/settings.h"

#include <cstring>
#include <string>

uint32_t features_off = 0;

bool parse_features_off(const char* text, uint32_t* out) {
    static const struct {
        const char* name;
        uint32_t bit;
    } names[] = {{"verify", OFF_VERIFY},        {"killers", OFF_KILLERS},          {"history", OFF_HISTORY},
                 {"tablecuts", OFF_TABLE_CUTS}, {"threatbit", OFF_THREAT_BIT},     {"lazy", OFF_LAZY},
                 {"pawns", OFF_PAWNS},          {"passers", OFF_PASSERS},          {"king", OFF_KING},
                 {"mobility", OFF_MOBILITY},    {"rooksqueens", OFF_ROOKS_QUEENS}, {"endings", OFF_ENDINGS},
                 {"imbalance", OFF_IMBALANCE}};
    uint32_t bits = 0;
    const std::string list = text ? text : "";
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        const std::string word = list.substr(start, end - start);
        if (!word.empty()) {
            bool known = false;
            for (const auto& n : names)
                if (word == n.name) {
                    bits |= n.bit;
                    known = true;
                }
            if (!known) return false;
        }
        start = end + 1;
    }
    *out = bits;
    return true;
}

int null_low = 192;
int null_high = 192;
int null_endgame = 128;
int null_split = 352;
int icheck = 64, irepcheck = 38, irecapture = 38, ipawn7 = 64, inullthreat = 64, ipawne = 89, ionerep = 64;
int prune = 1;
int deepen = 1;
int fail_low_early = 1;
int window = 40;
int ut1 = 2, ut2 = 26;
int qexact = 2;
int qsearch_mask = Q_SKIP_LOSERS | Q_ALL_MOVES_IN_CHECK | Q_CHECK_WINNERS;
int trosk_mode = 0;
int tb_usage = 3;
uint32_t node_limit = NO_NODE_LIMIT;
bool clock_with_node_limit = false;
uint32_t noise = 0;
int max_depth = 0;
int mate_limit = 0;

int nmoves_inctime = 5;
double mintime_factor = 0.5;
double time_factor = 1.0;
int hard = 0;
int ignore_time = 0;

int pval = 192;
int nval = 1;

int rscore = -800;
int rmoves = 4;
int resign_on = 1;
int bell = 0;
int kids_mode = 0;
int eml_mode = 0;

int use_book = 1;
int book_random = 1, book_split = 0, book_mode = 0, overwrite_vgm = 0, show_book = 0;
int book_learn = 0;
int pos_learn = 0;
int posentries = 10000;
double min_learn_tc = 300.0;
int margin_book_learn_white = -50, margin_book_learn_black = -70, margin_pos_learn = 40;

int show_eco = 1;
int max_PV_WB = 200, max_PV_tellics = 350;
int space_in_PV = 0, move_number_in_PV = 1;
int pv_marks = 1;
int autokibitz = 0, op_info = 0;
int ignore_system = 0;

int uci_show_hashfull = 0;
int uci_egtb_info = 1;
int uci_debug = 0;
int four_men_only = 0;
int autoplayer_delay = 0;
int announce_mate_on = 0;
