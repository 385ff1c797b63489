#include "names.h"

#include "bookkeeping.h"
#include "queries.h"

std::string get_name(std::string_view kind, nid id) {
    if (kind.empty() && id == no_node) return {};
    const node_info& n = node(id);
    std::string suffix = n.counter == 1 ? std::string() : "#" + std::to_string(n.counter);
    if ((kind == "var" || kind == "func") && n.counter == 0) return {};
    std::string name(kind);
    name += ':';
    name += n.attrs.name == "(anonymous)" ? n.id : n.attrs.name;
    if (is_static(kind, id)) {
        name += ":static:";
        name += file_of(id);
    }
    return name + suffix;
}

namespace {

// End of the variable's initializer (the last one in identifier order).
std::string_view initializer_end(nid id, std::string_view own) {
    nid init = next_nodes_arcInitVal.of(id).last();
    return init == no_node ? own : node(init).attrs.end;
}

} // namespace

std::string get_location(std::string_view kind, nid id, bool definition) {
    const node_info& n = node(id);
    std::string_view file = file_of(id);
    std::string_view beg = n.attrs.beg;
    std::string end(n.attrs.end);
    if (kind == "func")
        end = son_end(id, end);
    else if (kind == "var" && !is_extern(id))
        end = initializer_end(id, end);
    else if (kind == "type" || kind == "enum")
        beg = aggr_beg(id, beg);
    std::string location(file);
    location += ':';
    location += beg;
    location += ':';
    location += end;
    if (definition) {
        std::string_view context = context_filename(id);
        if (context != file) {
            location += ':';
            location += context;
        }
    }
    return location;
}
