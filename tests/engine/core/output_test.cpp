#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/output.h"
#include "core/state.h"

namespace {
std::string log_text(FILE* f) {
    fflush(f);
    rewind(f);
    std::string s;
    int c;
    while ((c = fgetc(f)) != EOF) s += static_cast<char>(c);
    return s;
}
}  // namespace

TEST(Output, LogReceivesWhatTheLevelsAllow) {
    init_output_levels();
    for (int& l : output_levels) l = 0;  // keep the test's own output quiet
    log_file = tmpfile();
    ASSERT_NE(log_file, nullptr);
    level_printf(LVL_ECHO, "input: %s\n", "e4");
    level_printf(LVL_STATS, "stats\n");
    level_printf(LVL_UCI_PROGRESS, "progress\n");
    level_printf(LVL_NORMAL, "normal\n");
    level_printf(19, "beyond\n");
    EXPECT_EQ(log_text(log_file), "input: e4\nnormal\nbeyond\n");

    // xboard with comm_only: off levels and levels beyond 18 stay out, the echo goes in.
    fclose(log_file);
    log_file = tmpfile();
    xboard_mode = 1;
    comm_only = 1;
    output_levels[LVL_NORMAL] = 0;
    level_printf(LVL_ECHO, "input: %s\n", "go");
    level_printf(LVL_NORMAL, "off\n");
    level_printf(19, "beyond\n");
    EXPECT_EQ(log_text(log_file), "input: go\n");
    xboard_mode = 0;
    comm_only = 0;
    fclose(log_file);
    log_file = nullptr;
    init_output_levels();
}

TEST(Output, FormatArgumentsAreNotInterpreted) {
    for (int& l : output_levels) l = 0;
    log_file = tmpfile();
    const std::string input = "%s%n%x";
    level_printf(LVL_ECHO, "input: %s\n", input.c_str());
    std::string longer(3000, 'a');
    level_printf(LVL_NORMAL, "%s\n", longer.c_str());
    EXPECT_EQ(log_text(log_file), "input: %s%n%x\n" + longer + "\n");
    fclose(log_file);
    log_file = nullptr;
    init_output_levels();
}

TEST(Output, OpenFileReportsTheFailure) {
    init_output_levels();
    for (int& l : output_levels) l = 0;
    log_file = tmpfile();
    EXPECT_EQ(open_file("/nonexistent-folder/x.txt", "r"), nullptr);
    EXPECT_EQ(log_text(log_file),
              "Could not open \"/nonexistent-folder/x.txt\" in mode r: Winboard does not like my error message\n");
    fclose(log_file);
    log_file = nullptr;
    init_output_levels();
}

using namespace std::string_literals;

// Text lines: cut or in pieces at the limit, a last line without its line end, and a
// NUL byte that ends the text.
TEST(Output, TextLinesAreBoundedAndEndAtANulByte) {
    const struct {
        std::string bytes;
        size_t limit;
        bool pieces;
        std::vector<std::string> lines;
        text_read last;
    } cases[] = {
        {"a\nbc\r\n\nd", 10, false, {"a", "bc\r", "", "d"}, text_read::end},
        {"abcdef\ngh\n", 4, false, {"abcd", "gh"}, text_read::end},
        {"abcdef\ngh\n", 4, true, {"abcd", "ef", "gh"}, text_read::end},
        {"abcd\n", 4, true, {"abcd", ""}, text_read::end},
        {"", 4, false, {}, text_read::end},
        {"ab\ncd\0more\n"s, 4, false, {"ab"}, text_read::nul},
        {"abcdef\0"s, 2, false, {}, text_read::nul},   // in the part passed over
    };
    for (const auto& c : cases) {
        FILE* f = tmpfile();
        ASSERT_NE(f, nullptr);
        fwrite(c.bytes.data(), 1, c.bytes.size(), f);
        rewind(f);
        std::vector<std::string> lines;
        std::string line;
        text_read r;
        while ((r = read_text_line(f, line, c.limit, c.pieces)) == text_read::line) lines.push_back(line);
        EXPECT_EQ(lines, c.lines) << c.bytes;
        EXPECT_EQ(r, c.last) << c.bytes;
        fclose(f);
    }
}
