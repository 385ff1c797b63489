// The statistics block that closes a phase, and its dot-language dump.
#include "header/graph.h"

#include <iostream>

int graph::count_node(const std::string& kind) const {
    int sum = 0;
    for (const node& n : nodes) {
        if (!n.object) {
            std::cout << "Warning, NULL nodes" << std::endl;
            continue;
        }
        sum += n.object->count_node(kind);
    }
    return sum;
}

void graph::print_out_degrees() const {
    for (const node& n : nodes)
        std::cout << "out degree:" << out_degree(n, edges) << std::endl;
}

// The file-name step of the statistics block has no visible output; it keeps
// its place (and its switch) in the block.
void graph::print_get_filenames() const {}

namespace {
void print_dot(const node_set& nodes, const edge_set& edges) {
    std::cout << "debug count graph"
              << ":"
              << "digraph G {"
              << "\n";
    for (const node& n : nodes)
        std::cout << '"' << n << '"' << ";\n";
    for (const edge& e : edges)
        std::cout << e << ";\n";
    std::cout << "}\n";
}

bool on(const char* name) {
    return graph::config.accept(name);
}

// The number is computed before the line starts, so that warnings printed
// while counting stay on lines of their own.
void print_count(const char* name, int value) {
    std::cout << name << ":" << value << std::endl;
}
} // namespace

void graph::count() {
    if (on("debug count"))
        std::cout << "debug count"
                  << ":"
                  << "\n"
                  << std::endl;
    if (on("debug count graph")) print_dot(nodes, edges);
    if (on("debug count size_of_nodes"))
        std::cout << "debug count size_of_nodes"
                  << ":" << nodes.size() << std::endl;
    if (on("debug count size_of_edges"))
        std::cout << "debug count size_of_edges"
                  << ":" << edges.size() << std::endl;
    if (on("debug count size_of_leaves"))
        std::cout << "debug count size_of_leaves"
                  << ":" << leaves.size() << std::endl;
    if (on("debug count define")) print_count("debug count define", count_node("define"));
    if (on("debug count declare")) print_count("debug count declare", count_node("declare"));
    if (on("debug count file")) print_count("debug count file", count_node("file"));
    if (on("debug count cycle")) {
        // Counted first: the count may itself print "debug cycle" lines.
        const int cycles = count_cycle_nodes();
        std::cout << "debug count cycle"
                  << ":" << cycles << std::endl;
    }
    if (on("debug count filename")) print_get_filenames();
    if (on("debug count set")) print_count("debug count set", count_node("set"));
    if (on("debug count outdegree")) print_out_degrees();
}
