// Log files and games files.
#include "core/types.h"
#include "front/logs.h"

#include <cctype>
#include <cerrno>
#include <sys/stat.h>

#include "core/output.h"
#include "front/commands.h"
#include "front/handlers.h"

FILE* games_file = nullptr;
int auto_log = 0;
std::string log_path;
int log_number = 0;
int log_used = 0;
std::string games_suffix;

std::string numbered_log_name(int number) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "orvik%04d.log", number);
    return log_path + buf;
}

namespace {
// A number is taken by anything under its name (looked at, not opened: a FIFO's open
// would wait).
bool log_exists(int number) {
    struct stat st;
    return lstat(numbered_log_name(number).c_str(), &st) == 0;
}

void close_log() {
    if (log_file) std::fclose(log_file);
    log_file = nullptr;
}

// Opens `name` with `mode` as the new log; a failure keeps the old one.
void open_log(const std::string& name, const char* mode) {
    // A log written into a command file being read would be read back, for ever.
    if (is_command_input(name)) {
        level_printf(LVL_ERROR, "No log into \"%s\": commands are read from it\n", name.c_str());
        return;
    }
    FILE* f = open_file(name.c_str(), mode);
    if (!f) return;
    close_log();
    log_file = f;
}
}  // namespace

void open_numbered_log() {
    if (log_file) {
        if (!log_used) return;
        close_log();
    }
    int n = log_number + 1;
    if (n > 9999) n = 9999;
    if (log_exists(n)) {
        if (log_exists(9999)) {
            log_file = open_file(numbered_log_name(9999).c_str(), "a");
            log_number = 9999;
            log_used = 0;
            return;
        }
        int lo = n, hi = 9999;
        for (;;) {
            const int mid = (lo + hi) / 2;
            if (mid == lo || mid == hi) break;
            if (log_exists(mid))
                lo = mid;
            else
                hi = mid;
        }
        n = hi;
    }
    // The number is taken by creating its file, which fails when it exists: engines
    // started together in one folder would otherwise pick the same free number and write
    // into one log. A number taken in the meantime passes on to the next.
    for (;; ++n) {
        const std::string name = numbered_log_name(n);
        if (n == 9999) {
            log_file = open_file(name.c_str(), "a");
            break;
        }
        log_file = open_file(name.c_str(), "wx", true);
        if (log_file) break;
        if (errno != EEXIST) {
            report_open_failure(name.c_str(), "w");
            break;
        }
    }
    if (log_file) log_number = n;
    log_used = 0;
}

int cmd_log(const std::string& arg) {
    auto_log = 0;
    if (arg.empty()) {
        close_log();
        return CMD_READ_ON;
    }
    size_t i = 0, j = arg.size();
    while (i < j && is_blank(arg[i])) ++i;
    while (j > i && is_blank(arg[j - 1])) --j;
    std::string word = arg.substr(i, j - i);
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (word == "off") return CMD_READ_ON;
    open_log(arg, "w");
    return CMD_READ_ON;
}

int cmd_loga(const std::string& arg) {
    auto_log = 0;
    if (arg.empty()) {
        close_log();
        return CMD_READ_ON;
    }
    open_log(arg, "a");
    return CMD_READ_ON;
}

int cmd_log_path(const std::string& arg) {
    log_path = arg;
    return CMD_READ_ON;
}

int cmd_sgames(const std::string& arg) {
    if (arg.empty()) {
        if (games_file) std::fclose(games_file);
        games_file = nullptr;
        return CMD_READ_ON;
    }
    FILE* f = open_file(arg.c_str(), "a");
    if (!f) return CMD_READ_ON;
    if (games_file) std::fclose(games_file);
    games_file = f;
    return CMD_READ_ON;
}

int cmd_nsgames(const std::string& arg) {
    games_suffix = arg;
    return CMD_READ_ON;
}
