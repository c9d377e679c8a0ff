// The UCI option table.
#include "front/uci_options.h"

#include <cctype>
#include <climits>

#include "core/hash.h"
#include "core/output.h"
#include "core/settings.h"
#include "core/types.h"
#include "front/commands.h"
#include "front/handlers.h"
#include "front/settings_args.h"

namespace {

void debug_echo(const char* format, const std::string& text) {
    if (uci_debug) level_printf(LVL_UCI, format, text.c_str());
}

void debug_echo(const char* format, int value) {
    if (uci_debug) level_printf(LVL_UCI, format, value);
}

int clamp_option(const std::string& value, int low, int high) {
    const int v = read_integer_arg(value);
    return v < low ? low : v > high ? high : v;
}

int on_off(const std::string& value) { return uci_boolean(value) ? 1 : 0; }

// The first of `choices` that begins the value (without regard to case), -1 for none.
int choice_of(const std::string& value, const char* const* choices) {
    for (int i = 0; choices[i]; ++i)
        if (match_option(choices[i], value)) return i;
    return -1;
}

int percent(int sixty_fourths) { return sixty_fourths * 100 / 64; }

// A spin option in percent of a ply, stored in 1/64 ply.
void set_percent(const char* option, int& target, const std::string& value) {
    const int v = read_integer_arg(value);
    level_printf(LVL_UCI, "info string %s=%d\n", option, v);
    const long long scaled = static_cast<long long>(v) * 64 / 100;
    target = limit_plies_setting(static_cast<int>(scaled > INT_MAX ? INT_MAX : scaled < INT_MIN ? INT_MIN : scaled));
}

constexpr const char* egtb_info_choices[] = {"never", "at end of search", "allways", nullptr};
constexpr const char* tb_usage_choices[] = {"Never", "Only at root", "Very Low", "Low", "Normal", "High", nullptr};
constexpr const char* selectivity_choices[] = {"None", "Normal", "Risky", nullptr};
constexpr const char* extension_choices[] = {"Normal", "Aggressive", nullptr};

void set_hash(const std::string& value) {
    debug_echo("info string hash=%s\n", value);
    // The announced range holds before the size in bytes is formed.
    const long megabytes = clamp_option(value, 1, static_cast<int>(hash_max_megabytes()));
    hash_alloc(megabytes * 1048576L);
}

void set_bitbase_path(const std::string& value) {
    std::string path = value;
    size_t i = 0;
    while (i < path.size() && is_blank(path[i])) ++i;
    std::string head = path.substr(i, 7);
    for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (head == "<empty>") path.clear();
    debug_echo("info string bbpath=%s\n", path);
    cmd_bbpath(path);
}

void set_egtb_info(const std::string& value) {
    const int choice = choice_of(value, egtb_info_choices);
    uci_egtb_info = choice < 0 ? 1 : choice;
    debug_echo("show egtb=%d\n", uci_egtb_info);
}

void set_tb_usage(const std::string& value) {
    // "Never" is -1, "Only at root" 0 and so on; a value not listed is "Normal".
    const int choice = choice_of(value, tb_usage_choices);
    tb_usage = choice < 0 ? 3 : choice - 1;
    debug_echo("tb_usage=%d\n", tb_usage);
}

void set_selectivity(const std::string& value) {
    const int choice = choice_of(value, selectivity_choices);
    if (choice == 0) {
        null_high = null_low = null_endgame = 0;
        prune = 0;
    } else if (choice == 2) {
        null_high = 256;
        null_low = 192;
        null_endgame = 192;
        null_split = 288;
        prune = 1;
    } else {
        null_high = 192;
        null_low = 192;
        null_endgame = 128;
        prune = 1;
    }
    debug_echo("Selectivity=%s\n", value);
}

void set_book_learning(const std::string& value) {
    if (uci_boolean(value))
        book_learn |= BOOK_LEARN_WRITE;
    else
        book_learn &= ~BOOK_LEARN_WRITE;
    debug_echo("do_book_learn=%d\n", book_learn);
}

void set_hash_performance(const std::string& value) {
    uci_show_hashfull = on_off(value);
    if (uci_show_hashfull) level_printf(LVL_UCI, "info string I am showing hash_found/hash_probe as Hash\n");
}

using T = uci_option_type;

}  // namespace

const uci_option uci_options[] = {
    // clang-format off
    {.name = "Ponder", .type = T::check, .default_text = "false", .set = [](const std::string& v) {
         hard = on_off(v);
         debug_echo("info string do_ponder=%d\n", hard);
     }},
    {.name = "Hash", .type = T::spin, .default_text = "1", .min = 1, .max_now = hash_max_megabytes, .default_first = true,
     .set = set_hash},
    {.name = "NalimovCache", .type = T::spin, .default_text = "2", .min = 1, .max = 64,
     .set = [](const std::string& v) { cmd_egtb_cache(std::to_string(clamp_option(v, 1, 64)) + "M"); }},
    {.name = "NalimovPath", .type = T::string, .default_text = "<empty>", .set = [](const std::string& v) {
         debug_echo("info string tbldir=%s\n", v);
         cmd_tbldir(v);
     }},
    {.name = "Position Learning", .type = T::check, .default_text = "true", .set = [](const std::string& v) {
         debug_echo("info string pos_learn=%s\n", v);
         cmd_pos_learn(uci_boolean(v) ? "1" : "0");
     }},
    {.name = "Log File", .type = T::check, .default_text = "false", .set = [](const std::string& v) {
         debug_echo("info string Log File=%s\n", v);
         cmd_auto_log(uci_boolean(v) ? "1" : "0");
     }},
    {.name = "Show hash performance", .type = T::check, .default_text = "false", .set = set_hash_performance},
    {.name = "Show add. EGTB info", .type = T::combo, .default_text = "at end of search", .choices = egtb_info_choices,
     .set = set_egtb_info},
    {.name = "Endgame-Database Usage", .type = T::combo, .default_text = "Normal", .choices = tb_usage_choices,
     .set = set_tb_usage},
    {.name = "Use only 3 and 4-men TBs", .type = T::check, .current = [] { return four_men_only; },
     .set = [](const std::string& v) {
         four_men_only = on_off(v);
         debug_echo("four_men_only=%d\n", four_men_only);
     }},
    {.name = "OwnBook", .type = T::check, .default_text = "true", .set = [](const std::string& v) {
         use_book = on_off(v);
         debug_echo("use_book=%d\n", use_book);
     }},
    {.name = "BookFile", .type = T::string, .default_text = "kvbook.bin", .set = [](const std::string& v) { cmd_book_file(v); }},
    {.name = "LearnBookFile", .type = T::string, .default_text = "kvlearn.bin",
     .set = [](const std::string& v) { cmd_lbook_file(v); }},
    {.name = "BookLearning", .type = T::check, .current = [] { return book_learn & BOOK_LEARN_WRITE; },
     .set = set_book_learning},
    {.name = "Book Random", .type = T::check, .current = [] { return book_random; }, .set = [](const std::string& v) {
         book_random = on_off(v);
         debug_echo("book_random=%d\n", book_random);
     }},
    {.name = "BitbasePath", .type = T::string, .default_text = "<empty>", .set = set_bitbase_path},
    {.name = "Selectivity", .type = T::combo, .default_text = "Normal", .choices = selectivity_choices,
     .set = set_selectivity},
    {.name = "Extensions", .type = T::combo, .default_text = "Normal", .choices = extension_choices,
     .set = [](const std::string& v) {
         irepcheck = irecapture = choice_of(v, extension_choices) == 1 ? 64 : 38;
         debug_echo("Extensions=%s\n", v);
     }},
    {.name = "Add. time for so many moves", .type = T::spin, .current = [] { return nmoves_inctime; }, .max = 15,
     .set = [](const std::string& v) {
         nmoves_inctime = read_integer_arg(v);
         debug_echo("info string nmoves_inctime=%d\n", nmoves_inctime);
     }},
    {.name = "null_high", .type = T::spin, .current = [] { return percent(null_high); }, .max = 600,
     .set = [](const std::string& v) { set_percent("null_high", null_high, v); }},
    {.name = "null_low", .type = T::spin, .current = [] { return percent(null_low); }, .max = 600,
     .set = [](const std::string& v) { set_percent("null_low", null_low, v); }},
    {.name = "null_endgame", .type = T::spin, .current = [] { return percent(null_endgame); }, .max = 600,
     .set = [](const std::string& v) { set_percent("null_endgame", null_endgame, v); }},
    {.name = "null_split", .type = T::spin, .current = [] { return percent(null_split); }, .max = 2000,
     .set = [](const std::string& v) { set_percent("null_split", null_split, v); }},
    {.name = "Recapture extension", .type = T::spin, .current = [] { return percent(irecapture); }, .max = 100,
     .set = [](const std::string& v) { set_percent("Recapture extension", irecapture, v); }},
    {.name = "Check extension", .type = T::spin, .current = [] { return percent(icheck); }, .max = 100,
     .set = [](const std::string& v) { set_percent("Check extension", icheck, v); }},
    {.name = "Perpetual check extension", .type = T::spin, .current = [] { return percent(irepcheck); }, .max = 100,
     .set = [](const std::string& v) { set_percent("Perpetual check extension", irepcheck, v); }},
    {.name = "Mate threat extension", .type = T::spin, .current = [] { return percent(inullthreat); }, .max = 100,
     .set = [](const std::string& v) { set_percent("Mate threat extension", inullthreat, v); }},
    {.name = "Passed pawn extension", .type = T::spin, .current = [] { return percent(ipawn7); }, .max = 100,
     .set = [](const std::string& v) { set_percent("Passed pawn extension", ipawn7, v); }},
    {.name = "Autoplayer delay (ms)", .type = T::spin, .current = [] { return autoplayer_delay; }, .max = 2000,
     .set = [](const std::string& v) {
         autoplayer_delay = read_integer_arg(v);
         debug_echo("info string autoplayer_delay=%d ms\n", autoplayer_delay);
     }},
    {.name = "Clear Hash", .type = T::button, .set = [](const std::string&) {
         debug_echo("%s", std::string("info string clear hash detected\n"));
         hash_clear();
     }},
    // Taken by setoption though the reply has never listed it.
    {.name = "Pawn endgame extension", .type = T::spin, .announced = false, .current = [] { return percent(ipawne); },
     .max = 100, .set = [](const std::string& v) { set_percent("Pawn endgame extension", ipawne, v); }},
};
const int uci_option_count = static_cast<int>(sizeof uci_options / sizeof uci_options[0]);

bool uci_boolean(const std::string& value) {
    size_t i = 0;
    while (i < value.size() && is_blank(value[i])) ++i;
    if (value.size() - i < 4) return false;
    std::string w = value.substr(i, 4);
    for (char& c : w) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return w == "true";
}

std::string uci_option_line(const uci_option& o) {
    std::string line = "option name ";
    line += o.name;
    const std::string shown = o.default_text ? o.default_text : std::to_string(o.current ? o.current() : 0);
    switch (o.type) {
    case uci_option_type::check:
        line += " type check default ";
        line += o.default_text ? o.default_text : (o.current && o.current() ? "true" : "false");
        break;
    case uci_option_type::spin: {
        const std::string range =
            " min " + std::to_string(o.min) + " max " + std::to_string(o.max_now ? o.max_now() : o.max);
        line += o.default_first ? " type spin default " + shown + range : " type spin" + range + " default " + shown;
        break;
    }
        // clang-format on
        case uci_option_type::combo:
            line += " type combo default " + shown;
            for (int i = 0; o.choices[i]; ++i) line += std::string(" var ") + o.choices[i];
            break;
        case uci_option_type::string: line += " type string default " + shown; break;
        case uci_option_type::button: line += " type button"; break;
    }
    return line;
}

const uci_option* find_uci_option(const std::string& arg, std::string* value, bool* has_value) {
    auto at_name = match_option("name", arg);
    if (!at_name) return nullptr;
    const std::string rest = arg.substr(*at_name);
    for (const uci_option& o : uci_options) {
        auto at_option = match_option(o.name, rest);
        if (!at_option) continue;
        const std::string after = rest.substr(*at_option);
        auto at_value = match_option("value", after);
        *has_value = at_value.has_value();
        value->clear();
        if (at_value) *value = after.substr(*at_value, 1023);
        return &o;
    }
    return nullptr;
}
