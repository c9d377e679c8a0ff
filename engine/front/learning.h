// Learning and book-file commands: the files they open and the switches they set.
#pragma once

#include <cstdio>

#include "book/position_learning.h"

extern FILE* book_holes_file;  // file of the book_holes command
extern int book_holes;
