// hdrslim: the driver. `hdrslim run PROJECT_DIR` copies the project, extracts the
// facts of every unit, restructures its headers, rebuilds and checks the result,
// writes it again as source with a patch that turns the project into it, and
// writes a report comparing the preprocessed size before and after.
#include "code_comments.h"
#include "pipeline.h"
#include "run_options.h"
#include "source_indentation.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const help_text =
    "hdrslim restructures the headers of a C project so that every unit is compiled\n"
    "against exactly the declarations it needs, rebuilds and checks it, hands it back\n"
    "as a patch, and reports the savings.\n"
    "\n"
    "  run PROJECT_DIR   work on a copy of the project (which must have a\n"
    "                    compile_commands.json, or see --build and -p); the result\n"
    "                    is DIR/source and DIR/hdrslim.patch (see --form)\n"
    "    --out DIR       output directory (default: PROJECT_DIR-hdrslim beside it)\n"
    "    --build CMD     run CMD (the project's build) in the copy under bear to get\n"
    "                    the compile commands and the link steps; the project may\n"
    "                    have been built already: outputs of an earlier build\n"
    "                    (objects, programs, libraries, CMake build folders) are\n"
    "                    left out of the copy, so that CMD compiles everything\n"
    "    --check CMD     the project's own test command, run in the built copy\n"
    "                    before and in the rebuilt one after restructuring (needs\n"
    "                    --build)\n"
    "    -p DIR          without --build: read DIR/compile_commands.json (default:\n"
    "                    the project's own, else its build/ folder's)\n"
    "    -j N            parallel jobs (default: the number of cores)\n"
    "    --quiet         no progress display\n"
    "    --form FORM     source (the default): also write the source form,\n"
    "                    DIR/source, the restructured project as a C programmer\n"
    "                    keeps it (declarations from the original files with\n"
    "                    their comments and conditions, the macros they use,\n"
    "                    system headers by name, named headers, relative\n"
    "                    includes), and DIR/hdrslim.patch that turns the project\n"
    "                    into it; with --build it is built and checked too;\n"
    "                    measured: only the measured form (preprocessed text,\n"
    "                    numbered headers), from which the figures come\n"
    "  demo              the whole run on the bundled example project\n"
    "\n"
    "Exit status: 0 when every unit was restructured, compiled and the check passed;\n"
    "1 when something failed (listed at the end and in report.md); 2 for bad usage.\n";

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fprintf(stderr, "%s", run_usage);
        return 2;
    }
    // Internal: the unit steps filter each preprocessed text through this: its
    // lines get their original indentation back, then lose their comments.
    if (args[0] == "--keep-code-comments" && args.size() == 2) {
        if (restore_indentation_in_file(args[1]) && keep_code_comments_in_file(args[1])) return 0;
        std::fprintf(stderr, "hdrslim: cannot rewrite %s\n", args[1].c_str());
        return 1;
    }
    if (args[0] == "--version") {
        std::printf("hdrslim %s\n", HDRSLIM_VERSION);
        return 0;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::printf("%s%s", run_usage, help_text);
        return 0;
    }
    if (args[0] != "run") {
        std::fprintf(stderr, "hdrslim: unknown command '%s'\n%s", args[0].c_str(), run_usage);
        return 2;
    }
    std::string error;
    auto options = parse_run_options({args.begin() + 1, args.end()}, error);
    if (!options) {
        std::fprintf(stderr, "hdrslim: %s\n%s", error.c_str(), run_usage);
        return 2;
    }
    return run_pipeline(*options);
}
