// Trace lines of the cleaning passes, under the switch "debug remove_cycle_edges".
#pragma once

#include "header/graph.h"

#include <iostream>

inline bool tracing_cycle_edges() {
    return graph::config.accept("debug remove_cycle_edges");
}

template <class T> void trace_cycle_edges(const T& text) {
    if (tracing_cycle_edges())
        std::cout << "debug remove_cycle_edges"
                  << ":" << text << std::endl;
}
