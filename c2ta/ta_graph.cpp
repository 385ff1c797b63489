#include "ta_graph.h"

#include <cstring>

namespace {

// Identifiers never fall below this width, so small dumps look alike.
constexpr int minimum_id_width = 7;

// A value the TA scanner reads as one word: no blank, quote, parenthesis, brace
// or equals sign.
bool is_plain_word(const std::string& value) {
    if (value.empty()) return false;
    for (char c : value)
        if (std::strchr(" \t\n\r\"(){}=", c) != nullptr) return false;
    return true;
}

// Names are written in double quotes (the reader strips the first and last
// character). A quote or line end inside would end the token early.
void write_quoted(std::ostream& out, const std::string& value) {
    out << '"';
    for (char c : value)
        if (c != '"' && c != '\n' && c != '\r') out << c;
    out << '"';
}

} // namespace

int ta_graph::add_node(std::string kind) {
    nodes_.push_back(node_record{std::move(kind), {}});
    return static_cast<int>(nodes_.size()) - 1;
}

void ta_graph::set_kind(int node, std::string kind) {
    nodes_[node].kind = std::move(kind);
}

void ta_graph::set(int node, const char* attribute, std::string value) {
    for (auto& entry : nodes_[node].attributes)
        if (std::strcmp(entry.first, attribute) == 0) {
            entry.second = std::move(value);
            return;
        }
    nodes_[node].attributes.emplace_back(attribute, std::move(value));
}

void ta_graph::add_edge(const char* kind, int source, int target) {
    edges_.push_back(edge_record{kind, source, target});
}

int ta_graph::id_width() const {
    int width = 1;
    for (std::size_t n = nodes_.size(); n >= 10; n /= 10)
        ++width;
    return width < minimum_id_width ? minimum_id_width : width;
}

std::string ta_graph::padded_id(int node, int width) {
    std::string digits = std::to_string(node + 1);
    return std::string(width - digits.size(), '0') + digits;
}

void ta_graph::write(std::ostream& out) const {
    const int width = id_width();
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        const node_record& node = nodes_[i];
        out << "$INSTANCE " << padded_id(static_cast<int>(i), width) << ' ' << node.kind << " - {";
        for (const auto& [attribute, value] : node.attributes) {
            out << ' ' << attribute << " = ";
            if (std::strcmp(attribute, "name") == 0 || !is_plain_word(value))
                write_quoted(out, value);
            else
                out << value;
        }
        out << " }\n";
    }
    for (const edge_record& edge : edges_)
        out << '(' << edge.kind << ' ' << padded_id(edge.source, width) << ' '
            << padded_id(edge.target, width) << ") { }\n";
}
