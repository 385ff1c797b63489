// ta_gen SCALE [SEED]: writes a synthetic TA dump (about SCALE MB) to standard output.
#include "ta_generator.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: ta_gen SCALE [SEED]\n";
        return 2;
    }
    std::ios::sync_with_stdio(false);
    int scale = std::atoi(argv[1]);
    unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1;
    generate_ta(std::cout, scale < 1 ? 1 : scale, seed);
    return 0;
}
