// Code generation: module dependences, the makefile, then the headers and
// sources of the compressed graph.
#include "header/graph.h"

#include "graph/progress.h"

void graph::codegen() {
    if (!compressed) return;
    construct_module_dependences();
    announce("module dependences constructed");
    if (config.accept("debug count")) compressed->count();
    write_makefile();
}
