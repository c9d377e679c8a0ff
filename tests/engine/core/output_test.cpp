#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
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
        {"abcdef\0"s, 2, false, {}, text_read::nul},  // in the part passed over
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

// A reader never takes the engine's own standard streams, whatever their name: reading
// its own output pipe would wait for ever. Other pipes stay readable.
TEST(Output, ReadersRefuseTheEnginesOwnStreams) {
    init_output_levels();
    for (int& l : output_levels) l = 0;
    log_file = tmpfile();
    ASSERT_NE(log_file, nullptr);
    fflush(stdout);
    const int saved_out = dup(1);
    int host[2];
    ASSERT_EQ(pipe(host), 0);
    ASSERT_EQ(dup2(host[1], 1), 1) << "standard output is a pipe, as under a host";
    std::string expected;
    for (const char* name : {"/dev/stdout", "/dev/stderr", "/dev/stdin", "/proc/self/fd/1"}) {
        EXPECT_EQ(open_for_reading(name, "r"), nullptr) << name;
        expected += std::string("Could not open \"") + name + "\" in mode r: Winboard does not like my error message\n";
    }
    EXPECT_EQ(open_for_reading("/dev/stdout", "rb"), nullptr);
    expected += "Could not open \"/dev/stdout\" in mode rb: Winboard does not like my error message\n";
    EXPECT_EQ(open_for_reading("/dev/stdout", "rb", true), nullptr) << "looked for quietly";

    // Another pipe is read as ever.
    int other[2];
    ASSERT_EQ(pipe(other), 0);
    ASSERT_EQ(write(other[1], "e4\n", 3), 3);
    close(other[1]);
    FILE* f = open_for_reading("/dev/fd/" + std::to_string(other[0]), "r");
    ASSERT_NE(f, nullptr);
    std::string line;
    EXPECT_EQ(read_text_line(f, line, 80), text_read::line);
    EXPECT_EQ(line, "e4");
    fclose(f);
    close(other[0]);

    // Standard output into a plain file: that file is refused under its own name too.
    char name[] = "/tmp/orvik-out-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(dup2(fd, 1), 1);
    EXPECT_EQ(open_for_reading(name, "r"), nullptr);
    expected += std::string("Could not open \"") + name + "\" in mode r: Winboard does not like my error message\n";

    fflush(stdout);
    dup2(saved_out, 1);
    close(saved_out);
    close(fd);
    close(host[0]);
    close(host[1]);
    FILE* plain = open_for_reading(name, "r");
    EXPECT_NE(plain, nullptr) << "no longer the output";
    if (plain) fclose(plain);
    unlink(name);
    EXPECT_EQ(log_text(log_file), expected);
    fclose(log_file);
    log_file = nullptr;
    init_output_levels();
}
