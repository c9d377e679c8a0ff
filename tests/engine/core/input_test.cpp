#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "core/input.h"

TEST(Input, LinesPiecesAndTheEnd) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    stdin_use_descriptor(fds[0]);
    EXPECT_FALSE(stdin_input_waiting());
    EXPECT_FALSE(stdin_line_ready());
    std::string data = "first\r\n" + std::string(9000, 'x') + "\npartial";
    ASSERT_EQ(write(fds[1], data.data(), data.size()), static_cast<ssize_t>(data.size()));
    EXPECT_TRUE(stdin_input_waiting());
    EXPECT_TRUE(stdin_line_ready());
    std::string line;
    ASSERT_TRUE(stdin_read_line(line));
    EXPECT_EQ(line, "first");
    ASSERT_TRUE(stdin_read_line(line));
    EXPECT_EQ(line.size(), 8191u);
    ASSERT_TRUE(stdin_read_line(line));
    EXPECT_EQ(line, std::string(9000 - 8191, 'x'));
    EXPECT_FALSE(stdin_line_ready());  // "partial" has no line end yet
    close(fds[1]);
    ASSERT_TRUE(stdin_read_line(line));
    EXPECT_EQ(line, "partial");
    EXPECT_FALSE(stdin_read_line(line));
    close(fds[0]);
    stdin_use_descriptor(0);
}
