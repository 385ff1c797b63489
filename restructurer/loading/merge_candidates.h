// Index of the units of the accumulated graph that link_node compares a new
// unit with, in the order a scan would meet them: accumulated nodes in
// ascending number, and inside an implementation file its member list in list
// order. Lookups return the first unit in that order that matches.
#pragma once

#include "header/graph.h"

#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>

class merge_candidates {
  public:
    // Indexes `acc` afresh unless this index already follows it.
    void follow(const node_set& acc);
    // Adds a node that was just inserted into the followed set.
    void added(const node_set& acc, const node& n);
    // The first candidate that matches unit n; a handle without object if none.
    node first_match(const ProgramUnit& n) const;

  private:
    // Place of a candidate in scan order: (accumulated node number, slot in
    // the member list; 0 for a unit that stands by itself).
    using position = std::pair<int, int>;
    using place = std::tuple<bool, int, int, std::string>;
    struct position_hash {
        std::size_t operator()(const position& p) const {
            return std::hash<long long>()((static_cast<long long>(p.first) << 32) ^
                                          static_cast<unsigned>(p.second));
        }
    };
    // Hash of a name_key or place: its fields' hashes combined.
    struct key_hash {
        template <class... Fields> std::size_t operator()(const std::tuple<Fields...>& t) const {
            return std::apply(
                [](const Fields&... field) {
                    std::size_t h = 0;
                    ((h = h * 1000003u ^ std::hash<Fields>()(field)), ...);
                    return h;
                },
                t);
        }
    };

    void index_node(const node& m);
    void index(const node& candidate, position at);

    const node_set* followed_ = nullptr;
    std::size_t followed_size_ = 0;
    std::unordered_map<position, node, position_hash> unit_at_;
    using name_key = std::tuple<bool, std::string, std::string>;
    static name_key name_key_of(const ProgramUnit& u);

    // Per key, the first position in scan order that has it: lookups only
    // ever want that one, and the index only grows.
    std::unordered_map<name_key, position, key_hash> by_name_;
    // Units at a known position, apart for names holding "type:" (never merged
    // by position with another such name), each apart for anonymous names
    // ([1]) and named ones ([0]): two named units are never one by position.
    std::unordered_map<place, position, key_hash> by_place_types_[2];
    std::unordered_map<place, position, key_hash> by_place_others_[2];
};

// True when the name's part after its first ":" starts with a digit: the
// extractor's name for an anonymous unit.
bool anonymous_name(const std::string& name);
