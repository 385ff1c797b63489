#include "tables.h"

#include "bookkeeping.h"
#include "indexes.h"
#include "queries.h"

#include <algorithm>
#include <cstring>

text_arena the_texts;
node_table the_nodes;
std::vector<edge_info> the_edges;
edge_kind_table edge_kinds;

id_set cFunctions, cNameRefs, cObjects, cAliasTypes, cPtrTypes, cAggrTypes, cScopeFiles, cEnumTypes,
    cFctTypes, cInitLists;

adjacency next_nodes, prev_nodes, next_nodes_arcSon, prev_nodes_arcSon, next_nodes_instance,
    next_nodes_arcOpd, next_nodes_arcInitVal, prev_nodes_arc;

id_set cDefGlobalFunctions, cDefGlobalVariables, cDclGlobalFunctions, cDclGlobalVariables,
    cDclGlobalTypes, cDclGlobalEnums, cDclGlobalAggrs;

std::string_view text_arena::store(std::string_view text) {
    if (text.empty()) return {};
    if (capacity_ - used_ < text.size()) {
        constexpr std::size_t block = 1 << 20;
        std::size_t size = std::max(block, text.size());
        blocks_.push_back(std::make_unique<char[]>(size));
        used_ = 0;
        capacity_ = size;
    }
    char* at = blocks_.back().get() + used_;
    std::memcpy(at, text.data(), text.size());
    used_ += text.size();
    return {at, text.size()};
}

void text_arena::clear() {
    blocks_.clear();
    used_ = capacity_ = 0;
}

node_info& record_store::push_back() {
    if ((size_ >> shift) >= blocks_.size())
        blocks_.push_back(std::make_unique<node_info[]>(mask + 1));
    return (*this)[size_++];
}

namespace {

std::uint32_t hash_of(std::string_view s) {
    std::uint32_t h = 2166136261u; // FNV-1a
    for (unsigned char c : s)
        h = (h ^ c) * 16777619u;
    return h;
}

} // namespace

void node_table::grow_index() {
    std::vector<std::pair<std::uint32_t, nid>> bigger(index_.empty() ? 1024 : index_.size() * 2,
                                                      {0, no_node});
    std::size_t m = bigger.size() - 1;
    for (const auto& slot : index_) {
        if (slot.second == no_node) continue;
        std::size_t at = slot.first & m;
        while (bigger[at].second != no_node)
            at = (at + 1) & m;
        bigger[at] = slot;
    }
    index_.swap(bigger);
}

nid node_table::intern(std::string_view id) {
    if (records_.size() * 2 >= index_.size()) grow_index();
    std::uint32_t h = hash_of(id);
    std::size_t m = index_.size() - 1;
    std::size_t at = h & m;
    for (; index_[at].second != no_node; at = (at + 1) & m)
        if (index_[at].first == h && records_[index_[at].second].id == id) return index_[at].second;
    nid n = static_cast<nid>(records_.size());
    node_info& r = records_.push_back();
    r.id = the_texts.store(id);
    index_[at] = {h, n};
    return n;
}

namespace {

// Sort key of an identifier: its first eight bytes as a big-endian number
// decide most comparisons without touching the text.
struct sort_key {
    std::uint64_t prefix;
    std::string_view id;
    nid old;
};

std::uint64_t prefix_of(std::string_view s) {
    std::uint64_t p = 0;
    for (std::size_t i = 0; i < 8; ++i)
        p = (p << 8) | (i < s.size() ? static_cast<unsigned char>(s[i]) : 0u);
    return p;
}

} // namespace

void node_table::freeze(std::vector<nid>& remap) {
    std::size_t count = records_.size();
    std::vector<sort_key> keys;
    keys.reserve(count);
    for (nid n = 0; n < count; ++n)
        keys.push_back({prefix_of(records_[n].id), records_[n].id, n});
    std::sort(keys.begin(), keys.end(), [](const sort_key& a, const sort_key& b) {
        return a.prefix != b.prefix ? a.prefix < b.prefix : a.id < b.id;
    });
    std::vector<nid> source(count); // new position -> old position
    remap.assign(count, no_node);
    for (std::size_t k = 0; k < count; ++k) {
        source[k] = keys[k].old;
        remap[keys[k].old] = static_cast<nid>(k);
    }
    keys = {};
    // Apply the permutation in place, one cycle at a time.
    for (std::size_t start = 0; start < count; ++start) {
        if (source[start] == no_node) continue;
        node_info held = records_[start];
        std::size_t at = start;
        while (source[at] != start) {
            std::size_t from = source[at];
            records_[at] = records_[from];
            source[at] = no_node;
            at = from;
        }
        records_[at] = held;
        source[at] = no_node;
    }
    index_ = {};
}

nid node_table::find(std::string_view id) const {
    std::size_t lo = 0, hi = records_.size();
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo) / 2;
        if (records_[mid].id < id)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo == records_.size() || records_[lo].id != id) return no_node;
    return static_cast<nid>(lo);
}

void node_table::clear() {
    records_.clear();
    index_ = {};
}

std::uint32_t edge_kind_table::intern(std::string_view kind) {
    auto [it, fresh] =
        index_.try_emplace(std::string(kind), static_cast<std::uint32_t>(names_.size()));
    if (fresh) names_.push_back(it->first);
    return it->second;
}

void edge_kind_table::clear() {
    names_.clear();
    index_.clear();
}

void freeze_tables() {
    std::vector<nid> remap;
    the_nodes.freeze(remap);
    for (auto& e : the_edges) {
        e.source = remap[e.source];
        e.target = remap[e.target];
    }
}

std::string_view file_of(nid n) {
    return name_of(node(n).file_scope);
}

void cleanup() {
    the_nodes.clear();
    the_texts.clear();
    the_edges.clear();
    the_edges.shrink_to_fit();
    edge_kinds.clear();
    for (id_set* s : {&cFunctions, &cNameRefs, &cObjects, &cAliasTypes, &cPtrTypes, &cAggrTypes,
                      &cScopeFiles, &cEnumTypes, &cFctTypes, &cInitLists, &cDefGlobalFunctions,
                      &cDefGlobalVariables, &cDclGlobalFunctions, &cDclGlobalVariables,
                      &cDclGlobalTypes, &cDclGlobalEnums, &cDclGlobalAggrs})
        s->clear();
    for (adjacency* a :
         {&next_nodes, &prev_nodes, &next_nodes_arcSon, &prev_nodes_arcSon, &next_nodes_instance,
          &next_nodes_arcOpd, &next_nodes_arcInitVal, &prev_nodes_arc})
        a->clear();
    clear_indexes();
    forget_query_memos();
    forget_scope_contexts();
}
