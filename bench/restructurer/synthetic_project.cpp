// synthetic_project ROOT UNITS [HEADERS [DECLS_PER_HEADER]]: writes a synthetic
// project (see project_generator.h) below ROOT and, in ROOT/arguments, the
// restructurer's arguments for it, one per line: the include directory, the
// user module, then the fact files in unit order.
#include "project_generator.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ROOT UNITS [HEADERS [DECLS_PER_HEADER]]\n", argv[0]);
        return 2;
    }
    project_shape shape;
    shape.units = std::atoi(argv[2]);
    if (argc > 3) shape.headers = std::atoi(argv[3]);
    if (argc > 4) shape.decls_per_header = std::atoi(argv[4]);
    if (shape.units < 1 || shape.headers < 1 || shape.decls_per_header < 1) {
        std::fprintf(stderr, "%s: sizes must be positive\n", argv[0]);
        return 2;
    }
    const generated_project project = generate_project(argv[1], shape);
    std::ofstream arguments(project.root + "/arguments");
    arguments << "-I" << project.include_dir << "\n-M" << project.root << "\n";
    for (const std::string& file : project.fact_files)
        arguments << file << "\n";
    std::printf("%d units, %d shared units, %ld facts, %ld preprocessed lines\n", shape.units,
                shape.headers * shape.decls_per_header, project.facts, project.lines);
    return 0;
}
