// Entry points of the opening book and the opening names used by the interpreter.
#pragma once

// Name of the learn book (lbook_file changes it).
extern char learn_book_name[256];

// Opens a book file into the main (0) or the learn (1) book descriptor.
void book_open(const char* name, int which);
// Loads the built-in opening-name table.
void eco_init();
// Prints the book candidates of `side` (the bk command).
void list_book_moves(int side);
