// Numbered logs: a number is taken by creating its file, so a name that exists in any
// form is never written over or written through.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "child_process.h"
#include "core/output.h"
#include "front/logs.h"
#include "front_env.h"

namespace fs = std::filesystem;

TEST(Logs, ANumberWhoseNameExistsIsPassedOver) {
    front_tables();
    testsupport::TempDir dir;
    output_capture out;
    FILE* capture = log_file;
    log_file = nullptr;
    log_path = dir.path() + "/";
    log_number = 0;
    // Links to nowhere cannot be opened for reading, yet their names exist: written
    // through, one would fail and the other would make a file elsewhere.
    ASSERT_EQ(symlink("nowhere/x.log", dir.file("orvik0001.log").c_str()), 0);
    ASSERT_EQ(symlink(dir.file("elsewhere.log").c_str(), dir.file("orvik0002.log").c_str()), 0);
    open_numbered_log();
    ASSERT_NE(log_file, nullptr);
    EXPECT_EQ(log_number, 3);
    level_printf(LVL_ERROR, "into the log\n");
    std::fclose(log_file);
    log_file = capture;
    EXPECT_EQ(dir.read("orvik0003.log"), "into the log\n");
    EXPECT_FALSE(fs::exists(dir.file("elsewhere.log")));
    log_path.clear();
    log_number = 0;
}
