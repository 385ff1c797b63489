// Unit names and locations as the fact lines spell them.
#pragma once

#include "tables.h"

#include <string>
#include <string_view>

// kind ":" name [":static:" file] ["#" counter]; "" for a function or variable
// whose counter is 0, and when both kind and id are empty.
std::string get_name(std::string_view kind, nid id);
// file ":" beg ":" end [":" context file, definitions only].
std::string get_location(std::string_view kind, nid id, bool definition);
