// The names of the files that belong to one translation unit. A unit is named
// by its stem, the path of its source without ".c" (src/buf for src/buf.c);
// every program derives the other names from it with these functions:
//
//   <stem>.cpp.c       the preprocessed source (the driver writes it)
//   <stem>.ta          the TA dump of the unit (c2ta)
//   <stem>.rsf         the fact file (the extractor)
//   <stem>.cpp.new.c   the rewritten source (the restructurer)
#pragma once

#include <string>
#include <string_view>

// The ending of a preprocessed source.
inline constexpr std::string_view preprocessed_ending = ".cpp.c";

std::string preprocessed_source_of(const std::string& stem);
std::string dump_file_of(const std::string& stem);
std::string fact_file_of(const std::string& stem);
std::string rewritten_source_of(const std::string& stem);

// True when `path` names a preprocessed source: it ends in ".cpp.c".
bool is_preprocessed_source(std::string_view path);

// The stem of a file c2ta reads: the path without ".cpp.c", ".c", ".i" or ".h"
// (the first of them it ends in), the whole path when it ends in none.
std::string stem_of_input(const std::string& path);

// The preprocessed source the restructurer reads for a fact file: the name up
// to its last "." (also a "." in a directory name: a.dir/unit gives a.cpp.c)
// followed by ".cpp.c".
std::string preprocessed_source_of_facts(const std::string& fact_file);

// The fact file of a preprocessed source (x.cpp.c gives x.rsf): the path up to
// its last ".cpp.c" (the whole path without one) followed by ".rsf".
std::string fact_file_of_preprocessed(const std::string& path);

// The rewritten copy of a file the restructurer writes a unit into: the last two
// characters of the name replaced by ".new.c" when it ends in "c", by ".new.h"
// when it ends in "h" (x.cpp.c gives x.cpp.new.c, inc/y.h gives inc/y.new.h);
// "" for any other name.
std::string rewritten_copy_of(const std::string& name);
