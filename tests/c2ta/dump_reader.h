// Reads a TA dump as c2ta writes it, for tests that look at its shape.
#pragma once

#include <map>
#include <string>
#include <vector>

struct dump_node {
    std::string kind;
    std::map<std::string, std::string> attributes; // names without their quotes
};

struct dump_edge {
    std::string kind;
    std::string source;
    std::string target;
};

struct ta_dump {
    std::map<std::string, dump_node> nodes; // by identifier, in byte order
    std::vector<dump_edge> edges;

    // Identifiers of the nodes of one kind whose name is name.
    std::vector<std::string> find(const std::string& kind, const std::string& name) const;
    // The one node of that kind and name; fails the test when there is not exactly one.
    std::string only(const std::string& kind, const std::string& name) const;
    std::string attribute(const std::string& id, const std::string& name) const;
    std::string kind_of(const std::string& id) const;
    // Targets of id's edges of one kind (every kind when kind is empty), in
    // identifier order.
    std::vector<std::string> successors(const std::string& id, const std::string& kind = {}) const;
    std::vector<std::string> predecessors(const std::string& id,
                                          const std::string& kind = {}) const;
    // The cArcSon parent's identifier ("" when none).
    std::string parent(const std::string& id) const;
};

ta_dump read_dump(const std::string& text);
