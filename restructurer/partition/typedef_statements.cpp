// `typedef struct S {...} T;` of a header is read as two units (see
// split_typedef_block): the typedef `typedef struct S T;`, and the structure
// with the whole statement. Where a source needs the typedef but not the
// structure whole (`T *` only), the two stay apart and the structure's text
// becomes `struct S {...};`, so that such a source gets one line instead of the
// body and what its members need. Where every source that needs the typedef
// needs the structure too, or the lines those that do not would save are fewer
// than the one more line each source needing both reads, the typedef joins the
// structure again: the statement comes out as it was written.
#include "header/graph.h"

#include "contract/typedef_statement.h"
#include "partition/leaf_sets.h"

#include <algorithm>
#include <cstddef>
#include <map>

namespace {
bool within(const ProgramUnit& type, const ProgramUnit& aggregate) {
    return type.file() == aggregate.file() && type.begin > 0 && type.begin <= aggregate.begin &&
           aggregate.end <= type.end;
}

std::size_t non_blank_lines(const std::string& text) {
    std::size_t lines = 0;
    bool blank = true;
    for (char c : text) {
        if (c == '\n') {
            lines += blank ? 0 : 1;
            blank = true;
        } else if (c != ' ' && c != '\t') {
            blank = false;
        }
    }
    return lines + (blank ? 0 : 1);
}

// Edges with an end in `renamed` go to the node it maps to; one pass over the set.
void rename_edges(edge_set& edges, const std::map<int, node>& renamed) {
    std::vector<edge> moved;
    for (const edge& e : edges)
        if (renamed.count(e.from.id) || renamed.count(e.to.id)) moved.push_back(e);
    auto to = [&renamed](const node& n) {
        auto found = renamed.find(n.id);
        return found == renamed.end() ? n : found->second;
    };
    for (const edge& e : moved) {
        edges.erase(e);
        const edge now(to(e.from), to(e.to));
        if (now.from != now.to) edges.insert(now);
    }
}
} // namespace

void graph::join_typedef_statements() {
    std::vector<std::pair<node, typedef_statement>> statements;
    std::map<std::string, std::vector<node>> types_by_name;
    for (const node& n : nodes) {
        if (!n.is_program_unit()) continue;
        if (n.object->name.compare(0, 5, "type:") == 0) {
            types_by_name[n.object->name].push_back(n);
            continue;
        }
        if (!n.is_aggr()) continue;
        auto text = unit_texts.find(n.id);
        typedef_statement statement;
        if (text == unit_texts.end() || !split_typedef_statement(text->second, statement) ||
            statement.aggregate != n.object->name)
            continue;
        statements.emplace_back(n, statement);
    }
    if (statements.empty()) return;

    const leaf_sets reach(nodes, edges, leaves);
    std::map<int, node> renamed; // joined typedef -> its structure
    for (const auto& [aggregate, statement] : statements) {
        const ProgramUnit& a = *as_unit(aggregate);
        std::vector<node> types;
        for (const std::string& name : statement.names) {
            auto found = types_by_name.find(name);
            if (found == types_by_name.end()) continue;
            for (const node& t : found->second)
                if (nodes.count(t) && within(*as_unit(t), a) &&
                    std::find(types.begin(), types.end(), t) == types.end())
                    types.push_back(t);
        }
        if (types.empty()) continue; // no typedef unit: the statement stays whole
        // Cut apart, a source that needs only a typedef saves the body's lines
        // but one, and a source that needs both reads one line more.
        const node_set whole = reach.leaves_of(reach.key_of(aggregate));
        std::size_t alone = 0, both = 0;
        for (const node& t : types)
            for (const node& leaf : reach.leaves_of(reach.key_of(t)))
                ++(whole.count(leaf) ? both : alone);
        if (alone * (non_blank_lines(statement.whole) - 1) > both) {
            unit_texts[aggregate.id] = statement.definition;
            continue;
        }
        for (const node& t : types) {
            renamed.emplace(t.id, aggregate);
            nodes.erase(t);
            unit_texts.erase(t.id);
        }
    }
    if (renamed.empty()) return;
    rename_edges(edges, renamed);
    rename_edges(file_edges, renamed);
}
