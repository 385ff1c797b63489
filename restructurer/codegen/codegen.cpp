// Code generation: module dependences, the makefile, then the headers and
// sources of the compressed graph.
#include "header/graph.h"

#include "codegen/emission_index.h"
#include "graph/phase_times.h"
#include "graph/progress.h"

void graph::codegen() {
    if (!compressed) return;
    {
        phase_timer timer("codegen: module dependences");
        construct_module_dependences();
    }
    announce("module dependences constructed");
    if (config.accept("debug count")) compressed->count();
    write_makefile();

    announce("generating code ...");
    // A synthetic root holding every node of the compressed graph; its own
    // names (-1.h, -1.c) are never written.
    auto* root_object = make_node<Header>("");
    root_object->members = compressed->nodes;
    node root(root_number, root_object);
    {
        phase_timer timer("codegen: emission index");
        emission = std::make_shared<emission_index>(*compressed, file_edges);
    }
    {
        phase_timer timer("codegen: emission");
        N_codegen(root);
    }
    emission.reset();
    announce("... code generated.");
}

std::size_t graph::compressed_leaves_reached(const node& n) const {
    return emission ? emission->leaves_reached(n) : compressed->actual_dominate_set(n).size();
}
