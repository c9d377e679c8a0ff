#include "front_env.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/board.h"
#include "core/eval.h"
#include "core/movegen.h"
#include "front/commands.h"

void front_tables() {
    static bool done = false;
    if (done) return;
    done = true;
    init_output_levels();
    init_geometry_tables();
    init_ray_tables();
    init_zobrist_keys();
}

void front_search_tables() {
    front_tables();
    static bool done = false;
    if (!done) eval_init();
    done = true;
}

output_capture::output_capture() : saved_log_(log_file) {
    std::memcpy(saved_levels_, output_levels, sizeof saved_levels_);
    for (int& l : output_levels) l = 0;
    file_ = std::tmpfile();
    log_file = file_;
}

output_capture::~output_capture() {
    log_file = saved_log_;
    std::memcpy(output_levels, saved_levels_, sizeof saved_levels_);
    std::fclose(file_);
}

std::string output_capture::text() {
    std::fflush(file_);
    std::rewind(file_);
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file_)) > 0) out.append(buf, n);
    return out;
}

std::vector<std::string> output_capture::lines() {
    std::vector<std::string> out;
    std::string t = text();
    size_t start = 0;
    while (start < t.size()) {
        size_t nl = t.find('\n', start);
        if (nl == std::string::npos) nl = t.size();
        out.push_back(t.substr(start, nl - start));
        start = nl + 1;
    }
    return out;
}

void output_capture::clear() {
    std::fclose(file_);
    file_ = std::tmpfile();
    log_file = file_;
}

bool has_line(const std::vector<std::string>& lines, const std::string& line) {
    for (const auto& l : lines)
        if (l == line) return true;
    return false;
}

int run_line(const std::string& line) {
    size_t at = 0;
    const command_entry* row = find_command(line, &at);
    EXPECT_NE(row, nullptr) << line;
    if (!row) return -99;
    return row->handler(line.substr(at));
}
