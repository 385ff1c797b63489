// The extractor's process-wide tables: the node table and edge list filled by the
// parser, the classification sets and adjacency maps filled by bookkeeping, the
// result sets of the node passes, and the scratch values of the type queries.
// Every table lives for the whole run and is emptied by cleanup().
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// Attribute block of one record. Values are kept whole, exactly as the input
// gives them (quotes included), except `name`, whose first and last characters
// are stripped by the parser.
struct attributes {
    std::string beg;
    std::string end;
    std::string type;
    std::string op;
    std::string visb;
    std::string name;
    std::string extern_; // attribute "extern"
    std::string static_; // attribute "static"
};

struct node_info {
    std::string id;
    std::string kind;
    std::string file; // directly enclosing scope file, set by bookkeeping
    int counter = 0;  // occurrence counter, set by bookkeeping
    attributes attrs;
};

struct edge_info {
    std::string kind;
    std::string source;
    std::string target;
};

using id_set = std::set<std::string>;
using adjacency = std::map<std::string, id_set>;

// Filled by the parser. Ordered by identifier as byte strings.
extern std::map<std::string, node_info> the_nodes;
extern std::vector<edge_info> the_edges;
