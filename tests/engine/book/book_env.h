// Shared set-up of the book tests: a temporary working folder, a fresh game, files
// written and read back whole, and books written entry by entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "book/book_file.h"
#include "child_process.h"
#include "front_env.h"

// Tables, the opening names, a new game in the console dialogue with the book settings
// at their start values.
void fresh_book_game();

// While it lives the process works in a new empty folder (removed afterwards).
class work_folder {
public:
    work_folder();
    ~work_folder();
    work_folder(const work_folder&) = delete;
    work_folder& operator=(const work_folder&) = delete;
    std::string path(const std::string& name) const;

private:
    testsupport::TempDir dir_;  // removed after the way back
    std::string saved_;
};

void write_file(const std::string& name, const std::string& bytes);
std::string read_file(const std::string& name);
bool file_exists(const std::string& name);

// Plays SAN moves from the present position as the game loop records them.
void play(const std::vector<std::string>& moves);

// A book file from a header and its entries (entries[i] at index i).
std::string book_bytes(const book_header& h, const std::vector<book_entry>& entries);
// The entries of a book file's bytes.
std::vector<book_entry> book_entries(const std::string& bytes);
