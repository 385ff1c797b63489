#include "loading/merge_candidates.h"

#include "contract/unit_files.h"

#include <cctype>
#include <climits>

bool anonymous_name(const std::string& name) {
    const std::size_t colon = name.find(':');
    return colon != std::string::npos && colon + 1 < name.size() &&
           std::isdigit(static_cast<unsigned char>(name[colon + 1]));
}

namespace {
bool holds_type(const std::string& name) {
    return name.find("type:") != std::string::npos;
}
bool placed(const ProgramUnit& u) {
    return u.begin > 0 && u.end > 0;
}
} // namespace

// A named declaration is the same unit in every file, except one written in a
// source's own text (whose file is the preprocessed source <unit>.cpp.c): a
// type there (a structure private to ldo.c, each source's own `typedef struct
// {...} state_t;`) has no linkage, so it is the source's own, the same unit
// only where it is written in the same file, and no other unit that only names
// it gets its text; a prototype there names the source's own types (an
// amalgamation such as sqlite3.c holds a copy of its header's text), so it is
// the source's own as well, never merged with the header's declaration of the
// name that other sources read. A named definition is the same unit only where
// it is written in one file (a function in a header): two programs of one
// project each define their own main, and a variable of one name may be
// defined in two sources that are never linked together.
merge_candidates::name_key merge_candidates::name_key_of(const ProgramUnit& u) {
    const bool define = u.is_define();
    if (define) return name_key{define, u.name, u.start_file};
    const bool own = is_preprocessed_source(u.file_name);
    return name_key{define, u.name, own ? u.file_name : std::string()};
}

void merge_candidates::follow(const node_set& acc) {
    if (followed_ == &acc && followed_size_ == acc.size()) return;
    followed_ = &acc;
    unit_at_.clear();
    by_name_.clear();
    for (int anonymous = 0; anonymous < 2; ++anonymous) {
        by_place_types_[anonymous].clear();
        by_place_others_[anonymous].clear();
    }
    for (const node& m : acc)
        index_node(m);
    followed_size_ = acc.size();
}

void merge_candidates::added(const node_set& acc, const node& m) {
    index_node(m);
    if (followed_ == &acc) followed_size_ = acc.size();
}

void merge_candidates::index_node(const node& m) {
    if (m.is_program_unit()) {
        index(m, {m.id, 0});
    } else if (const Implement* file = as_implement(m)) {
        int slot = 0;
        for (const node& u : file->members)
            index(u, {m.id, slot++});
    }
}

void merge_candidates::index(const node& candidate, position at) {
    const ProgramUnit* u = as_unit(candidate);
    if (!u) return;
    unit_at_[at] = candidate;
    const bool define = u->is_define();
    // A position indexed later is later in scan order unless the index was
    // built afresh, which also goes in scan order: the first one stays.
    if (!anonymous_name(u->name)) by_name_.emplace(name_key_of(*u), at);
    if (placed(*u)) {
        const int anonymous = anonymous_name(u->name) ? 1 : 0;
        auto& table =
            holds_type(u->name) ? by_place_types_[anonymous] : by_place_others_[anonymous];
        table.emplace(place{define, u->begin, u->end, u->file_name}, at);
    }
}

node merge_candidates::first_match(const ProgramUnit& n) const {
    const bool define = n.is_define();
    const position none{INT_MAX, INT_MAX};
    position best = none;
    auto consider = [&best](const position& found) {
        if (found < best) best = found;
    };
    // Same name: a named unit is the same unit in every file.
    if (!anonymous_name(n.name)) {
        auto it = by_name_.find(name_key_of(n));
        if (it != by_name_.end()) consider(it->second);
    }
    // Same position: begin and end must be known on both sides, and one of
    // the two must be anonymous. Two names that differ at one position are two
    // units: a macro builds a header's names from each unit's own prefix
    // (xxhash.h's XXH_NAMESPACE), so the place alone does not make them one.
    if (placed(n)) {
        const place key{define, n.begin, n.end, n.file_name};
        for (int anonymous = anonymous_name(n.name) ? 0 : 1; anonymous < 2; ++anonymous) {
            auto others = by_place_others_[anonymous].find(key);
            if (others != by_place_others_[anonymous].end()) consider(others->second);
            if (!holds_type(n.name)) {
                auto types = by_place_types_[anonymous].find(key);
                if (types != by_place_types_[anonymous].end()) consider(types->second);
            }
        }
    }
    return best == none ? node() : unit_at_.at(best);
}
