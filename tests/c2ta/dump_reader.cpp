#include "dump_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

// Splits an attribute block "{ a = b name = "x y" }" into pairs.
std::map<std::string, std::string> read_attributes(const std::string& block) {
    std::map<std::string, std::string> attributes;
    std::size_t at = 0;
    while (true) {
        std::size_t eq = block.find(" = ", at);
        if (eq == std::string::npos) break;
        std::size_t name_start = block.rfind(' ', eq - 1) + 1;
        std::string name = block.substr(name_start, eq - name_start);
        std::size_t value_start = eq + 3;
        std::size_t value_end;
        std::string value;
        if (block[value_start] == '"') {
            value_end = block.find('"', value_start + 1) + 1;
            value = block.substr(value_start + 1, value_end - value_start - 2);
        } else {
            value_end = block.find(' ', value_start);
            value = block.substr(value_start, value_end - value_start);
        }
        attributes[name] = value;
        at = value_end;
    }
    return attributes;
}

} // namespace

ta_dump read_dump(const std::string& text) {
    ta_dump dump;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string first, a, b, c;
        words >> first >> a >> b;
        if (first == "$INSTANCE") {
            dump_node node;
            node.kind = b;
            node.attributes = read_attributes(line.substr(line.find('{')));
            dump.nodes[a] = node;
        } else if (!first.empty() && first[0] == '(') {
            b.erase(b.find(')'));
            dump.edges.push_back(dump_edge{first.substr(1), a, b});
        }
    }
    return dump;
}

std::vector<std::string> ta_dump::find(const std::string& kind, const std::string& name) const {
    std::vector<std::string> ids;
    for (const auto& [id, node] : nodes)
        if (node.kind == kind && node.attributes.count("name") &&
            node.attributes.at("name") == name)
            ids.push_back(id);
    return ids;
}

std::string ta_dump::only(const std::string& kind, const std::string& name) const {
    std::vector<std::string> ids = find(kind, name);
    EXPECT_EQ(ids.size(), 1u) << kind << " " << name;
    return ids.empty() ? std::string() : ids.front();
}

std::string ta_dump::attribute(const std::string& id, const std::string& name) const {
    auto node = nodes.find(id);
    if (node == nodes.end() || !node->second.attributes.count(name)) return {};
    return node->second.attributes.at(name);
}

std::string ta_dump::kind_of(const std::string& id) const {
    auto node = nodes.find(id);
    return node == nodes.end() ? std::string() : node->second.kind;
}

std::vector<std::string> ta_dump::successors(const std::string& id, const std::string& kind) const {
    std::vector<std::string> ids;
    for (const dump_edge& edge : edges)
        if (edge.source == id && (kind.empty() || edge.kind == kind)) ids.push_back(edge.target);
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<std::string> ta_dump::predecessors(const std::string& id,
                                               const std::string& kind) const {
    std::vector<std::string> ids;
    for (const dump_edge& edge : edges)
        if (edge.target == id && (kind.empty() || edge.kind == kind)) ids.push_back(edge.source);
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::string ta_dump::parent(const std::string& id) const {
    std::vector<std::string> parents = predecessors(id, "cArcSon");
    return parents.empty() ? std::string() : parents.front();
}
