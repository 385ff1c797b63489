#include "header/graph.h"

// Code emission and makefile writing; not built yet.
void graph::codegen() {}
