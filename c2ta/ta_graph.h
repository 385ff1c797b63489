// The TA dump under construction: numbered entity records with their attributes
// and typed relations between them. Everything is kept in memory so that a unit
// that fails half-way writes nothing, and so that the identifier width can be
// chosen from the final node count.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

class ta_graph {
  public:
    // Creates a node of the given entity kind and returns its index. The kind
    // may stay empty for a placeholder that is filled in later.
    int add_node(std::string kind = {});
    void set_kind(int node, std::string kind);
    const std::string& kind(int node) const { return nodes_[node].kind; }
    // Sets (or replaces) one attribute. Attributes are written in the order they
    // were first set.
    void set(int node, const char* attribute, std::string value);
    void add_edge(const char* kind, int source, int target);

    // Writes every node record, then every relation, with identifiers of one
    // fixed width so that byte-string order equals creation order.
    void write(std::ostream& out) const;

  private:
    struct node_record {
        std::string kind;
        std::vector<std::pair<const char*, std::string>> attributes;
    };
    struct edge_record {
        const char* kind;
        int source;
        int target;
    };
    int id_width() const;
    static std::string padded_id(int node, int width);

    std::vector<node_record> nodes_;
    std::vector<edge_record> edges_;
};
