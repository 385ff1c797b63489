// Synthetic fact files for the loading benchmark: many translation units that
// share the units of a common set of headers, as a C project's units do.
#pragma once

#include <string>
#include <vector>

struct generated_facts {
    std::vector<std::string> fact_files;
    long facts = 0; // lines written over all files
};

// Writes `units` fact files (with the sources and headers their locations name)
// below `dir`. Every unit defines a dozen functions and a static variable,
// declares about 40 of the 400 shared header units and uses them; the shared
// units use each other, include anonymous aggregates, function types and
// aggregate/typedef pairs that use each other.
generated_facts generate_fact_files(const std::string& dir, int units);
