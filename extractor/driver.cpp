#include "driver.h"

#include "bookkeeping.h"
#include "edge_facts.h"
#include "node_facts.h"
#include "parsing.h"
#include "tables.h"
#include "writer.h"

#include <iostream>

int run_extractor(const std::vector<std::string>& args, std::istream& std_in, std::ostream& out,
                  std::ostream& err) {
    int status = parsing(args, std_in, err);
    if (status != 0) {
        cleanup();
        return status;
    }
    bookkeeping_nodes();
    bookkeeping_edges();
    bookkeeping_scopes();

    set_fact_streams(out, err);
    std::vector<std::string> mains;
    for (nid n = 0; n < the_nodes.size(); ++n)
        if (kind_of(n) == "cScopeCompil") mains.emplace_back(name_of(n));
    set_main_files(std::move(mains));
    generate_files(false);
    generate_nodes();
    // The edge passes in their fixed order.
    generate_func_edges(true);
    generate_var_edges(true);
    generate_enum_edges(false);
    generate_nameref_edges();
    generate_func_edges(false);
    generate_var_edges(false);
    generate_type_edges();
    generate_enum_edges(true);
    generate_tag_only_edges();
    finish_output();
    set_fact_streams(std::cout, std::cerr); // `out` and `err` may not outlive this call
    cleanup();
    return 0;
}
