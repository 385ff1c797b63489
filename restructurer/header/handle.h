// Value handles through which every container and algorithm refers to a node:
// `node` (number, tag, pointer to the node object) and the directed `edge`.
// Handles never own their node object; they are ordered by node number only.
#pragma once

#include <iosfwd>
#include <string>

class Node;

struct node {
    int id = 0;
    int tag = -1; // ignored by ordering, printing and every algorithm
    Node* object = nullptr;

    node() = default;
    node(int id, Node* object) : id(id), object(object) {}

    // Forwarders to the node object. A handle without an object answers
    // false or the empty string instead of crashing.
    bool is_program_unit() const;
    bool is_implement() const;
    bool is_header() const;
    bool is_define() const;
    bool is_static() const;
    bool is_aggr() const;
    std::string file() const;
    // The object's label, or the empty string for a handle without object.
    std::string label() const;
};

inline bool operator<(const node& a, const node& b) {
    return a.id < b.id;
}
inline bool operator==(const node& a, const node& b) {
    return a.id == b.id;
}
inline bool operator!=(const node& a, const node& b) {
    return a.id != b.id;
}

// Prints the number immediately followed by the node's label.
std::ostream& operator<<(std::ostream& out, const node& n);

// A dependency edge: from the used unit to the unit that uses it.
struct edge {
    node from;
    node to;

    // Reports handles without node objects ("Warning, empty nodes") and builds
    // the edge all the same.
    edge(const node& from, const node& to);

    // The smallest possible edge leaving node number `from_id`: the start of
    // that node's outgoing range in an ordered edge set. Never warns.
    static edge first_from(int from_id);
    // A key for looking up the edge between two node numbers. Never warns.
    static edge key(int from_id, int to_id);

  private:
    struct unchecked {};
    edge(const node& from, const node& to, unchecked) : from(from), to(to) {}
};

inline bool operator<(const edge& a, const edge& b) {
    if (a.from.id != b.from.id) return a.from.id < b.from.id;
    return a.to.id < b.to.id;
}
inline bool operator==(const edge& a, const edge& b) {
    return a.from.id == b.from.id && a.to.id == b.to.id;
}

// "\"" from-number from-label "\"->\"" to-number to-label "\"": the text form
// used by the graph dump and the cleaning traces.
std::ostream& operator<<(std::ostream& out, const edge& e);

// Prints "Warning, empty nodes" with the two numbers when either handle lacks
// its node object; true when it warned.
bool warn_empty_nodes(const node& from, const node& to);

// Orders program units by the line on which their extracted text starts;
// handles that are not program units are equivalent to everything.
struct cmp_node {
    bool operator()(const node& a, const node& b) const;
};
