// Where the programs of the pipeline are: beside the driver in the build tree.
#pragma once

#include <string>

struct toolchain {
    std::string c2ta;
    std::string extractor;
    std::string restructurer;
    std::string driver; // this program, whose internal commands the unit steps use
    std::string lowerbound;
};

// Finds the tools relative to the running executable; sets `error` naming the
// first one that is missing.
bool find_toolchain(toolchain& tools, std::string& error);
