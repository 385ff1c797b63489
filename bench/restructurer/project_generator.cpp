#include "project_generator.h"

#include "contract/fact_kind.h"
#include "contract/fact_line.h"
#include "contract/unit_files.h"

#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>

namespace {
// One shared unit: its fact name, its lines in its header, and the shared
// units it uses.
struct shared_unit {
    std::string name;
    std::vector<std::string> lines;
    std::vector<int> uses;
    int header = 0;
    int line = 0; // first line in its header
};

// The kind of shared unit j: 0 structure, 1 typedef of the structure before,
// 2 enumeration, 3 prototype, 4 external variable.
int kind_of(int j) {
    return j % 5;
}

// A typedef at or before j (numbers 1, 6, 11, ...), spread over all the earlier
// ones so that headers use types of other headers.
int earlier_typedef(int j, std::mt19937& random) {
    const int typedefs = (j + 4) / 5; // typedefs numbered below j
    if (typedefs == 0) return -1;
    return 5 * static_cast<int>(random() % typedefs) + 1;
}

std::vector<shared_unit> catalogue(const project_shape& shape) {
    std::mt19937 random(15);
    std::vector<shared_unit> units;
    const int count = shape.headers * shape.decls_per_header;
    std::vector<int> next_line(shape.headers, 1);
    for (int j = 0; j < count; ++j) {
        shared_unit u;
        const std::string id = std::to_string(j);
        u.header = j / shape.decls_per_header;
        switch (kind_of(j)) {
        case 0: {
            u.name = "struct:s" + id;
            const int link = j >= 5 ? 5 * static_cast<int>(random() % (j / 5)) : -1;
            u.lines = {"struct s" + id + " {", "  int n;",
                       "  struct s" + std::to_string(link < 0 ? j : link) + " *link;", "};"};
            if (link >= 0) u.uses.push_back(link);
            break;
        }
        case 1:
            u.name = "type:t" + id;
            u.lines = {"typedef struct s" + std::to_string(j - 1) + " t" + id + ";"};
            u.uses.push_back(j - 1);
            break;
        case 2:
            u.name = "enum:e" + id;
            u.lines = {"enum e" + id + " {", "  e" + id + "_a, e" + id + "_b", "};"};
            break;
        case 3: {
            u.name = "func:f" + id;
            const int type = earlier_typedef(j, random);
            u.lines = {"int f" + id + "(" +
                       (type < 0 ? "void" : "t" + std::to_string(type) + " *p") + ");"};
            if (type >= 0) u.uses.push_back(type);
            break;
        }
        default: {
            u.name = "var:v" + id;
            const int type = earlier_typedef(j, random);
            u.lines = {"extern t" + std::to_string(type) + " *v" + id + ";"};
            u.uses.push_back(type);
            break;
        }
        }
        u.line = next_line[u.header];
        next_line[u.header] += static_cast<int>(u.lines.size()) + 1; // a blank line after
        units.push_back(std::move(u));
    }
    return units;
}

std::string location(const std::string& file, int begin, int end, std::size_t end_column) {
    return file + ":" + std::to_string(begin) + ".1:" + std::to_string(end) + "." +
           std::to_string(end_column);
}

void make_dir(const std::string& path) {
    mkdir(path.c_str(), 0755); // an existing directory is fine
}
} // namespace

generated_project generate_project(const std::string& root, const project_shape& shape) {
    generated_project project;
    project.root = root;
    project.include_dir = root + "/inc";
    make_dir(root);
    make_dir(project.include_dir);
    make_dir(root + "/src");
    const std::vector<shared_unit> shared = catalogue(shape);
    const std::string umbrella = project.include_dir + "/proj.h";

    // The headers, the umbrella, and the part of every preprocessed source
    // and fact file that the umbrella gives.
    std::vector<std::string> header_text(shape.headers);
    for (const shared_unit& u : shared) {
        std::string& text = header_text[u.header];
        for (const std::string& line : u.lines)
            text += line + "\n";
        text += "\n";
    }
    std::string umbrella_text, included;
    std::ostringstream shared_facts;
    long included_lines = 0;
    for (int h = 0; h < shape.headers; ++h) {
        const std::string header = project.include_dir + "/h" + std::to_string(h) + ".h";
        std::ofstream(header) << header_text[h];
        umbrella_text += "#include \"h" + std::to_string(h) + ".h\"\n";
        included += "# 1 \"" + header + "\" 1\n" + header_text[h];
        included += "# " + std::to_string(h + 2) + " \"" + umbrella + "\" 2\n";
    }
    std::ofstream(umbrella) << umbrella_text;
    for (char c : included)
        included_lines += c == '\n';
    for (const shared_unit& u : shared) {
        const std::string header = project.include_dir + "/h" + std::to_string(u.header) + ".h";
        const int end = u.line + static_cast<int>(u.lines.size()) - 1;
        write_fact_line(shared_facts, fact_kind::declaration, u.name,
                        location(header, u.line, end, u.lines.back().size()));
    }
    long shared_fact_count = static_cast<long>(shared.size());
    for (const shared_unit& u : shared)
        for (int used : u.uses) {
            write_fact_line(shared_facts, fact_kind::declaration_uses, u.name, shared[used].name);
            ++shared_fact_count;
        }

    // Shared units a function may use: typedefs, prototypes and variables.
    std::vector<int> usable;
    for (int j = 0; j < static_cast<int>(shared.size()); ++j)
        if (kind_of(j) == 1 || kind_of(j) >= 3) usable.push_back(j);
    const int window = std::max(1, shape.headers / 4) * shape.decls_per_header;

    for (int n = 0; n < shape.units; ++n) {
        const int module = n / shape.units_per_module;
        const std::string dir = root + "/src/m" + std::to_string(module);
        if (n % shape.units_per_module == 0) make_dir(dir);
        const std::string stem = dir + "/u" + std::to_string(n);
        const std::string source = stem + ".c", preprocessed = preprocessed_source_of(stem);
        std::mt19937 random(static_cast<unsigned>(n) * 2654435761u + 1);

        // The unit's own lines (line 1 includes the umbrella) and facts.
        std::vector<std::string> lines = {"#include \"proj.h\"", "static int calls;"};
        const std::string counter = "var:calls:static:" + preprocessed;
        std::ostringstream facts, uses;
        write_fact_line(facts, fact_kind::definition, counter, location(preprocessed, 2, 2, 17));
        long fact_count = 1;
        // The module favours a window of headers; three uses in ten go anywhere.
        const int favoured =
            (module * 7 * shape.decls_per_header) % static_cast<int>(shared.size());
        for (int k = 0; k < shape.functions_per_unit; ++k) {
            const std::string function = "u" + std::to_string(n) + "_f" + std::to_string(k);
            const int begin = static_cast<int>(lines.size()) + 1;
            std::string names;
            for (int e = 0; e < shape.uses_per_function; ++e) {
                int j = random() % 10 < 7 ? (favoured + static_cast<int>(random() % window)) %
                                                static_cast<int>(shared.size())
                                          : static_cast<int>(random() % shared.size());
                while (kind_of(j) == 0 || kind_of(j) == 2)
                    j = (j + 1) % static_cast<int>(shared.size());
                names += " " + shared[j].name.substr(shared[j].name.find(':') + 1);
                write_fact_line(uses, fact_kind::definition_uses, "func:" + function,
                                shared[j].name);
                ++fact_count;
            }
            if (k > 0) { // calls the function before it
                write_fact_line(uses, fact_kind::definition_uses, "func:" + function,
                                "func:u" + std::to_string(n) + "_f" + std::to_string(k - 1));
                ++fact_count;
            }
            write_fact_line(uses, fact_kind::definition_uses_definition, "func:" + function,
                            counter);
            ++fact_count;
            lines.push_back("int " + function + "(void)");
            lines.push_back("{");
            lines.push_back("  return ++calls; /* uses" + names + " */");
            lines.push_back("}");
            write_fact_line(facts, fact_kind::definition, "func:" + function,
                            location(preprocessed, begin, begin + 3, 1));
            ++fact_count;
        }

        std::string source_text;
        for (const std::string& line : lines)
            source_text += line + "\n";
        std::ofstream(source) << source_text;
        std::ofstream cpp(preprocessed);
        cpp << "# 1 \"" << source << "\"\n# 1 \"" << umbrella << "\" 1\n"
            << included << "# 2 \"" << source << "\" 2\n";
        for (std::size_t i = 1; i < lines.size(); ++i)
            cpp << lines[i] << "\n";
        std::ofstream(fact_file_of(stem)) << facts.str() << shared_facts.str() << uses.str();

        project.fact_files.push_back(fact_file_of(stem));
        project.facts += fact_count + shared_fact_count;
        project.lines += 3 + included_lines + static_cast<long>(lines.size()) - 1;
    }
    return project;
}
