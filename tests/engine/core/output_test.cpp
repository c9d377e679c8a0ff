#include <gtest/gtest.h>

#include <cstdio>
#include <string>

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
