// Entry point of the restructurer.
#include "command_line.h"

int main(int argc, char** argv) {
    return run_restructurer(argc, argv);
}
