#include "header/handle.h"

#include "header/nodes.h"

#include <climits>
#include <iostream>

bool node::is_program_unit() const {
    return object && object->is_program_unit();
}
bool node::is_implement() const {
    return object && object->is_implement();
}
bool node::is_header() const {
    return object && object->is_header();
}
bool node::is_define() const {
    return object && object->is_define();
}
bool node::is_static() const {
    return object && object->is_static();
}
bool node::is_aggr() const {
    return object && object->is_aggr();
}
std::string node::file() const {
    return object ? object->file() : std::string();
}
std::string node::label() const {
    return object ? object->toString() : std::string();
}

std::ostream& operator<<(std::ostream& out, const node& n) {
    return out << n.id << n.label();
}

bool warn_empty_nodes(const node& from, const node& to) {
    if (from.object && to.object) return false;
    std::cout << "Warning, empty nodes" << from.id << "->" << to.id << std::endl;
    return true;
}

edge::edge(const node& from, const node& to) : from(from), to(to) {
    warn_empty_nodes(from, to);
}

edge edge::first_from(int from_id) {
    return edge(node(from_id, nullptr), node(INT_MIN, nullptr), unchecked{});
}

edge edge::key(int from_id, int to_id) {
    return edge(node(from_id, nullptr), node(to_id, nullptr), unchecked{});
}

std::ostream& operator<<(std::ostream& out, const edge& e) {
    return out << '"' << e.from << '"' << "->" << '"' << e.to << '"';
}

bool cmp_node::operator()(const node& a, const node& b) const {
    const ProgramUnit* x = as_unit(a);
    const ProgramUnit* y = as_unit(b);
    return x && y && x->new_begin < y->new_begin;
}
