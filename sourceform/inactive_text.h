// The text of a file that no fact covers and that stands inside a condition:
// what the branches inactive when the units were analysed hold. The facts know
// nothing of it, yet another configuration of the project compiles it, so the
// source form must keep it within reach of every file that included its file.
#pragma once

#include "original_file.h"

#include <string>
#include <utility>
#include <vector>

struct uncovered_piece {
    int first = 0, last = 0; // its lines; nested chains opened inside are closed inside
    // Its brackets balance and it holds nothing of another branch: it can be
    // written on its own, next to a declaration of another branch.
    bool whole = false;
};

// The pieces of `f`, one declaration each where brackets tell where one ends,
// outside the line ranges of `covered` (first, last), in order. Code outside
// every condition is not taken: it was compiled, and its facts decide.
std::vector<uncovered_piece> uncovered_pieces(const original_file& f,
                                              const std::vector<std::pair<int, int>>& covered);

// The code of lines first..last (comments left out) declares `name`: the name is
// followed by what ends or continues a declarator (";", ",", "=", "[", "{", "(" or
// ")(" of a function pointer), as in `typedef long T;`, `struct s {` or `int f(`,
// not by ")" of a parameter list.
bool declares(const original_file& f, int first, int last, const std::string& name);
