#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
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

// Only regular files are opened, for reading and for writing, and the open never waits:
// a FIFO (here with its other end held open, so that an open would not wait), a device
// or a folder under the name is refused with the message of a file that is not there.
TEST(Output, OnlyRegularFilesAreOpened) {
    init_output_levels();
    for (int& l : output_levels) l = 0;
    log_file = tmpfile();
    ASSERT_NE(log_file, nullptr);
    char folder[] = "/tmp/orvik-fifo-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string fifo = std::string(folder) + "/kvbook.bin";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int other_end = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(other_end, 0);
    const struct {
        std::string name;
        const char* mode;
        bool reader;
    } cases[] = {
        {fifo, "rb", true},       {fifo, "r+b", true},       {fifo, "a", false},  {fifo, "w", false},
        {"/dev/zero", "r", true}, {"/dev/null", "a", false}, {folder, "r", true},
    };
    std::string expected;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " " + c.mode);
        FILE* f = c.reader ? open_for_reading(c.name, c.mode) : open_file(c.name.c_str(), c.mode);
        EXPECT_EQ(f, nullptr);
        if (f) fclose(f);
        expected +=
            "Could not open \"" + c.name + "\" in mode " + c.mode + ": Winboard does not like my error message\n";
    }
    EXPECT_EQ(log_text(log_file), expected);
    close(other_end);
    unlink(fifo.c_str());
    rmdir(folder);
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
// its own output pipe would wait for ever.
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
