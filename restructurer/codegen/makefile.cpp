// "Makefile.gen": builds the rewritten sources against the new headers; its
// "measure" target preprocesses every source and counts the result with wc.
#include "header/graph.h"

#include "codegen/output_file.h"
#include "graph/progress.h"

void graph::write_makefile() {
    announce("generating makefile ...");
    output_file out("Makefile.gen");
    out << "SRCS = ";
    for (const node& n : compressed->nodes) {
        if (!n.is_define()) continue;
        const std::string source = get_filename(n);
        if (!source.empty()) out << source << " ";
    }
    out << "\nHEADERS = ";
    for (const node& n : compressed->nodes) {
        if (n.is_define()) continue;
        const std::string header = get_header_name(n);
        if (!header.empty()) out << header << " ";
    }
    out << "\nHEADER_DIRS = ";
    for (const std::string& dir : header_dirs)
        out << dir << " ";

    const std::string include = get_include_dirs();
    out << "\nOBJS = ${SRCS:%.c=%.o}\n"
        << "\nGCCE = ${OBJS:%.o=%.all}\n"
        << "\nall: prog\n"
        << "\nprog: ${OBJS}\n"
        << "\t${CC} ${OBJS} -o $@\n"
        // Libraries the program needs ("make -f Makefile.gen LDLIBS=-lm") follow
        // the objects on the link line, which itself stays as it is.
        << "\nLDLIBS =\nprog: OBJS += ${LDLIBS}\n"
        << "\n.c.o:\n"
        << "\t${CC} -c " << include << " $< -o $@\n"
        << "\nclean:\n"
        << "\trm -f ${OBJS} prog\n"
        << "\trm -f ${GCCE} measure\n"
        << "\trm -f ${SRCS} ${HEADERS}\n"
        << "\trm -rf ${HEADER_DIRS}\n"
        << "\nmeasure: ${GCCE}\n"
        << "\twc $^ > measure\n"
        << "\n%.all: %.c\n"
        << "\t${CC} -E -P " << include << " $< -o $@\n"
        << "\ndepend:\n"
        << "\tmakedepend -f Makefile.gen " << include << " ${SRCS} > /dev/null 2>&1\n";
    out.close();
    announce("... makefile generated.");
}
