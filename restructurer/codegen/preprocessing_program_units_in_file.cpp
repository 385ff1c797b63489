#include "header/graph.h"

// Program-unit text extraction from a preprocessed source; not built yet.
void graph::preprocessing_program_units_in_file(std::string) {}
