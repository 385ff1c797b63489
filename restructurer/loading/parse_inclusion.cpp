// File facts (fact_kind::file_units, "file:<path> <units>:<more>") and inclusion
// facts (fact_kind::inclusion, "file:<including> file:<included>"), read with "-x"
// only. Files are Header nodes kept apart from the units, numbered from 1 in
// order of creation.
#include "header/graph.h"

#include "contract/fact_kind.h"
#include "loading/fact_numbers.h"

namespace {
// "file:" + the resolved path of the text after the first "file:".
std::string normalised(const std::string& name) {
    const std::size_t at = name.find("file:");
    const std::string path = at == std::string::npos ? name : name.substr(at + 5);
    return "file:" + graph::system_path(path);
}
} // namespace

node graph::file_node(const std::string& name) {
    node& entry = file_node_by_name[name];
    if (!entry.object) {
        entry = node(static_cast<int>(file_node_by_name.size()), make_node<Header>(name));
        included_files.insert(entry);
    }
    return entry;
}

void graph::parse_inclusion(int kind, std::string subject, std::string object) {
    if (kind == fact_kind::inclusion) {
        const std::string including = normalised(subject);
        const std::string included = normalised(object);
        node a = file_node(including);
        node b = file_node(included);
        if (including != included) as_header(a)->members.insert(b);
    } else if (kind == fact_kind::file_units) {
        file_facts_seen = true;
        Header* file = as_header(file_node(normalised(subject)));
        file->units_before = leading_int(object.substr(0, object.find(':')));
        file->units_after = 0;
    }
}
