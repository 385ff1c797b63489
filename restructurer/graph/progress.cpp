#include "graph/progress.h"

#include "header/graph.h"

#include <iostream>

void announce_on_stdout(const std::string& text) {
    if (!graph::config.accept("progress")) return;
    std::cout << "progress"
              << ":" << text << std::endl;
}

void announce(const std::string& text) {
    if (!graph::config.accept("progress")) return;
    std::cout << "progress"
              << ":" << text << std::endl;
    std::cerr << std::string(80, ' ') << "\r"
              << "progress"
              << ":" << text << "\r";
}
